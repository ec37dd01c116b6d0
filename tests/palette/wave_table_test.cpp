#include "palette/wave_table.h"

#include <gtest/gtest.h>

#include <cmath>

#include "control/oscillator_table.h"
#include "palette_fixture.h"

namespace lumox {
namespace {

// The triangle in closed form: exact multiples of 16383/512, flat for one
// entry at each corner (the walk is clamped there, then turns).
int32_t ModelTriangle(int i) {
  const double b = 16383.0 / 512.0;
  double a;
  if (i <= 512) {
    a = i * b;
  } else if (i <= 1537) {
    a = 16383.0 - (i - 513) * b;
  } else {
    a = -16383.0 + (i - 1538) * b;
  }
  return static_cast<int32_t>(a);  // truncation toward zero
}

TEST(WaveTable, TriangleRisesOver512EntriesAndReflectsAtThePeaks) {
  WaveTable wave{};
  FillTriangleWave(wave);
  for (int i = 0; i < kWaveTableSize; ++i) ASSERT_EQ(wave[i], ModelTriangle(i)) << i;
}

TEST(WaveTable, SmoothingIsInPlaceAndTruncatesTowardZero) {
  WaveTable wave{};
  wave[100] = wave[101] = wave[102] = 300;
  wave[200] = wave[201] = wave[202] = -300;
  SmoothWave(wave, 1);
  // In place: each entry already sees its smoothed left neighbour.
  const int32_t positive[] = {100, 233, 277, 192, 64, 21, 7, 2, 0};
  for (int k = 0; k < 9; ++k) EXPECT_EQ(wave[99 + k], positive[k]) << 99 + k;
  // -700 / 3 is -233 (toward zero), not -234.
  for (int k = 0; k < 9; ++k) EXPECT_EQ(wave[199 + k], -positive[k]) << 199 + k;
  EXPECT_EQ(wave[98], 0);
}

TEST(WaveTable, SpikesSetThreeNeighboursFromThreeDraws) {
  SeedRandom(31337);
  WaveTable wave{};
  AddCoarseSpikes(wave, 50);

  ModelRandom model(31337);
  WaveTable expected{};
  for (int n = 0; n < 50; ++n) {
    const int i = model.Next() % 1984 + 32;
    const int s = model.Next();
    const int m = model.Next() % 16383;
    const int32_t v = (s % 2 == 0) ? m : -m;
    expected[i - 1] = expected[i] = expected[i + 1] = v;
    ASSERT_GE(i - 1, 31);
    ASSERT_LE(i + 1, 2016);
  }
  EXPECT_EQ(wave, expected);
}

TEST(WaveTable, ChannelWaveIsTriangleOrSineAndCoarseStaysInRange) {
  int triangles = 0, sines = 0;
  WaveTable triangle{};
  FillTriangleWave(triangle);
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    SeedRandom(seed);
    WaveTable wave{};
    FillChannelWave(wave, false);
    if (wave == triangle) {
      ++triangles;
    } else {
      ASSERT_EQ(wave, OscillatorTable) << seed;
      ++sines;
    }
    // The first draw decides: even means triangle.
    EXPECT_EQ(wave == triangle, ModelRandom(seed).Next() % 2 == 0) << seed;

    FillChannelWave(wave, true);
    for (int32_t v : wave) {
      ASSERT_LE(std::abs(v), 16383) << seed;
    }
  }
  EXPECT_GT(triangles, 0);
  EXPECT_GT(sines, 0);
}

}  // namespace
}  // namespace lumox
