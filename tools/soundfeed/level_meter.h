// The levels of a stereo stream, block by block: each block's channel
// amplitudes and the band levels of the last FFT-window of samples.
#pragma once

#include <vector>

#include "band_analysis.h"
#include "publisher.h"

namespace soundfeed {

class LevelMeter {
 public:
  explicit LevelMeter(int sampleRate, int windowSize = 2048);

  // Adds a block (any length) and returns the levels after it.
  StereoLevels Push(const float* left, const float* right, int frames);
  // The levels the last Push returned (silence after Clear).
  const StereoLevels& Last() const { return last_; }
  // Forgets the sound so far, as if the stream had been silent.
  void Clear();

 private:
  static void Slide(std::vector<float>& history, const float* samples, int frames);

  SpectrumAnalyzer analyzer_;
  std::vector<float> leftHistory_;
  std::vector<float> rightHistory_;
  StereoLevels last_;
};

}  // namespace soundfeed
