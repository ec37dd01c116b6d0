#include "palette/wave_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "control/oscillator_table.h"
#include "palette_fixture.h"

namespace lumox {
namespace {

TEST(WaveTable, TriangleRisesOver512EntriesWithPeriod2048) {
  WaveTable wave{};
  FillTriangleWave(wave);
  // Steps of 16383/512 = 31.998046875, truncated toward zero; the corners
  // are clamped at +-16383 and repeat there for one entry.
  const std::pair<int, int32_t> points[] = {{0, 0},       {1, 31},         {100, 3199},
                                            {511, 16351}, {512, 16383},    {513, 16383},
                                            {1025, 0},    {1537, -16383},  {1538, -16383},
                                            {2047, -95}};
  for (const auto& [i, value] : points) EXPECT_EQ(wave[i], value) << i;
  for (int i = 1; i < kWaveTableSize; ++i) {
    const int rising = i <= 512 || i > 1537 ? 1 : -1;
    if (i == 513 || i == 1538) continue;  // the corners
    ASSERT_GT(rising * (wave[i] - wave[i - 1]), 30) << i;
  }
}

TEST(WaveTable, SmoothingIsInPlaceAndTruncatesTowardZero) {
  WaveTable wave{};
  wave[100] = wave[101] = wave[102] = 300;
  wave[200] = wave[201] = wave[202] = -300;
  SmoothWave(wave, 1);
  // Each entry already sees its smoothed left neighbour; -700 / 3 is -233.
  const int32_t smoothed[] = {100, 233, 277, 192, 64, 21, 7, 2, 0};
  for (int k = 0; k < 9; ++k) {
    EXPECT_EQ(wave[99 + k], smoothed[k]) << 99 + k;
    EXPECT_EQ(wave[199 + k], -smoothed[k]) << 199 + k;
  }
  EXPECT_EQ(wave[98], 0);
  wave.fill(3000);
  wave[0] = wave[2047] = -3000;
  SmoothWave(wave, 2);
  EXPECT_EQ(wave[0], -3000);  // the ends are never smoothed
  EXPECT_EQ(wave[2047], -3000);
}

TEST(WaveTable, ASpikeSetsThreeNeighboursInsideTheTable) {
  for (uint32_t seed = 1; seed <= 30; ++seed) {
    SeedRandom(seed);
    WaveTable wave{};
    AddCoarseSpikes(wave, 1);
    int first = -1, count = 0;
    for (int i = 0; i < kWaveTableSize; ++i) {
      if (wave[i] == 0) continue;
      if (first < 0) first = i;
      ++count;
    }
    if (count == 0) continue;  // a spike of size 0
    ASSERT_EQ(count, 3) << seed;
    ASSERT_GE(first, 31);
    ASSERT_LE(first + 2, 2016);
    ASSERT_TRUE(wave[first] == wave[first + 1] && wave[first] == wave[first + 2]);
    ASSERT_LT(std::abs(wave[first]), 16383);
  }
}

TEST(WaveTable, ChannelWaveIsTriangleOrSineAndCoarseStaysInRange) {
  WaveTable triangle{};
  FillTriangleWave(triangle);
  int triangles = 0, sines = 0, negativeSpikes = 0;
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    SeedRandom(seed);
    WaveTable wave{};
    FillChannelWave(wave, false);
    triangles += wave == triangle;
    sines += wave == OscillatorTable;
    SeedRandom(seed);
    FillChannelWave(wave, true);
    ASSERT_NE(wave, triangle);
    ASSERT_NE(wave, OscillatorTable);
    for (int32_t v : wave) ASSERT_LE(std::abs(v), 16383) << seed;
    WaveTable spikes{};
    AddCoarseSpikes(spikes, 200);
    negativeSpikes += *std::min_element(spikes.begin(), spikes.end()) < 0;
  }
  EXPECT_EQ(triangles + sines, 40);
  EXPECT_GT(triangles, 5);
  EXPECT_GT(sines, 5);
  EXPECT_GT(negativeSpikes, 30);
}

}  // namespace
}  // namespace lumox
