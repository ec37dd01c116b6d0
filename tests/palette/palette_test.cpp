#include "palette/palette.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "gfx/canvas.h"
#include "gfx/screen.h"
#include "palette_fixture.h"

namespace lumox {
namespace {

using PaletteConstruction = PaletteTest;

TEST_F(PaletteConstruction, NewPaletteIsBlackReservedOnScreenAndReleaseRestoresTheScreen) {
  gfx::Screen screen(7, 5);
  std::array<gfx::Rgb, kPaletteEntries> before;
  for (int k = 0; k < kPaletteEntries; ++k) before[k] = {uint8_t(k), 3, uint8_t(255 - k)};
  screen.AnimatePalette(0, kPaletteEntries, before.data());
  gfx::Canvas dc(screen);

  PaletteState* state = CreatePaletteState(&dc);
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(state->Animate, 1);
  for (int k = 0; k < kPaletteEntries; ++k) {
    EXPECT_EQ(state->entries[k].Color(), gfx::Rgb{}) << k;
    EXPECT_EQ(state->entries[k].flags, kPcReserved) << k;
    EXPECT_EQ(screen.Entry(gfx::kFirstSaverEntry + k), gfx::Rgb{}) << k;
  }
  for (int c = 0; c < kChannels; ++c) EXPECT_EQ(state->settings.Effect[c], kEffectRamp);
  EXPECT_EQ(screen.Entry(255), (gfx::Rgb{255, 255, 255}));  // a static colour, not ours

  ReleasePaletteState(state);
  for (int k = 0; k < kPaletteEntries; ++k)
    EXPECT_EQ(screen.Entry(gfx::kFirstSaverEntry + k), before[k]) << k;
  ReleasePaletteState(nullptr);

  // Each new palette walks its custom colours by random steps below 10.
  int largest = 0;
  for (uint32_t tick = 1; tick <= 30; ++tick) {
    clock_.Set(tick * 7919);
    PaletteState* custom = CreatePaletteState(nullptr);
    for (int k = 1; k < kPaletteEntries; ++k)
      largest = std::max(largest, std::abs(custom->custom[k].blue - custom->custom[k - 1].blue));
    ReleasePaletteState(custom);
  }
  EXPECT_EQ(largest, 9);
}

TEST_F(PaletteConstruction, DefaultsRandomiseOnlyDensityAndMorphRateAndKeepTheEffects) {
  PaletteState state;
  for (int c = 0; c < kChannels; ++c) {
    ChannelAnimation& a = state.channels[c];
    state.settings.Effect[c] = kEffectCustom;
    a.Duration = 1;
    a.ChangeTime = a.EventCounter = a.Morphing = 55;
    a.FadeOn = a.RampOn = a.CoarseWave = a.BlackoutOn = a.CustomOn = 1;
    state.settings.values[kIntensity][c].Smoothed = 0.9f;
  }
  SetPaletteDefaults(state);
  for (int c = 0; c < kChannels; ++c) {
    const ChannelAnimation& a = state.channels[c];
    EXPECT_EQ(state.settings.Effect[c], kEffectCustom);
    EXPECT_EQ(a.Duration, 15000);
    EXPECT_EQ(a.ChangeTime + a.EventCounter + a.Morphing, 0u);
    EXPECT_EQ(a.FadeOn + a.RampOn + a.CoarseWave + a.BlackoutOn + a.CustomOn, 0);
    EXPECT_EQ(state.settings.values[kIntensity][c].Smoothed, 0.5f);
    for (int p = 0; p < kPaletteParameters; ++p) {
      const PaletteValue& v = state.settings.values[p][c];
      const bool random = p == kDensity || p == kMorphRate;
      EXPECT_EQ(v.Source, random ? kSourceRandom : kSourceSet) << p;
      EXPECT_EQ(v.Sense, 7);
    }
  }
  // The documented table: value, minimum, maximum, range, sound capable.
  const int32_t table[kPaletteParameters][6] = {
      {100, 0, 100, 0, 100, 1}, {6, 1, 80, 1, 12, 1},    {14, 1, 300, 1, 200, 1},
      {14, 1, 300, 1, 200, 1},  {16, 0, 300, 10, 30, 0}, {30, 10, 200, 10, 60, 0},
      {1000, 0, 3000, 10, 600, 0}, {1, -50, 50, -3, 3, 1}, {9, 1, 64, 6, 16, 1},
      {100, 0, 200, 0, 100, 1}};
  for (int p = 0; p < kPaletteParameters; ++p) {
    const PaletteValue& v = state.settings.values[p][kGreen];
    const PaletteParameterLimits& limits = state.settings.limits[p];
    const int32_t actual[6] = {v.Value, limits.Minimum, limits.Maximum,
                               v.RangeLo, v.RangeHi, limits.SoundCapable};
    EXPECT_TRUE(std::equal(actual, actual + 6, table[p])) << p;
  }
}

// Each channel walks by its step and turns round where the step would leave
// 0..255; the entry where it turns repeats the previous value.
TEST_F(PaletteConstruction, RandomWalkTurnsRoundAtTheEdges) {
  for (int step : {9, 0, -7, 200, 256, 1}) {
    SeedRandom(static_cast<uint32_t>(step + 1000));
    CustomPalette palette;
    MakeRandomCustomPalette(palette, step, step, -step);
    const int size = std::abs(step);
    for (auto level : {&CustomColor::red, &CustomColor::green, &CustomColor::blue}) {
      int direction = 0, turns = 0;  // 0: not known yet
      for (int k = 1; k < kPaletteEntries; ++k) {
        const int x = palette[k - 1].*level, y = palette[k].*level;
        ASSERT_EQ(palette[k].flags, 1);
        if (y == x) {  // a turn: only where the step leads out of range
          ASSERT_TRUE(direction == 0 || x + direction * size < 0 || x + direction * size > 255)
              << step << " entry " << k;
          direction = -direction;
          turns += size != 0;
        } else {
          ASSERT_EQ(std::abs(y - x), size) << step << " entry " << k;
          ASSERT_TRUE(direction == 0 || y - x == direction * size) << step << " entry " << k;
          direction = y > x ? 1 : -1;
        }
      }
      EXPECT_TRUE(size < 200 || turns > 50) << step;
    }
  }
}

}  // namespace
}  // namespace lumox
