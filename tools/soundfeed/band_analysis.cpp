#include "band_analysis.h"

#include <cmath>

namespace soundfeed {

const std::array<float, kBands> kBandCentres = {150,  400,  600,  800,  1000, 1500,
                                                2000, 2500, 3250, 4000, 5000, 6250,
                                                8000, 10000, 12500, 18000};

float BandLowerEdge(int band) {
  if (band <= 0) return kBandCentres[0] * kBandCentres[0] / std::sqrt(kBandCentres[0] * kBandCentres[1]);
  return std::sqrt(kBandCentres[band - 1] * kBandCentres[band]);
}

float BandUpperEdge(int band) {
  if (band >= kBands - 1) {
    const float last = kBandCentres[kBands - 1];
    return last * last / std::sqrt(kBandCentres[kBands - 2] * last);
  }
  return std::sqrt(kBandCentres[band] * kBandCentres[band + 1]);
}

int BandOfFrequency(float hz) {
  for (int band = 0; band < kBands; ++band)
    if (hz >= BandLowerEdge(band) && hz < BandUpperEdge(band)) return band;
  return -1;
}

float Amplitude(const float* samples, int count) {
  if (count <= 0) return 0.0f;
  double sum = 0.0;
  for (int i = 0; i < count; ++i) sum += double{samples[i]} * samples[i];
  return static_cast<float>(std::sqrt(2.0 * sum / count));
}

SpectrumAnalyzer::SpectrumAnalyzer(int sampleRate, int size)
    : fft_(size), window_(size), bandOfBin_(size / 2 + 1), spectrum_(size) {
  // Hann window. For a sine of amplitude A the one-sided spectrum holds
  // sum |X|^2 = N * A^2 / 4 * sum w^2, hence the scale.
  double windowPower = 0.0;
  for (int i = 0; i < size; ++i) {
    window_[i] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * M_PI * i / size));
    windowPower += double{window_[i]} * window_[i];
  }
  scale_ = static_cast<float>(4.0 / (size * windowPower));
  for (int bin = 0; bin <= size / 2; ++bin)
    bandOfBin_[bin] = BandOfFrequency(static_cast<float>(bin) * sampleRate / size);
}

void SpectrumAnalyzer::Analyze(const float* left, const float* right, BandLevels& leftBands,
                               BandLevels& rightBands) {
  // Both channels in one transform: left as the real part, right as the
  // imaginary. Since the inputs are real, X_left[k] = (Z[k] + conj Z[N-k]) / 2
  // and X_right[k] = (Z[k] - conj Z[N-k]) / 2i.
  const int size = fft_.size();
  for (int i = 0; i < size; ++i) spectrum_[i] = {left[i] * window_[i], right[i] * window_[i]};
  fft_.Transform(spectrum_.data());
  std::array<double, kBands> leftPower{}, rightPower{};
  for (int bin = 0; bin <= size / 2; ++bin) {
    const int band = bandOfBin_[bin];
    if (band < 0) continue;
    const std::complex<float> z = spectrum_[bin];
    const std::complex<float> mirror = std::conj(spectrum_[(size - bin) % size]);
    leftPower[band] += 0.25 * std::norm(z + mirror);
    rightPower[band] += 0.25 * std::norm(z - mirror);
  }
  for (int band = 0; band < kBands; ++band) {
    leftBands[band] = static_cast<float>(std::sqrt(leftPower[band] * scale_));
    rightBands[band] = static_cast<float>(std::sqrt(rightPower[band] * scale_));
  }
}

}  // namespace soundfeed
