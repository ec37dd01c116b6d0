// A new palette, its defaults, and the tables its channels are made from.
#include "palette/palette.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "base/random.h"
#include "control/oscillator_table.h"
#include "gfx/canvas.h"
#include "gfx/screen.h"
#include "palette/wave_table.h"
#include "platform/clock.h"
#include "state/module_control.h"

namespace lumox {
namespace {

TEST(PaletteConstruction, NewPaletteIsBlackReservedOnScreenAndReleaseRestoresTheScreen) {
  gfx::Screen screen(7, 5);
  std::array<gfx::Rgb, kPaletteEntries> before;
  for (int k = 0; k < kPaletteEntries; ++k) before[k] = {uint8_t(k), 3, uint8_t(255 - k)};
  screen.AnimatePalette(0, kPaletteEntries, before.data());
  gfx::Canvas dc(screen);
  PaletteState* state = CreatePaletteState(&dc);
  for (int k = 0; k < kPaletteEntries; ++k) {
    ASSERT_EQ(state->entries[k].flags, kPcReserved) << k;
    ASSERT_EQ(screen.Entry(gfx::kFirstSaverEntry + k), gfx::Rgb{}) << k;
  }
  EXPECT_EQ(screen.Entry(255), (gfx::Rgb{255, 255, 255}));  // a static colour, not ours
  ReleasePaletteState(state);
  for (int k = 0; k < kPaletteEntries; ++k)
    ASSERT_EQ(screen.Entry(gfx::kFirstSaverEntry + k), before[k]) << k;
  // Each new palette walks its custom colours by random steps below 10,
  // turning round at 0 and 255 rather than wrapping.
  ManualClock clock(0);
  InstallClock(&clock);
  int largest = 0;
  for (uint32_t tick = 1; tick <= 30; ++tick) {
    clock.Set(tick * 7919);
    PaletteState* custom = CreatePaletteState(nullptr);
    for (int k = 1; k < kPaletteEntries; ++k)
      largest = std::max(largest, std::abs(custom->custom[k].blue - custom->custom[k - 1].blue));
    ReleasePaletteState(custom);
  }
  InstallClock(nullptr);
  EXPECT_EQ(largest, 9);
}

TEST(PaletteConstruction, DefaultsFollowTheTableAndKeepTheEffects) {
  PaletteState state;
  state.channels[kBlue].ChangeTime = state.channels[kBlue].CustomOn = 55;
  state.settings.Effect[kBlue] = kEffectCustom;
  SetPaletteDefaults(state);
  EXPECT_EQ(state.settings.Effect[kBlue], kEffectCustom);
  EXPECT_EQ(state.channels[kBlue].ChangeTime + state.channels[kBlue].CustomOn, 0u);
  EXPECT_EQ(state.channels[kBlue].Duration, 15000);
  // Value, minimum, maximum, range, sound capable; Density and MorphRate are random.
  const int32_t table[kPaletteParameters][6] = {
      {100, 0, 100, 0, 100, 1}, {6, 1, 80, 1, 12, 1},    {14, 1, 300, 1, 200, 1},
      {14, 1, 300, 1, 200, 1},  {16, 0, 300, 10, 30, 0}, {30, 10, 200, 10, 60, 0},
      {1000, 0, 3000, 10, 600, 0}, {1, -50, 50, -3, 3, 1}, {9, 1, 64, 6, 16, 1},
      {100, 0, 200, 0, 100, 1}};
  for (int p = 0; p < kPaletteParameters; ++p) {
    const PaletteParameterLimits& limits = state.settings.limits[p];
    const PaletteValue& v = state.settings.values[p][kBlue];
    const int32_t actual[6] = {v.Value, limits.Minimum, limits.Maximum,
                               v.RangeLo, v.RangeHi, limits.SoundCapable};
    EXPECT_TRUE(std::equal(actual, actual + 6, table[p])) << p;
    EXPECT_EQ(v.Source, p == kDensity || p == kMorphRate ? kSourceRandom : kSourceSet) << p;
    EXPECT_TRUE(v.Sense == 7 && v.Smoothed == 0.5f) << p;
  }
}

TEST(WaveTable, TriangleSmoothingAndChannelWaves) {
  WaveTable wave{}, triangle{};
  FillTriangleWave(triangle);
  // Steps of 16383/512 = 31.998046875, truncated toward zero; the corners
  // are clamped at +-16383 and repeat there for one entry.
  for (const auto& [i, value] : {std::pair{1, 31}, {100, 3199}, {511, 16351}, {512, 16383},
                                 {513, 16383}, {1025, 0}, {1537, -16383}, {1538, -16383},
                                 {2047, -95}})
    EXPECT_EQ(triangle[i], value) << i;
  // Smoothing is in place, truncates toward zero and keeps both ends.
  wave[100] = wave[101] = wave[102] = 300;
  wave[200] = wave[201] = wave[202] = -300;
  wave[2047] = -3000;
  SmoothWave(wave, 1);
  const int32_t smoothed[] = {0, 100, 233, 277, 192, 64, 21, 7, 2, 0};
  for (int k = 0; k < 10; ++k)
    EXPECT_TRUE(wave[98 + k] == smoothed[k] && wave[198 + k] == -smoothed[k]) << k;
  EXPECT_EQ(wave[2047], -3000);
  // A channel's wave is the triangle or the sine, by halves.
  SeedRandom(7);
  int triangles = 0;
  for (int n = 0; n < 400; ++n) {
    FillChannelWave(wave, false);
    triangles += wave == triangle;
    ASSERT_TRUE(wave == triangle || wave == OscillatorTable);
  }
  EXPECT_TRUE(triangles > 160 && triangles < 240) << triangles;
}

// Coarse waves get spikes: three neighbours inside the table set to one
// value of either sign, then smoothing; they stay within the wave's range.
TEST(WaveTable, CoarseSpikesStayInside) {
  SeedRandom(3);
  int negative = 0;
  for (int n = 0; n < 60; ++n) {
    WaveTable wave{};
    AddCoarseSpikes(wave, 1);
    const auto first = std::find_if(wave.begin(), wave.end(), [](int32_t v) { return v != 0; });
    const auto at = first - wave.begin();
    ASSERT_TRUE(first == wave.end() || (at >= 31 && at + 2 <= 2016 && std::abs(*first) < 16383 &&
                std::count(first, first + 3, *first) == 3 &&
                std::count(wave.begin(), wave.end(), 0) == kWaveTableSize - 3)) << at;
    negative += first != wave.end() && *first < 0;
    FillChannelWave(wave, true);
    for (int32_t v : wave) ASSERT_LE(std::abs(v), 16383);
  }
  EXPECT_TRUE(negative > 15 && negative < 45) << negative;
}

}  // namespace
}  // namespace lumox
