#include "band_analysis.h"

#include <fftw3.h>

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
    : size_(size), window_(size), bandOfBin_(size / 2 + 1) {
  input_ = fftwf_alloc_real(size);
  auto* output = fftwf_alloc_complex(size / 2 + 1);
  output_ = output;
  plan_ = fftwf_plan_dft_r2c_1d(size, input_, output, FFTW_ESTIMATE);

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

SpectrumAnalyzer::~SpectrumAnalyzer() {
  fftwf_destroy_plan(static_cast<fftwf_plan>(plan_));
  fftwf_free(output_);
  fftwf_free(input_);
}

BandLevels SpectrumAnalyzer::Analyze(const float* samples) {
  for (int i = 0; i < size_; ++i) input_[i] = samples[i] * window_[i];
  fftwf_execute(static_cast<fftwf_plan>(plan_));
  const auto* spectrum = static_cast<const fftwf_complex*>(output_);
  std::array<double, kBands> power{};
  for (int bin = 0; bin <= size_ / 2; ++bin) {
    const int band = bandOfBin_[bin];
    if (band < 0) continue;
    power[band] += double{spectrum[bin][0]} * spectrum[bin][0] +
                   double{spectrum[bin][1]} * spectrum[bin][1];
  }
  BandLevels levels{};
  for (int band = 0; band < kBands; ++band)
    levels[band] = static_cast<float>(std::sqrt(power[band] * scale_));
  return levels;
}

}  // namespace soundfeed
