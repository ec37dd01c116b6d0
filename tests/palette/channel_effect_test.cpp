#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "state/module_control.h"
#include "control/oscillator_table.h"
#include "palette/palette_thread.h"
#include "palette_fixture.h"

namespace lumox {
namespace {

using GenerateEntryTest = PaletteTest;
using NewChannelEffectTest = PaletteTest;

// Each wave entry a distinct level: |entry| >> 6 is entry index / 8, with
// alternating signs.
void FillRampWave(WaveTable& wave) {
  for (int j = 0; j < kWaveTableSize; ++j) wave[j] = (j % 2 ? -1 : 1) * (j * 8);
}

TEST_F(GenerateEntryTest, BlackoutIsZeroAndKeepsTheCounter) {
  PaletteState& s = IdleState();
  ChannelAnimation& red = s.channels[kRed];
  red.Current.fill(77);
  red.BlackoutOn = 1;
  red.CustomOn = 1;  // blackout wins
  red.Counter = 5;
  GenerateEntry(s, kRed, 17);
  EXPECT_EQ(red.Current[17], 0);
  EXPECT_EQ(red.Current[16], 77);
  EXPECT_EQ(red.Counter, 5);
}

TEST_F(GenerateEntryTest, CustomTakesTheChannelsByteAtTheCounter) {
  PaletteState& s = IdleState();
  for (int k = 0; k < kPaletteEntries; ++k) {
    s.custom[k].Set({static_cast<uint8_t>(k), static_cast<uint8_t>(2 * k % 256),
                     static_cast<uint8_t>(255 - k)});
  }
  ChannelAnimation& green = s.channels[kGreen];
  green.CustomOn = 1;
  green.Counter = 240;  // wraps to custom entry 4
  GenerateEntry(s, kGreen, 0);
  EXPECT_EQ(green.Current[0], 8);
  EXPECT_EQ(green.Counter, 241);

  ChannelAnimation& blue = s.channels[kBlue];
  blue.CustomOn = 1;
  blue.Counter = -1;  // a negative position still picks a valid entry: 235
  GenerateEntry(s, kBlue, 3);
  EXPECT_EQ(blue.Current[3], 255 - 235);
}

TEST_F(GenerateEntryTest, WaveIndexIsTheNonNegativeRemainderOfTheWrappedSum) {
  PaletteState& s = IdleState();
  FillRampWave(s.waves[kRed]);
  ChannelAnimation& red = s.channels[kRed];
  SetAll(s, kDensity, 3);

  red.Offset = 7;
  red.Step = 3;
  red.Counter = 10;
  GenerateEntry(s, kRed, 0);
  EXPECT_EQ(red.Current[0], (37 * 8) >> 6);  // wave[7 + 3 * 10], negative entry
  EXPECT_EQ(red.Step, 3);

  // Offset + Step * Counter far outside int32, and negative steps.
  const struct { int32_t offset, step, counter; } cases[] = {
      {235, std::numeric_limits<int32_t>::max(), 0x7FFFFFF0},
      {0, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()},
      {100, -80, 3},
      {0, -1, 1},
  };
  for (const auto& c : cases) {
    SetAll(s, kDensity, c.step);
    red.Offset = c.offset;
    red.Step = c.step;
    red.Counter = c.counter;
    GenerateEntry(s, kRed, 1);
    const int64_t sum = static_cast<int64_t>(c.offset) + static_cast<int64_t>(c.step) * c.counter;
    const int index = static_cast<int>(((sum % 2048) + 2048) % 2048);
    EXPECT_EQ(red.Current[1], (index * 8) >> 6) << c.offset << " " << c.step << " " << c.counter;
  }
}

TEST_F(GenerateEntryTest, IntensityScalesAndIsLimitedTo255) {
  PaletteState& s = IdleState();
  s.waves[kRed].fill(200 << 6);  // base level 200 everywhere
  ChannelAnimation& red = s.channels[kRed];
  const struct { int32_t intensity; int expected; } cases[] = {
      {100, 200}, {200, 255}, {50, 100}, {0, 0}, {-10, 0},
      {std::numeric_limits<int32_t>::max(), 255}, {std::numeric_limits<int32_t>::min(), 0}};
  for (const auto& c : cases) {
    SetAll(s, kIntensity, c.intensity);
    GenerateEntry(s, kRed, 9);
    EXPECT_EQ(red.Current[9], c.expected) << c.intensity;
  }
}

TEST_F(GenerateEntryTest, DensityChangesTheStepFromTheNextEntryOn) {
  PaletteState& s = IdleState();
  FillRampWave(s.waves[kRed]);
  ChannelAnimation& red = s.channels[kRed];
  red.Offset = 0;
  red.Step = 4;
  red.Counter = 2;
  SetAll(s, kDensity, 10);
  GenerateEntry(s, kRed, 0);  // still uses step 4: wave[8]
  GenerateEntry(s, kRed, 1);  // step 10, counter 3: wave[30]
  EXPECT_EQ(red.Current[0], (8 * 8) >> 6);
  EXPECT_EQ(red.Current[1], (30 * 8) >> 6);
}

TEST_F(GenerateEntryTest, FadeMultipliesByTheEnvelopeMagnitude) {
  PaletteState& s = IdleState();
  s.waves[kRed].fill(255 << 6);
  ChannelAnimation& red = s.channels[kRed];
  red.FadeOn = 1;
  red.RampOn = 1;  // fade wins
  const struct { int32_t factor, counter; } cases[] = {
      {14, 20}, {-14, 20}, {300, 1000}, {std::numeric_limits<int32_t>::max(), 77}, {1, 1023}};
  for (const auto& c : cases) {
    SetAll(s, kFadeFactor, c.factor);
    red.Counter = c.counter;
    GenerateEntry(s, kRed, 5);
    const int64_t product = static_cast<int64_t>(c.counter) * c.factor;
    const int32_t h = OscillatorTable[((product % 2048) + 2048) % 2048];
    EXPECT_EQ(red.Current[5], std::abs(h) * 255 / 16383) << c.factor << " " << c.counter;
  }
  EXPECT_EQ(red.Current[5], 0);  // entry 1023 of the sine is a zero crossing
}

TEST_F(GenerateEntryTest, RampLightsOnlyTheFallingPositiveHalfWave) {
  PaletteState& s = IdleState();
  s.waves[kBlue].fill(255 << 6);
  ChannelAnimation& blue = s.channels[kBlue];
  blue.RampOn = 1;
  SetAll(s, kRampDecay, 1);

  // Counter 600: past the peak (509..513), falling and positive.
  blue.RampPrev = OscillatorTable[599];
  blue.Counter = 600;
  GenerateEntry(s, kBlue, 0);
  EXPECT_EQ(blue.Current[0], OscillatorTable[600] * 255 / 16383);
  EXPECT_EQ(blue.RampPrev, OscillatorTable[600]);

  // Rising (counter 100 after 99): dark.
  blue.RampPrev = OscillatorTable[99];
  blue.Counter = 100;
  GenerateEntry(s, kBlue, 1);
  EXPECT_EQ(blue.Current[1], 0);

  // Falling but negative (counter 1500): dark.
  blue.RampPrev = OscillatorTable[1499];
  blue.Counter = 1500;
  GenerateEntry(s, kBlue, 2);
  EXPECT_EQ(blue.Current[2], 0);
  EXPECT_EQ(blue.RampPrev, OscillatorTable[1500]);

  // Over a whole row at the default frequency the pattern is bright bands
  // and dark stretches.
  SetAll(s, kRampDecay, 14);
  blue.Counter = 0;
  blue.RampPrev = 0;
  int lit = 0;
  for (int i = 0; i < kPaletteEntries; ++i) {
    GenerateEntry(s, kBlue, i);
    lit += blue.Current[i] > 0;
  }
  EXPECT_GT(lit, 0);
  EXPECT_LT(lit, kPaletteEntries);
}

TEST_F(GenerateEntryTest, OutOfRangeChannelOrEntryIsIgnored) {
  PaletteState& s = IdleState();
  const PaletteState before = s;
  GenerateEntry(s, 3, 0);
  GenerateEntry(s, -1, 0);
  GenerateEntry(s, kRed, 236);
  GenerateEntry(s, kRed, -1);
  for (int c = 0; c < kChannels; ++c) {
    EXPECT_EQ(s.channels[c].Current, before.channels[c].Current);
    EXPECT_EQ(s.channels[c].Counter, before.channels[c].Counter);
  }
}

TEST_F(GenerateEntryTest, LiveIntensityIsEvaluatedAndWrittenBack) {
  PaletteState& s = IdleState();
  s.waves[kRed].fill(200 << 6);
  PaletteValue& intensity = s.settings.values[kIntensity][kRed];
  intensity.Source = kSourceOscillate;
  intensity.Sense = 10;
  intensity.RangeLo = 0;
  intensity.RangeHi = 100;
  intensity.Smoothed = 0.5f;
  // Oscillating at sense 10 over 0..100 from phase 0.5 gives 42, then 34.
  GenerateEntry(s, kRed, 0);
  EXPECT_EQ(intensity.Value, 42);
  EXPECT_EQ(s.channels[kRed].Current[0], 200 * 42 / 100);
  GenerateEntry(s, kRed, 1);
  EXPECT_EQ(intensity.Value, 34);
  EXPECT_FLOAT_EQ(intensity.Smoothed, 0.55f);

  // A source number the evaluator does not know is not live.
  intensity.Source = 99;
  intensity.Value = 50;
  GenerateEntry(s, kRed, 2);
  EXPECT_EQ(s.channels[kRed].Current[2], 100);
  EXPECT_EQ(intensity.Value, 50);
}

// What NewChannelEffect's draws should decide with the default settings:
// Density and MorphRate (the two Random parameters, in table order), then
// the coarse flag, then for the Random effect one or two one-in-six draws.
struct ModelEffect {
  int32_t density, morphRate, coarse, rampOn, fadeOn;
};
ModelEffect ModelRandomEffect(uint32_t seed) {
  ModelRandom model(seed);
  ModelEffect e{};
  e.density = 1 + model.Next() % 12;
  e.morphRate = 6 + model.Next() % 11;
  e.coarse = model.Next() % 2;
  e.rampOn = model.Next() % 6 == 1;
  e.fadeOn = e.rampOn ? 0 : model.Next() % 6 == 1;
  return e;
}

TEST_F(NewChannelEffectTest, RandomEffectDrawsInOrderAndOutOfRangeEffectsActAsRandom) {
  int ramps = 0, fades = 0;
  for (int32_t effect : {int32_t{kEffectRandom}, 7, -1, 1000}) {
    for (uint32_t seed = 1; seed <= 60; ++seed) {
      PaletteState& s = IdleState();
      s.settings.Effect[kGreen] = effect;
      SeedRandom(seed);
      NewChannelEffect(s, kGreen);
      const ModelEffect e = ModelRandomEffect(seed);
      const ChannelAnimation& g = s.channels[kGreen];
      ASSERT_EQ(s.settings.values[kDensity][kGreen].Value, e.density) << seed;
      ASSERT_EQ(s.settings.values[kMorphRate][kGreen].Value, e.morphRate) << seed;
      ASSERT_EQ(g.CoarseWave, e.coarse) << seed;
      ASSERT_EQ(g.RampOn, e.rampOn) << seed;
      ASSERT_EQ(g.FadeOn, e.fadeOn) << seed;
      ASSERT_EQ(g.BlackoutOn + g.CustomOn, 0);
      ramps += g.RampOn;
      fades += g.FadeOn;
      // Other channels are untouched.
      ASSERT_EQ(s.settings.values[kDensity][kRed].Value, 6);
    }
  }
  EXPECT_GT(ramps, 0);
  EXPECT_GT(fades, 0);
}

TEST_F(NewChannelEffectTest, FixedEffectsSetTheirFlags) {
  struct Expect { int32_t effect; int ramp, fade, blackout, custom; int coarse; };  // coarse -1: random
  const Expect cases[] = {{kEffectRamp, 1, 0, 0, 0, -1},    {kEffectFade, 0, 1, 0, 0, -1},
                          {kEffectSmooth, 0, 0, 0, 0, 0},   {kEffectCoarse, 0, 0, 0, 0, 1},
                          {kEffectBlackout, 0, 0, 1, 0, -1}, {kEffectCustom, 0, 0, 0, 1, -1}};
  for (const Expect& c : cases) {
    PaletteState& s = IdleState();
    s.channels[kBlue].CustomOn = 1;  // left over from an earlier Custom effect
    s.settings.Effect[kBlue] = c.effect;
    NewChannelEffect(s, kBlue);
    const ChannelAnimation& b = s.channels[kBlue];
    EXPECT_EQ(b.RampOn, c.ramp) << c.effect;
    EXPECT_EQ(b.FadeOn, c.fade) << c.effect;
    EXPECT_EQ(b.BlackoutOn, c.blackout) << c.effect;
    EXPECT_EQ(b.CustomOn, c.custom) << c.effect;
    if (c.coarse >= 0) {
      EXPECT_EQ(b.CoarseWave, c.coarse) << c.effect;
    }
  }
}

TEST_F(NewChannelEffectTest, SetsDurationChangeTimeStepAndGeneratesTheRow) {
  PaletteState& s = IdleState();
  clock_.Set(5000);
  SetAll(s, kSeconds, 12);
  s.settings.Effect[kRed] = kEffectCustom;
  for (int k = 0; k < kPaletteEntries; ++k) s.custom[k].red = static_cast<uint8_t>(k + 3);
  NewChannelEffect(s, kRed);
  const ChannelAnimation& r = s.channels[kRed];
  EXPECT_EQ(r.Duration, 12000);
  EXPECT_EQ(r.ChangeTime, 17000u);
  EXPECT_EQ(r.Step, s.settings.values[kDensity][kRed].Value);
  EXPECT_GE(r.Step, 1);
  EXPECT_LE(r.Step, 12);
  EXPECT_GE(r.Offset, 0);
  EXPECT_LT(r.Offset, kPaletteEntries);
  EXPECT_EQ(r.Counter, kPaletteEntries);
  // A Custom row starts at custom entry 0 and runs through all of them.
  for (int k = 0; k < kPaletteEntries; ++k) ASSERT_EQ(r.Current[k], k + 3) << k;
}

TEST_F(NewChannelEffectTest, BlackoutRowIsDark) {
  PaletteState& s = IdleState();
  s.settings.Effect[kRed] = kEffectBlackout;
  s.channels[kRed].Current.fill(99);
  NewChannelEffect(s, kRed);
  const ChannelAnimation& r = s.channels[kRed];
  EXPECT_TRUE(std::all_of(r.Current.begin(), r.Current.end(), [](uint8_t v) { return v == 0; }));
  EXPECT_EQ(r.Counter, 0);
}

TEST_F(NewChannelEffectTest, LiveParametersAreEvaluatedAfterTheRandomDraws) {
  PaletteState& s = IdleState();
  PaletteValue& direction = s.settings.values[kDirection][kRed];
  direction.Source = kSourceOscillate;
  direction.Sense = 10;
  direction.RangeLo = 0;
  direction.RangeHi = 100;
  direction.Smoothed = 0.5f;
  PaletteValue& intensity = s.settings.values[kIntensity][kRed];
  intensity.Source = kSourceRandom;
  intensity.RangeLo = 80;
  intensity.RangeHi = 70;  // a reversed range draws from 70..80
  SeedRandom(5);
  NewChannelEffect(s, kRed);
  EXPECT_EQ(direction.Value, 42);
  ModelRandom model(5);
  model.Next();  // Density
  model.Next();  // MorphRate
  EXPECT_EQ(intensity.Value, 70 + model.Next() % 11);
}

}  // namespace
}  // namespace lumox
