#include "synthetic_song.h"

#include <algorithm>
#include <cmath>

namespace soundfeed {
namespace {

constexpr double kTwoPi = 2.0 * M_PI;
constexpr double kBeat = 0.5;  // seconds, 120 BPM

// Roots of the four bars of the progression (A, F, C, G) and the notes of
// the arpeggio above them, in Hz.
constexpr double kRoots[4] = {110.0, 87.31, 130.81, 98.0};
constexpr double kArpeggio[4][4] = {{440.0, 523.25, 659.26, 880.0},
                                    {349.23, 440.0, 523.25, 698.46},
                                    {523.25, 659.26, 783.99, 1046.5},
                                    {392.0, 493.88, 587.33, 783.99}};

double Wrap(double phase) { return phase - std::floor(phase); }

}  // namespace

float SyntheticSong::Noise() {
  noiseState_ = noiseState_ * 1664525u + 1013904223u;
  return static_cast<float>(noiseState_ >> 8) / 8388608.0f - 1.0f;
}

void SyntheticSong::Render(float* left, float* right, int frames) {
  for (int i = 0; i < frames; ++i, ++position_) {
    const double t = static_cast<double>(position_) / rate_;
    const double inBeat = std::fmod(t, kBeat);
    const int beat = static_cast<int>(t / kBeat);
    const int bar = beat / 4;
    const int chord = bar % 4;

    // Kick: a sine falling from 180 to 60 Hz, fading fast.
    kickPhase_ = Wrap(kickPhase_ + (60.0 + 120.0 * std::exp(-inBeat * 30.0)) / rate_);
    const double kick = std::sin(kTwoPi * kickPhase_) * std::exp(-inBeat * 9.0);

    // Snare on beats two and four: noise with a body.
    const float noise = Noise();
    const double snare = (beat % 2 == 1) ? (0.6 * noise + 0.4 * std::sin(kTwoPi * 190.0 * t)) *
                                               std::exp(-inBeat * 18.0)
                                         : 0.0;

    // Hi-hat on every eighth: the noise's difference is bright.
    const double inEighth = std::fmod(t, kBeat / 2);
    const double hat = (noise - previousNoise_) * 0.5 * std::exp(-inEighth * 70.0);
    previousNoise_ = noise;

    // Bass: a saw with its low harmonics, on the eighths.
    bassPhase_ = Wrap(bassPhase_ + kRoots[chord] / rate_);
    const double bass = (2.0 * bassPhase_ - 1.0) * std::exp(-inEighth * 4.0);

    // Arpeggio on the sixteenths, panned slowly from side to side.
    const int sixteenth = static_cast<int>(t / (kBeat / 4));
    arpPhase_ = Wrap(arpPhase_ + kArpeggio[chord][sixteenth % 4] / rate_);
    const double inSixteenth = std::fmod(t, kBeat / 4);
    const double arp = std::sin(kTwoPi * arpPhase_) * std::exp(-inSixteenth * 10.0);
    const double pan = 0.5 + 0.5 * std::sin(kTwoPi * t / 7.0);

    // Sweep: 150 Hz to 18 kHz over eight bars, exponentially, left to right.
    const double sweepPosition = std::fmod(t, 16.0) / 16.0;
    sweepPhase_ = Wrap(sweepPhase_ + 150.0 * std::pow(120.0, sweepPosition) / rate_);
    const double sweep = 0.25 * std::sin(kTwoPi * sweepPhase_);

    const double centre = 0.45 * kick + 0.25 * snare + 0.3 * hat + 0.18 * bass;
    const double l = centre + 0.25 * arp * (1.0 - pan) + sweep * (1.0 - sweepPosition);
    const double r = centre + 0.25 * arp * pan + sweep * sweepPosition;
    left[i] = static_cast<float>(std::clamp(l, -1.0, 1.0));
    right[i] = static_cast<float>(std::clamp(r, -1.0, 1.0));
  }
}

}  // namespace soundfeed
