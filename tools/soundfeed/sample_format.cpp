#include "sample_format.h"

#include <cstring>

namespace soundfeed {
namespace {

int BytesPerSample(SampleKind kind) {
  switch (kind) {
    case SampleKind::kInt16: return 2;
    case SampleKind::kInt24: return 3;
    case SampleKind::kFloat32:
    case SampleKind::kInt32: return 4;
    case SampleKind::kUnknown: break;
  }
  return 0;
}

float Sample(const uint8_t* bytes, SampleKind kind) {
  switch (kind) {
    case SampleKind::kFloat32: {
      const uint32_t bits = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) |
                            (static_cast<uint32_t>(bytes[3]) << 24);
      float value;
      std::memcpy(&value, &bits, sizeof value);
      return value;
    }
    case SampleKind::kInt16:
      return static_cast<int16_t>(bytes[0] | (bytes[1] << 8)) / 32768.0f;
    case SampleKind::kInt24:
      // Sign-extended through the top byte of a 32-bit word.
      return static_cast<int32_t>((static_cast<uint32_t>(bytes[0]) << 8) | (bytes[1] << 16) |
                                  (static_cast<uint32_t>(bytes[2]) << 24)) /
             2147483648.0f;
    case SampleKind::kInt32:
      return static_cast<int32_t>(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) |
                                  (static_cast<uint32_t>(bytes[3]) << 24)) /
             2147483648.0f;
    case SampleKind::kUnknown: break;
  }
  return 0.0f;
}

}  // namespace

bool CheckCaptureFormat(const CaptureFormat& format, std::string& error) {
  const int sampleBytes = BytesPerSample(format.kind);
  if (sampleBytes == 0) {
    error = "the device delivers an unexpected sample format";
  } else if (format.channels < 1 || format.channels > 32) {
    error = "the device delivers " + std::to_string(format.channels) + " channels";
  } else if (format.sampleRate < 8000 || format.sampleRate > 384000) {
    error = "the device delivers an unexpected rate of " + std::to_string(format.sampleRate) +
            " Hz";
  } else if (format.bytesPerFrame < sampleBytes * format.channels) {
    error = "the device's frames are too short for their samples";
  } else {
    return true;
  }
  return false;
}

void AppendFrames(const uint8_t* data, int frames, const CaptureFormat& format,
                  std::vector<float>& left, std::vector<float>& right) {
  const int second = format.channels > 1 ? BytesPerSample(format.kind) : 0;
  for (int i = 0; i < frames; ++i) {
    const uint8_t* frame = data + static_cast<size_t>(i) * format.bytesPerFrame;
    left.push_back(Sample(frame, format.kind));
    right.push_back(Sample(frame + second, format.kind));
  }
}

}  // namespace soundfeed
