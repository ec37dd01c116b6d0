// The sample layouts a capture device may deliver, and turning a block of
// them into the analysis's float samples (left and right; a mono device
// feeds both, channels beyond the second are left out).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace soundfeed {

enum class SampleKind { kFloat32, kInt16, kInt24, kInt32, kUnknown };

struct CaptureFormat {
  SampleKind kind = SampleKind::kUnknown;
  int channels = 0;
  int sampleRate = 0;
  int bytesPerFrame = 0;  // the device's block alignment
};

// True when the analysis can take the format; otherwise false with a
// message saying what is wrong with it.
bool CheckCaptureFormat(const CaptureFormat& format, std::string& error);

// Appends `frames` little-endian frames of a checked format.
void AppendFrames(const uint8_t* data, int frames, const CaptureFormat& format,
                  std::vector<float>& left, std::vector<float>& right);

}  // namespace soundfeed
