// A synthetic piece of music that keeps every band moving: a kick drum on
// each beat, a snare on two and four, hi-hats on the eighths, a bass line,
// an arpeggio that wanders between the speakers, and a sine that sweeps
// from 150 Hz to 18 kHz every eight bars. Deterministic: the same sample
// rate gives the same samples.
#pragma once

#include <cstdint>

namespace soundfeed {

class SyntheticSong {
 public:
  explicit SyntheticSong(int sampleRate) : rate_(sampleRate) {}

  // The next `frames` stereo samples, each channel within -1..1.
  void Render(float* left, float* right, int frames);

  // Seconds rendered so far, and the bar (of four beats at 120 BPM) now playing.
  double Seconds() const { return static_cast<double>(position_) / rate_; }
  int Bar() const { return static_cast<int>(Seconds() / 2.0); }

 private:
  float Noise();

  int rate_;
  int64_t position_ = 0;
  uint32_t noiseState_ = 1;
  float previousNoise_ = 0.0f;
  double kickPhase_ = 0.0;
  double bassPhase_ = 0.0;
  double arpPhase_ = 0.0;
  double sweepPhase_ = 0.0;
};

}  // namespace soundfeed
