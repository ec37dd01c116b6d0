// Turning audio into the levels the shared block carries: the amplitude of
// a channel and of sixteen frequency bands.
//
// Levels are amplitudes: a full-scale sine (peak 1) reads 1, both as a
// channel level and in the band that holds its frequency. The bands are
// centred on 150, 400, 600, 800, 1000, 1500, 2000, 2500, 3250, 4000, 5000,
// 6250, 8000, 10000, 12500 and 18000 Hz; each reaches halfway (on a log
// scale) to its neighbours, and the outer ones as far again beyond.
#pragma once

#include <array>
#include <complex>
#include <vector>

#include "fft.h"

namespace soundfeed {

constexpr int kBands = 16;
using BandLevels = std::array<float, kBands>;

extern const std::array<float, kBands> kBandCentres;

// The band's lower and upper edge in Hz.
float BandLowerEdge(int band);
float BandUpperEdge(int band);
// The band holding a frequency, or -1 below the first or above the last.
int BandOfFrequency(float hz);

// The amplitude of a block of samples: sqrt(2) x RMS, so a sine's peak.
float Amplitude(const float* samples, int count);

// A windowed FFT over the most recent `size` samples of both channels.
class SpectrumAnalyzer {
 public:
  // `size` must be a power of two.
  explicit SpectrumAnalyzer(int sampleRate, int size = 2048);

  int size() const { return fft_.size(); }
  // Band amplitudes of left[0 .. size-1] and right[0 .. size-1].
  void Analyze(const float* left, const float* right, BandLevels& leftBands,
               BandLevels& rightBands);

 private:
  Fft fft_;
  std::vector<float> window_;
  std::vector<int> bandOfBin_;
  std::vector<std::complex<float>> spectrum_;
  float scale_;  // turns a band's summed power into an amplitude squared
};

}  // namespace soundfeed
