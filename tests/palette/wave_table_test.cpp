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

TEST(WaveTable, ASpikeSetsThreeNeighboursInsideTheTableToOneValueOfEitherSign) {
  SeedRandom(3);
  int negative = 0;
  for (int n = 0; n < 60; ++n) {
    WaveTable wave{};
    AddCoarseSpikes(wave, 1);
    const auto spike = std::find_if(wave.begin(), wave.end(), [](int32_t v) { return v != 0; });
    const int first = static_cast<int>(spike - wave.begin());
    if (first == kWaveTableSize) continue;  // a spike of size 0
    ASSERT_GE(first, 31);
    ASSERT_LE(first + 2, 2016);
    ASSERT_EQ(std::count(wave.begin(), wave.end(), wave[first]), 3);
    ASSERT_TRUE(wave[first + 1] == wave[first] && wave[first + 2] == wave[first]);
    ASSERT_LT(std::abs(wave[first]), 16383);
    negative += wave[first] < 0;
  }
  EXPECT_GT(negative, 15);
  EXPECT_LT(negative, 45);
}

TEST(WaveTable, ChannelWaveIsTriangleOrSineByHalvesAndCoarseStaysInRange) {
  WaveTable triangle{}, wave{};
  FillTriangleWave(triangle);
  SeedRandom(7);
  int triangles = 0;
  for (int n = 0; n < 400; ++n) {
    FillChannelWave(wave, false);
    triangles += wave == triangle;
    ASSERT_TRUE(wave == triangle || wave == OscillatorTable);
  }
  EXPECT_GT(triangles, 160);
  EXPECT_LT(triangles, 240);
  for (int n = 0; n < 20; ++n) {
    FillChannelWave(wave, true);
    ASSERT_TRUE(wave != triangle && wave != OscillatorTable);
    for (int32_t v : wave) ASSERT_LE(std::abs(v), 16383);
  }
}

}  // namespace
}  // namespace lumox
