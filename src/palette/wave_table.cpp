#include "palette/wave_table.h"

#include "base/random.h"
#include "control/oscillator_table.h"

namespace lumox {
namespace {
constexpr int32_t kWavePeak = 16383;
}

void FillTriangleWave(WaveTable& wave) {
  // Every value is a multiple of 1/512 below 2^14, so the walk is exact in
  // double (and would be in float): the result does not depend on rounding.
  double level = 0.0;
  double slope = kWavePeak / 512.0;
  for (int32_t& entry : wave) {
    entry = static_cast<int32_t>(level);
    level += slope;
    if (level > kWavePeak) {
      level = kWavePeak;
      slope = -slope;
    } else if (level < -kWavePeak) {
      level = -kWavePeak;
      slope = -slope;
    }
  }
}

void AddCoarseSpikes(WaveTable& wave, int count) {
  for (int n = 0; n < count; ++n) {
    const int i = Rand() % 1984 + 32;
    const int32_t sign = Rand();
    const int32_t size = Rand() % kWavePeak;
    const int32_t value = (sign % 2 == 0) ? size : -size;
    wave[i - 1] = value;
    wave[i] = value;
    wave[i + 1] = value;
  }
}

void SmoothWave(WaveTable& wave, int passes) {
  for (int pass = 0; pass < passes; ++pass) {
    for (int i = 1; i < kWaveTableSize - 1; ++i) {
      wave[i] = (wave[i - 1] + wave[i] + wave[i + 1]) / 3;
    }
  }
}

void FillChannelWave(WaveTable& wave, bool coarse) {
  if (Rand() % 2 == 0) {
    FillTriangleWave(wave);
  } else {
    wave = OscillatorTable;
  }
  if (coarse) {
    const int32_t spikes = Rand();
    const int32_t passes = Rand();
    AddCoarseSpikes(wave, spikes % 85 + 32);
    SmoothWave(wave, passes % 48 + 48);
  }
}

}  // namespace lumox
