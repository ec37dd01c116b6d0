// Choosing a channel's effect and generating its levels.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "control/oscillator_table.h"
#include "palette/wave_table.h"
#include "palette_fixture.h"

namespace lumox {
namespace {

using GenerateEntryTest = PaletteTest;
using NewChannelEffectTest = PaletteTest;

TEST_F(GenerateEntryTest, WaveIndexWrapsAndIntensityScalesInPercentUpTo255) {
  PaletteState& s = IdleState();
  ChannelAnimation& red = s.channels[kRed];
  // Entry j of the wave has level j mod 256, with alternating signs.
  for (int j = 0; j < kWaveTableSize; ++j) s.waves[kRed][j] = (j % 2 ? -1 : 1) * ((j % 256) << 6);
  const struct { int32_t offset, step, counter, index; } cases[] = {
      {7, 3, 10, 37}, {100, -80, 3, 1908}, {0, -1, 1, 2047}, {235, kMax, 0x7FFFFFF0, 251},
      {9, kMin, kMax, 9}};
  for (const auto& c : cases) {
    SetAll(s, kDensity, c.step);
    red.Offset = c.offset;
    red.Step = c.step;
    red.Counter = c.counter;
    GenerateEntry(s, kRed, 1);
    EXPECT_EQ(red.Current[1], c.index % 256) << c.offset << " " << c.step << " " << c.counter;
    EXPECT_EQ(red.Counter, static_cast<int32_t>(static_cast<uint32_t>(c.counter) + 1));
  }
  // A Density set since the last effect applies from the next entry on: 4 x 2, then 10 x 3.
  red.Step = 4;
  red.Counter = 2;
  red.Offset = 0;
  SetAll(s, kDensity, 10);
  GenerateEntry(s, kRed, 0);
  GenerateEntry(s, kRed, 1);
  EXPECT_EQ(red.Current[0] * 1000 + red.Current[1], 8 * 1000 + 30);
  s.waves[kRed].fill(200 << 6);
  for (const auto& [intensity, level] : {std::pair{100, 200}, {200, 255}, {50, 100}, {-10, 0},
                                         {kMax, 255}, {kMin, 0}}) {
    SetAll(s, kIntensity, intensity);
    GenerateEntry(s, kRed, 9);
    EXPECT_EQ(red.Current[9], level) << intensity;
  }
}

// The envelopes read the oscillator table at Counter x frequency: its peak
// 16382 at entries 509..513, its zeros at 1023 and 2047, its trough -16382.
// Fade takes the magnitude; Ramp lights only the falling positive half.
TEST_F(GenerateEntryTest, FadeAndRampShapeTheLevelByTheEnvelope) {
  PaletteState& s = IdleState();
  s.waves[kBlue].fill(255 << 6);
  ChannelAnimation& blue = s.channels[kBlue];
  struct Case { bool fade; int32_t frequency, counter, rampPrev; int level; };
  const Case cases[] = {
      {true, 1, 511, 0, 254},     {true, 1, 1535, 0, 254},     // peak and trough
      {true, 7, 73, 0, 254},      {true, kMax, 1537, 0, 254},  // 7 x 73 and -1537 wrap to 511
      {true, 1, 1023, 0, 0},      {true, 3, 1365, 0, 0},       // zero crossings
      {false, 1, 513, 16383, 254},  {false, 1, 511, 100, 0},   // falling: lit; rising: dark
      {false, 1, 513, 16382, 0},    {false, 1, 1535, 0, 0},    // level, or negative: dark
  };
  for (const Case& c : cases) {
    blue.FadeOn = c.fade;
    blue.RampOn = 1;  // Fade wins over Ramp
    SetAll(s, c.fade ? kFadeFactor : kRampDecay, c.frequency);
    blue.Counter = c.counter;
    blue.RampPrev = c.rampPrev;
    GenerateEntry(s, kBlue, 5);
    EXPECT_EQ(blue.Current[5], c.level) << c.fade << " " << c.frequency << " " << c.counter;
    EXPECT_EQ(blue.RampPrev, c.fade ? c.rampPrev : OscillatorTable[c.counter]);
  }
}

// Custom reads the channel's byte of custom entry Counter mod 236, also for
// a negative Counter; channels and entries outside the palette are ignored.
TEST_F(GenerateEntryTest, CustomWrapsAndEntriesOutsideThePaletteAreIgnored) {
  PaletteState& s = CustomState(0);
  s.channels[kGreen].Counter = 240;
  s.channels[kBlue].Counter = -2;
  GenerateEntry(s, kGreen, 0);
  GenerateEntry(s, kBlue, 3);
  EXPECT_EQ(s.channels[kGreen].Current[0] * 1000 + s.channels[kBlue].Current[3], 102 * 1000 + 1);
  const auto bytes = [&s] {
    const auto* b = reinterpret_cast<const uint8_t*>(&s);
    return std::vector<uint8_t>(b, b + sizeof s);
  };
  const std::vector<uint8_t> before = bytes();
  for (const auto& [channel, entry] : {std::pair{3, 0}, {-1, 0}, {kRed, 236}, {kRed, -1}})
    GenerateEntry(s, channel, entry);
  NewChannelEffect(s, 3);
  NewChannelEffect(s, -1);
  EXPECT_TRUE(bytes() == before);
}

TEST_F(NewChannelEffectTest, EachEffectSetsItsFlagsAndRandomSpreadsOverTheChoices) {
  struct Expect { int32_t effect; int ramp, fade, blackout, custom, coarse; };  // coarse -1: either
  const Expect cases[] = {{kEffectRamp, 1, 0, 0, 0, -1},     {kEffectFade, 0, 1, 0, 0, -1},
                          {kEffectSmooth, 0, 0, 0, 0, 0},    {kEffectCoarse, 0, 0, 0, 0, 1},
                          {kEffectBlackout, 0, 0, 1, 0, -1}, {kEffectCustom, 0, 0, 0, 1, -1}};
  WaveTable triangle{};
  FillTriangleWave(triangle);
  for (const Expect& c : cases) {
    PaletteState& s = IdleState();
    s.channels[kBlue].CustomOn = s.channels[kBlue].BlackoutOn = 1;  // from an earlier effect
    s.settings.Effect[kBlue] = c.effect;
    NewChannelEffect(s, kBlue);
    const ChannelAnimation& b = s.channels[kBlue];
    EXPECT_EQ((std::array<int, 4>{b.RampOn, b.FadeOn, b.BlackoutOn, b.CustomOn}),
              (std::array<int, 4>{c.ramp, c.fade, c.blackout, c.custom})) << c.effect;
    EXPECT_TRUE(c.coarse < 0 || b.CoarseWave == c.coarse) << c.effect;
    // A coarse wave is neither the plain triangle nor the sine.
    const bool plain = s.waves[kBlue] == triangle || s.waves[kBlue] == OscillatorTable;
    EXPECT_EQ(plain, b.CoarseWave == 0) << c.effect;
  }
  // Random, and unknown effects alike: one in six is Ramp, one in six of the
  // rest Fade, half are coarse. Random parameters cover their ranges.
  int ramps = 0, fades = 0, coarse = 0;
  std::set<int32_t> densities, morphRates;
  PaletteState& s = IdleState();
  for (int n = 0; n < 240; ++n) {
    s.settings.Effect[kGreen] = std::array<int32_t, 4>{kEffectRandom, 7, -1, 1000}[n % 4];
    NewChannelEffect(s, kGreen);
    const ChannelAnimation& g = s.channels[kGreen];
    ASSERT_TRUE(g.RampOn + g.FadeOn <= 1 && g.BlackoutOn + g.CustomOn == 0);
    ramps += g.RampOn;
    fades += g.FadeOn;
    coarse += g.CoarseWave;
    densities.insert(s.settings.values[kDensity][kGreen].Value);
    morphRates.insert(s.settings.values[kMorphRate][kGreen].Value);
  }
  EXPECT_TRUE(ramps > 20 && ramps < 65 && fades > 15 && fades < 55) << ramps << " " << fades;
  EXPECT_TRUE(coarse > 80 && coarse < 160) << coarse;
  EXPECT_EQ(densities, (std::set<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  EXPECT_EQ(*morphRates.begin() * 100 + *morphRates.rbegin(), 6 * 100 + 16);
  EXPECT_EQ(s.settings.values[kDensity][kRed].Value, 6);  // other channels untouched
}

TEST_F(NewChannelEffectTest, SetsTheTimesAndRegeneratesTheRow) {
  PaletteState& s = CustomState(0);
  clock_.Set(5000);
  SetAll(s, kSeconds, 12);
  SetAll(s, kEvent, 3000);  // "no events": years of steps
  PaletteValue& intensity = s.settings.values[kIntensity][kRed];  // every sound source is live
  intensity.Source = kSourceLastBand;
  intensity.RangeLo = intensity.RangeHi = 50;
  PaletteValue& scale = s.settings.values[kScale][kRed];  // random parameters are drawn anew
  scale.Source = kSourceRandom;
  scale.RangeLo = scale.RangeHi = 37;
  s.settings.Effect[kRed] = kEffectCustom;
  NewChannelEffect(s, kRed);
  const ChannelAnimation& r = s.channels[kRed];
  EXPECT_EQ(r.Duration, 12000);
  EXPECT_EQ(r.ChangeTime, 17000u);
  EXPECT_EQ(s.settings.values[kEvent][kRed].Value, 16777215);
  EXPECT_EQ(s.settings.values[kEvent][kGreen].Value, 3000);
  EXPECT_EQ(r.Step, s.settings.values[kDensity][kRed].Value);
  EXPECT_EQ(scale.Value * 100 + intensity.Value, 3750);
  EXPECT_TRUE(r.Offset >= 0 && r.Offset < kPaletteEntries) << r.Offset;
  EXPECT_EQ(r.Counter, kPaletteEntries);
  // A Custom row runs through the custom colours from entry 0.
  for (int k = 0; k < kPaletteEntries; ++k) ASSERT_EQ(r.Current[k], k / 2) << k;
  // Blackout: a black row, and the wave position stays.
  s.settings.Effect[kRed] = kEffectBlackout;
  NewChannelEffect(s, kRed);
  EXPECT_EQ(*std::max_element(r.Current.begin(), r.Current.end()) + r.Counter, 0);
}

}  // namespace
}  // namespace lumox
