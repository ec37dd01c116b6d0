#include "level_meter.h"

#include <algorithm>

namespace soundfeed {

LevelMeter::LevelMeter(int sampleRate, int windowSize)
    : analyzer_(sampleRate, windowSize),
      leftHistory_(windowSize),
      rightHistory_(windowSize) {}

void LevelMeter::Slide(std::vector<float>& history, const float* samples, int frames) {
  const int size = static_cast<int>(history.size());
  if (frames >= size) {
    std::copy(samples + frames - size, samples + frames, history.begin());
    return;
  }
  std::copy(history.begin() + frames, history.end(), history.begin());
  std::copy(samples, samples + frames, history.end() - frames);
}

StereoLevels LevelMeter::Push(const float* left, const float* right, int frames) {
  Slide(leftHistory_, left, frames);
  Slide(rightHistory_, right, frames);
  StereoLevels levels;
  levels.left = Amplitude(left, frames);
  levels.right = Amplitude(right, frames);
  analyzer_.Analyze(leftHistory_.data(), rightHistory_.data(), levels.leftBands,
                    levels.rightBands);
  last_ = levels;
  return levels;
}

void LevelMeter::Clear() {
  std::fill(leftHistory_.begin(), leftHistory_.end(), 0.0f);
  std::fill(rightHistory_.begin(), rightHistory_.end(), 0.0f);
  last_ = {};
}

}  // namespace soundfeed
