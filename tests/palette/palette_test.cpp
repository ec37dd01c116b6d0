#include "palette/palette.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "state/module_control.h"
#include "gfx/canvas.h"
#include "gfx/screen.h"
#include "palette_fixture.h"

namespace lumox {
namespace {

using PaletteConstruction = PaletteTest;

TEST_F(PaletteConstruction, NewPaletteIsBlackReservedAndRealisedOnTheScreen) {
  gfx::Screen screen(7, 5);
  // Colours the screen showed before the saver's palette was selected.
  std::array<gfx::Rgb, kPaletteEntries> before;
  for (int k = 0; k < kPaletteEntries; ++k) {
    before[k] = {static_cast<uint8_t>(k), 3, static_cast<uint8_t>(255 - k)};
  }
  screen.AnimatePalette(0, kPaletteEntries, before.data());
  gfx::Canvas dc(screen);

  PaletteState* state = CreatePaletteState(&dc);
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(state->dc, &dc);
  EXPECT_EQ(state->Animate, 1);
  for (int k = 0; k < kPaletteEntries; ++k) {
    EXPECT_EQ(state->entries[k].Color(), gfx::Rgb{}) << k;
    EXPECT_EQ(state->entries[k].flags, kPcReserved) << k;
    EXPECT_EQ(screen.Entry(gfx::kFirstSaverEntry + k), gfx::Rgb{}) << k;
  }
  for (int c = 0; c < kChannels; ++c) {
    EXPECT_EQ(state->settings.Effect[c], kEffectRamp);
    EXPECT_TRUE(std::all_of(state->waves[c].begin(), state->waves[c].end(),
                            [](int32_t v) { return v == 0; }));
  }
  // The static colours are not the saver's.
  EXPECT_EQ(screen.Entry(255), (gfx::Rgb{255, 255, 255}));

  ReleasePaletteState(state);
  for (int k = 0; k < kPaletteEntries; ++k) {
    EXPECT_EQ(screen.Entry(gfx::kFirstSaverEntry + k), before[k]) << k;
  }
}

TEST_F(PaletteConstruction, SeedsWithTheTickCountThenDrawsTheCustomPalette) {
  clock_.Set(777);
  PaletteState* state = CreatePaletteState(nullptr);
  // Seeded with 777: three steps rand() % 10, then the walk's start colour.
  ModelRandom model(777);
  const int sr = model.Next() % 10, sg = model.Next() % 10, sb = model.Next() % 10;
  const int r0 = model.Next() % 256, g0 = model.Next() % 256, b0 = model.Next() % 256;
  auto firstStep = [](int x, int s) { return (x + s >= 0 && x + s <= 255) ? x + s : x; };
  EXPECT_EQ(state->custom[0].red, firstStep(r0, sr));
  EXPECT_EQ(state->custom[0].green, firstStep(g0, sg));
  EXPECT_EQ(state->custom[0].blue, firstStep(b0, sb));
  ReleasePaletteState(state);
  ReleasePaletteState(nullptr);  // allowed, does nothing
}

TEST_F(PaletteConstruction, DefaultsLieWithinTheLimitsAndOnlyDensityAndMorphRateAreRandom) {
  PaletteState state;
  SetPaletteDefaults(state);
  for (int p = 0; p < kPaletteParameters; ++p) {
    for (int c = 0; c < kChannels; ++c) {
      const PaletteValue& v = state.settings.values[p][c];
      const auto& limits = state.settings.limits[p];
      EXPECT_GE(std::min({v.Value, v.RangeLo, v.RangeHi}), limits.Minimum) << p;
      EXPECT_LE(std::max({v.Value, v.RangeLo, v.RangeHi}), limits.Maximum) << p;
      EXPECT_EQ(v.Source, p == kDensity || p == kMorphRate ? kSourceRandom : kSourceSet) << p;
    }
  }
}

TEST_F(PaletteConstruction, DefaultsResetTheAnimationButKeepTheEffects) {
  PaletteState state;
  for (int c = 0; c < kChannels; ++c) {
    ChannelAnimation& a = state.channels[c];
    state.settings.Effect[c] = kEffectCustom;
    a.Duration = 1;
    a.ChangeTime = 1234;
    a.EventCounter = 55;
    a.Morphing = 1;
    a.FadeOn = a.RampOn = a.CoarseWave = a.BlackoutOn = a.CustomOn = 1;
    a.Counter = 99;
    state.settings.values[kIntensity][c].Smoothed = 0.9f;
  }
  SetPaletteDefaults(state);
  for (int c = 0; c < kChannels; ++c) {
    const ChannelAnimation& a = state.channels[c];
    EXPECT_EQ(state.settings.Effect[c], kEffectCustom);
    EXPECT_EQ(a.Duration, 15000);
    EXPECT_EQ(a.ChangeTime, 0u);
    EXPECT_EQ(a.EventCounter, 0);
    EXPECT_EQ(a.Morphing, 0);
    EXPECT_EQ(a.FadeOn + a.RampOn + a.CoarseWave + a.BlackoutOn + a.CustomOn, 0);
    EXPECT_EQ(a.Counter, 99);  // the wave position is not a setting
    EXPECT_EQ(state.settings.values[kIntensity][c].Smoothed, 0.5f);
  }
}

// The walk of one channel, written as a position and a direction.
std::array<int, kPaletteEntries> ModelWalk(int start, int step) {
  std::array<int, kPaletteEntries> out{};
  int x = start;
  int direction = step < 0 ? -1 : 1;
  const int size = std::abs(step);
  for (int k = 0; k < kPaletteEntries; ++k) {
    const int target = x + direction * size;
    if (target < 0 || target > 255) {
      direction = -direction;  // turn round, stay put for this entry
    } else {
      x = target;
    }
    out[k] = x;
  }
  return out;
}

TEST_F(PaletteConstruction, RandomWalkTurnsRoundAtTheEdgesAndRepeatsTheEntry) {
  const uint32_t seed = 4242;
  for (const auto& steps : {std::array<int, 3>{9, 0, -7}, std::array<int, 3>{200, 255, 256},
                            std::array<int, 3>{-1, 1, 5}}) {
    SeedRandom(seed);
    CustomPalette palette;
    MakeRandomCustomPalette(palette, steps[0], steps[1], steps[2]);

    ModelRandom model(seed);
    const int r0 = model.Next() % 256, g0 = model.Next() % 256, b0 = model.Next() % 256;
    const auto red = ModelWalk(r0, steps[0]);
    const auto green = ModelWalk(g0, steps[1]);
    const auto blue = ModelWalk(b0, steps[2]);
    for (int k = 0; k < kPaletteEntries; ++k) {
      ASSERT_EQ(palette[k].red, red[k]) << "entry " << k << " step " << steps[0];
      ASSERT_EQ(palette[k].green, green[k]) << "entry " << k;
      ASSERT_EQ(palette[k].blue, blue[k]) << "entry " << k;
      ASSERT_EQ(palette[k].flags, 1);
    }
  }
}

}  // namespace
}  // namespace lumox
