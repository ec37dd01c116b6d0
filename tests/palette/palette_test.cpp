// The palette: a new one, its defaults, the wave tables its channels are
// made from, and its animation: effects, levels, the step that cycles and
// morphs them onto the screen, random events and the thread. Stored values
// are not range checked: whatever they hold, nothing may crash, hang or index
// outside its tables (the sanitizer builds run these too).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <thread>
#include <tuple>
#include <vector>

#include "base/random.h"
#include "control/oscillator_table.h"
#include "control/sound_link.h"
#include "control/sound_share.h"
#include "gfx/canvas.h"
#include "gfx/screen.h"
#include "palette/palette.h"
#include "palette/palette_thread.h"
#include "palette/wave_table.h"
#include "platform/clock.h"
#include "state/module_control.h"
#include "state/palette_state.h"
#include "state/saver_state.h"

namespace lumox {
namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

// A manual clock, a fixed seed, and a palette state at its defaults with
// every channel idle.
class PaletteTest : public ::testing::Test {
 protected:
  void SetUp() override { InstallClock(&clock_); SeedRandom(20261206); }
  void TearDown() override { InstallClock(nullptr); }

  // The defaults, no device context, no effect change due, levels 0.
  PaletteState& IdleState() {
    state_ = std::make_unique<PaletteState>();
    SetPaletteDefaults(*state_);
    for (ChannelAnimation& channel : state_->channels) channel.ChangeTime = 0xFFFFFFFFu;
    return *state_;
  }
  // Idle; levels from the custom colours (k, 100 + k / 2, 235 - k), cycling by `direction`.
  PaletteState& CustomState(int32_t direction) {
    PaletteState& s = IdleState();
    for (int k = 0; k < kPaletteEntries; ++k)
      s.custom[k].Set({uint8_t(k), uint8_t(100 + k / 2), uint8_t(235 - k)});
    for (ChannelAnimation& a : s.channels) a.CustomOn = 1;
    SetAll(s, kDirection, direction);
    return s;
  }
  static void SetAll(PaletteState& s, PaletteParameter parameter, int32_t value) {
    for (PaletteValue& v : s.settings.values[parameter]) { v.Source = kSourceSet; v.Value = value; }
  }
  // Oscillating at Sense 10 over 0..100 from phase 0.5: 42, 34, 27, 20, ...
  static void Oscillate(PaletteValue& v) {
    v.Source = kSourceOscillate;
    v.Sense = 10, v.RangeLo = 0, v.RangeHi = 100, v.Smoothed = 0.5f;
  }

  // Advances the clock by `ms` and animates one step.
  void StepAfter(PaletteState& s, uint32_t ms) { clock_.Advance(ms); AnimateStep(s); }

  ManualClock clock_{100000};
  std::unique_ptr<PaletteState> state_;
};

using GenerateEntryTest = PaletteTest;
using NewChannelEffectTest = PaletteTest;
using AnimateStepTest = PaletteTest;
using RandomEventsTest = PaletteTest;
using BadPaletteInput = PaletteTest;
using PaletteConstruction = PaletteTest;

TEST_F(PaletteConstruction, NewPaletteIsBlackReservedOnScreenAndReleaseRestoresTheScreen) {
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
  int largest = 0;
  for (uint32_t tick = 1; tick <= 30; ++tick) {
    clock_.Set(tick * 7919);
    PaletteState* custom = CreatePaletteState(nullptr);
    for (int k = 1; k < kPaletteEntries; ++k)
      largest = std::max(largest, std::abs(custom->custom[k].blue - custom->custom[k - 1].blue));
    ReleasePaletteState(custom);
  }
  EXPECT_EQ(largest, 9);
  // Walking by single steps, a channel turns round exactly at 0 and 255.
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    SeedRandom(seed);
    CustomPalette walk;
    MakeRandomCustomPalette(walk, 1, -1, 1);
    for (int k = 1; k < kPaletteEntries; ++k) {
      for (auto [from, to] : {std::pair<int, int>{walk[k - 1].red, walk[k].red},
                              {walk[k - 1].green, walk[k].green}})
        ASSERT_TRUE(std::abs(to - from) == 1 || from == 0 || from == 255) << seed << ", " << k;
    }
  }
}

TEST_F(PaletteConstruction, DefaultsFollowTheTableAndKeepTheEffects) {
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
  }
  EXPECT_TRUE(triangles > 160 && triangles < 240) << triangles;
}

// Coarse waves get spikes: three neighbours inside the table set to one
// value of either sign, inside the table and below the wave's peak.
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
  }
  EXPECT_TRUE(negative > 15 && negative < 45) << negative;
}

// Intensity scales the wave's level in percent, saturating at 255.
TEST_F(GenerateEntryTest, IntensityScalesInPercentUpTo255) {
  PaletteState& s = IdleState();
  ChannelAnimation& red = s.channels[kRed];
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
      {true, 1, 511, 0, 254}, {true, 1, 1535, 0, 254}, {true, 1, 1023, 0, 0},  // peak, trough, zero
      {false, 1, 513, 16383, 254},  {false, 1, 511, 100, 0},   // falling: lit; rising: dark
      {false, 1, 513, 16382, 0},    {false, 1, 1535, 0, 0},    // level, or negative: dark
  };
  for (const Case& c : cases) {
    blue.FadeOn = c.fade, blue.RampOn = 1;  // Fade wins over Ramp
    SetAll(s, c.fade ? kFadeFactor : kRampDecay, c.frequency);
    blue.Counter = c.counter, blue.RampPrev = c.rampPrev;
    GenerateEntry(s, kBlue, 5);
    EXPECT_EQ(blue.Current[5], c.level) << c.fade << " " << c.frequency << " " << c.counter;
  }
}

// Custom reads the channel's byte of custom entry Counter mod 236, also for
// a negative Counter; channels and entries outside the palette are ignored.
TEST_F(GenerateEntryTest, CustomWrapsAndEntriesOutsideThePaletteAreIgnored) {
  PaletteState& s = CustomState(0);
  s.channels[kGreen].Counter = 240, s.channels[kBlue].Counter = -2;
  GenerateEntry(s, kGreen, 0);
  GenerateEntry(s, kBlue, 3);
  EXPECT_EQ(s.channels[kGreen].Current[0] * 1000 + s.channels[kBlue].Current[3], 102 * 1000 + 1);
  const auto* bytes = reinterpret_cast<const uint8_t*>(&s);
  const std::vector<uint8_t> before(bytes, bytes + sizeof s);
  for (const auto& [channel, entry] : {std::pair{3, 0}, {-1, 0}, {kRed, 236}, {kRed, -1}})
    GenerateEntry(s, channel, entry);
  for (int channel : {3, -1}) NewChannelEffect(s, channel);
  EXPECT_EQ(std::memcmp(before.data(), &s, sizeof s), 0);
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
  // rest Fade, half are coarse.
  int ramps = 0, fades = 0, coarse = 0;
  PaletteState& s = IdleState();
  for (int n = 0; n < 240; ++n) {
    s.settings.Effect[kGreen] = std::array<int32_t, 4>{kEffectRandom, 7, -1, 1000}[n % 4];
    NewChannelEffect(s, kGreen);
    const ChannelAnimation& g = s.channels[kGreen];
    ASSERT_TRUE(g.RampOn + g.FadeOn <= 1 && g.BlackoutOn + g.CustomOn == 0);
    ramps += g.RampOn, fades += g.FadeOn, coarse += g.CoarseWave;
  }
  EXPECT_TRUE(ramps > 20 && ramps < 65 && fades > 15 && fades < 55) << ramps << " " << fades;
  EXPECT_TRUE(coarse > 80 && coarse < 160) << coarse;
}

TEST_F(NewChannelEffectTest, SetsTheTimesAndRegeneratesTheRow) {
  PaletteState& s = CustomState(0);
  clock_.Set(5000);
  SetAll(s, kSeconds, 12);
  SetAll(s, kEvent, 3000);  // "no events": years of steps
  s.settings.Effect[kRed] = kEffectCustom;
  NewChannelEffect(s, kRed);
  const ChannelAnimation& r = s.channels[kRed];
  EXPECT_EQ(std::tuple(r.ChangeTime, r.Counter, s.settings.values[kEvent][kRed].Value,
                       s.settings.values[kEvent][kGreen].Value),
            std::tuple(17000u, kPaletteEntries, 16777215, 3000));
  // Blackout: a black row, and the wave position stays.
  s.settings.Effect[kRed] = kEffectBlackout;
  NewChannelEffect(s, kRed);
  EXPECT_EQ(*std::max_element(r.Current.begin(), r.Current.end()) + r.Counter, 0);
  clock_.Advance(1000);
  PaletteThreadBegin(s);  // every channel starts an effect
  for (const ChannelAnimation& a : s.channels) EXPECT_EQ(a.ChangeTime, 18000u);
}

// CustomState's red custom colour k is generated at Counter k. The row
// starts as levels k; one step moves it and makes the entries moving in at
// counters 10, 11, ...: up the row for a positive direction, down from |d| - 1
// otherwise.
TEST_F(AnimateStepTest, CyclingMovesEveryEntryByTheDirectionAndGeneratesTheNewOnes) {
  for (int32_t direction : {3, -3, 1, 0, 236, 5000, kMax, -236, kMin}) {
    PaletteState& s = CustomState(direction);
    ChannelAnimation& red = s.channels[kRed];
    for (int k = 0; k < kPaletteEntries; ++k) red.Current[k] = static_cast<uint8_t>(k);
    red.Counter = 10;
    AnimateStep(s);
    const int d = std::clamp(direction, -kPaletteEntries, kPaletteEntries);
    for (int k = 0; k < kPaletteEntries; ++k) {
      const int from = k + d;
      const int expected = from >= kPaletteEntries ? (10 + from - kPaletteEntries) % kPaletteEntries
                           : from < 0              ? (9 - from) % kPaletteEntries
                                                   : from;
      ASSERT_EQ(red.Current[k], expected) << direction << " entry " << k;
    }
  }
}

// A due channel cross-fades from its old levels into the new effect's,
// weighing them by 255 - pos and pos over 256, pos rising by MorphRate.
TEST_F(AnimateStepTest, ADueChannelMorphsFromItsOldColoursIntoItsNewEffect) {
  PaletteState& s = CustomState(3);  // cycling by 3, but not while morphing
  s.settings.Effect[kGreen] = kEffectCustom;
  SetAll(s, kMorphRate, 9);
  ChannelAnimation& green = s.channels[kGreen];
  green.ChangeTime = clock_.TickCount(), s.StepsSinceChange = 100;
  green.Current.fill(200);
  StepAfter(s, 1);
  // The new row comes from the custom colours; red and blue are not due.
  EXPECT_EQ(std::tuple(green.Morphing, s.StepsSinceChange, green.Next[50], green.ChangeTime,
                       s.channels[kRed].Morphing, green.Current[0]),
            std::tuple(1, 1, 100 + 50 / 2, clock_.TickCount() + 16000u, 0, 200 * 255 / 256));
  green.ChangeTime = 0;  // due again, but no new change while morphing
  StepAfter(s, 1);
  EXPECT_EQ(green.Current[0], (200 * 246 + 100 * 9) / 256);
  // A forced change comes half a second later, for every channel.
  ForceNewEffects(s);
  for (const auto& [advance, channel, morphing] : {std::tuple{500, kRed, 0}, {1, kBlue, 1}}) {
    StepAfter(s, advance);
    EXPECT_EQ(s.channels[channel].Morphing, morphing) << advance;
  }
}

TEST_F(AnimateStepTest, ScaleIsPerChannelAndLiveScaleAndMorphRateAreNotStored) {
  PaletteState& s = CustomState(0);
  for (ChannelAnimation& a : s.channels) a.Current.fill(200);
  // Green's 0 removes the channel; blue's 150 saturates, does not wrap.
  const int32_t scales[kChannels] = {50, 0, 150};
  for (int c = 0; c < kChannels; ++c) s.settings.values[kScale][c].Value = scales[c];
  AnimateStep(s);
  for (const PaletteEntry& e : s.entries) ASSERT_EQ(e.Color(), (gfx::Rgb{100, 0, 255}));
  s.settings.values[kScale][kRed].Value = -20;
  AnimateStep(s);
  EXPECT_EQ(s.entries[0].red, 0);

  // Live: the new effect evaluates every parameter once and stores 42; the
  // morph step and the scale are evaluated again (34) but not stored.
  for (int p : {kScale, kDirection, kMorphRate}) Oscillate(s.settings.values[p][kRed]);
  s.channels[kRed].ChangeTime = 0;
  StepAfter(s, 1);
  EXPECT_EQ(s.channels[kRed].MorphPos, 34);
  EXPECT_EQ(s.entries[0].red, 200 * 255 / 256 * 34 / 100);
  for (int p : {kScale, kDirection, kMorphRate}) EXPECT_EQ(s.settings.values[p][kRed].Value, 42);

  // The highest sound band drives a parameter like any other source: blue's
  // scale follows its level, half of full scale.
  SoundShareBytes bytes;
  SoundShare share{bytes.bytes};
  SetCurrentSoundShare(&share);
  share.SetF32(share_offset::BandFullScale, 1.0f);
  share.SetLeftBand(kBandCount - 1, 0.5f);
  share.SetRightBand(kBandCount - 1, 0.5f);
  PaletteValue& blueScale = s.settings.values[kScale][kBlue];
  blueScale.Source = kSourceLastBand, blueScale.Sense = 10, blueScale.RangeLo = 0, blueScale.RangeHi = 100;
  AnimateStep(s);
  EXPECT_EQ(s.entries[0].blue, 100);
  SetCurrentSoundShare(nullptr);
}

// Event is the number of steps between events; each event reverses the
// direction or jumps to a random wave position below 2048.
TEST_F(RandomEventsTest, EventRateSetsTheStepsBetweenEventsWhichReverseOrJump) {
  for (const auto& [event, period] : {std::pair{0, 2}, {1, 3}, {-5, 1}, {9, 11}}) {
    PaletteState& s = IdleState();
    SetAll(s, kEvent, event);
    SetAll(s, kDirection, 2);
    int reversals = 0, jumps = 0;
    for (int step = 1; step <= 40 * period; ++step) {
      s.channels[kGreen].Counter = 5000;  // outside the jump range
      RandomEvents(s);
      const bool reversed = s.settings.values[kDirection][kGreen].Value == (reversals % 2 ? 2 : -2);
      const int32_t counter = s.channels[kGreen].Counter;
      ASSERT_EQ(reversed || counter != 5000, step % period == 0) << event << " " << step;
      ASSERT_TRUE(counter == 5000 || (!reversed && counter >= 0 && counter < 2048));
      reversals += reversed;
      jumps += counter != 5000;
    }
    EXPECT_TRUE(reversals > 8 && jumps > 8) << event;
  }
}

TEST_F(BadPaletteInput, AbsurdValuesSourcesAndRangesRunSafely) {
  const int32_t values[] = {kMin, -1000000, -237, -1, 0, 1, 237, 3000, 1000000, kMax};
  gfx::Screen screen(8, 8);
  gfx::Canvas dc(screen);
  for (int p = 0; p < kPaletteParameters; ++p) {
    for (int32_t value : values) {
      PaletteState* s = CreatePaletteState(&dc);
      for (int c = 0; c < kChannels; ++c) {
        s->settings.Effect[c] = static_cast<int32_t>((p + c + int64_t{value}) % 9) - 1;
        s->settings.values[p][c].Source = kSourceSet;
        s->settings.values[p][c].Value = value;
        // The next parameter: an absurd source over an absurd range.
        PaletteValue& other = s->settings.values[(p + 1) % kPaletteParameters][c];
        other.Source = values[(c + p) % 10] % 23;
        other.RangeLo = other.Sense = value;
        other.RangeHi = values[9 - (c + p) % 10];
      }
      PaletteThreadBegin(*s);
      for (int step = 0; step < 40; ++step, clock_.Advance(PaletteStepInterval(*s) * 10))
        PaletteThreadStep(*s);
      for (const ChannelAnimation& a : s->channels)
        EXPECT_TRUE(a.Duration >= 0 && a.Offset >= 0 && a.Offset < kPaletteEntries) << p;
      EXPECT_EQ(screen.Entry(gfx::kFirstSaverEntry + 7), s->entries[7].Color());
      ReleasePaletteState(s);
    }
  }
}

TEST_F(BadPaletteInput, StoredLimitsAreRepairedWhereTheyAreUsed) {
  PaletteState& s = IdleState();
  // The step interval is 10..1000 ms, from the red copy of CycleRate.
  s.settings.values[kCycleRate][kGreen].Value = 45;
  for (const auto& [rate, interval] : {std::pair{30, 30u}, {10, 10u}, {0, 10u}, {9, 10u},
                                       {kMin, 10u}, {1000, 1000u}, {1001, 1000u}, {kMax, 1000u}}) {
    s.settings.values[kCycleRate][kRed].Value = rate;
    EXPECT_EQ(PaletteStepInterval(s), interval) << rate;
  }
  // An effect lasts Seconds x 1000 ms, never less than none, at most the int32 range.
  for (const auto& [seconds, duration] : {std::pair{0, 0}, {-3, 0}, {kMin, 0}, {300, 300000},
                                          {2147483, 2147483000}, {2147484, kMax}}) {
    SetAll(s, kSeconds, seconds);
    NewChannelEffect(s, kRed);
    EXPECT_EQ(s.channels[kRed].Duration, duration) << seconds;
  }
  // Random draws stay within ranges of any width, given either way round.
  PaletteValue& density = s.settings.values[kDensity][kRed];
  for (const auto& [lo, hi] : {std::pair{kMin, kMax}, {kMax, kMin}, {kMax, kMax - 1}}) {
    density.RangeLo = lo, density.RangeHi = hi;
    for (int i = 0; i < 20; ++i) {
      NewChannelEffect(s, kRed);
      ASSERT_TRUE(density.Value >= std::min(lo, hi) && density.Value <= std::max(lo, hi));
    }
  }
  // The first parameter is drawn afresh too.
  PaletteValue& scale = s.settings.values[kScale][kRed];
  scale.Source = kSourceRandom, scale.RangeLo = scale.RangeHi = 37;
  NewChannelEffect(s, kRed);
  EXPECT_EQ(scale.Value, 37);
  // A morph takes at least one step (MorphRate 256 or more) and at most 256 (0 or less).
  for (const auto& [rate, steps] : {std::pair{0, 256}, {kMax, 1}}) {
    PaletteState& m = IdleState();
    SetAll(m, kMorphRate, rate);
    m.channels[kRed].ChangeTime = 0;
    clock_.Advance(1);
    int frames = 0;
    for (; frames < 1000 && (frames == 0 || m.channels[kRed].Morphing); ++frames) {
      AnimateStep(m);
      m.channels[kRed].ChangeTime = 0xFFFFFFFFu;
    }
    EXPECT_EQ(frames, steps) << rate;
  }
  // Reversing the most negative direction saturates; the event count wraps.
  PaletteState& e = IdleState();
  SetAll(e, kEvent, -1);  // an event every step for every channel
  SetAll(e, kDirection, kMin);
  for (int i = 0; i < 20 && e.settings.values[kDirection][kRed].Value == kMin; ++i) RandomEvents(e);
  EXPECT_EQ(e.settings.values[kDirection][kRed].Value, kMax);
  SetAll(e, kEvent, kMax);
  e.channels[kRed].EventCounter = kMax;
  RandomEvents(e);
  EXPECT_EQ(e.channels[kRed].EventCounter, kMin);
}

// The real palette thread, with other threads writing into the palette
// state the way the hot keys and the Random module do. Run under the thread
// sanitizer, this shows that every shared access is whole.
TEST(PaletteThread, AnimatesTheScreenWhileOtherThreadsWriteTheState) {
  using namespace std::chrono_literals;
  InstallClock(nullptr);  // real time: the thread sleeps between steps
  gfx::Screen screen(32, 24);
  gfx::Canvas renderDc(screen);
  PaletteState* state = CreatePaletteState(&renderDc);
  auto quickly = [&] {  // short steps, effects and events
    for (PaletteParameter p : {kCycleRate, kSeconds, kEvent})
      for (PaletteValue& v : state->settings.values[p]) v.Value = p == kCycleRate ? 10 : 0;
  };
  quickly();
  SaverState saver;
  saver.palette = state, saver.runFlag = 1;
  std::thread palette([&] { PaletteThreadMain(*state, screen, saver); });
  std::atomic<bool> stop{false};
  std::thread keys([&] {  // the hot keys
    for (int i = 0; !stop; ++i, std::this_thread::sleep_for(3ms)) {
      for (Relaxed<int32_t>& e : state->settings.Effect) e = i % 7;
      for (ChannelAnimation& a : state->channels) a.ChangeTime = TickCount();
      for (PaletteValue& v : state->settings.values[kDirection]) v.Value = -v.Value;
    }
  });
  std::thread loader([&] {  // the Random module loading another display
    for (uint8_t captured = 0; !stop; std::this_thread::sleep_for(7ms)) {
      SetPaletteDefaults(*state);
      quickly();
      MakeRandomCustomPalette(state->custom, 3, 5, 7);
      ForceNewEffects(*state);
      for (const PaletteEntry& e : state->entries) captured ^= e.red;
    }
  });
  std::this_thread::sleep_for(200ms);
  stop = true;
  for (std::thread* writer : {&keys, &loader}) writer->join();
  // The thread came through and animates the screen: given a smooth wave
  // as the hot keys give it, entry 100 lights up. (The writers may have
  // left a blackout, or a ramp that stays dark with effects this short; and
  // while they restart every effect every few milliseconds, a busy machine
  // may keep it dark as long as they run.) It is checked as read once lit:
  // a later read may find it dark again.
  for (Relaxed<int32_t>& e : state->settings.Effect) e = kEffectSmooth;
  for (ChannelAnimation& a : state->channels) a.ChangeTime = TickCount();
  gfx::Rgb lit{};
  for (int i = 0; i < 10000 && lit == gfx::Rgb{}; ++i, std::this_thread::sleep_for(1ms))
    lit = screen.Entry(gfx::kFirstSaverEntry + 100);
  EXPECT_NE(lit, gfx::Rgb{});
  EXPECT_EQ(saver.paletteReady, 1);
  saver.runFlag = 0;
  palette.join();
  EXPECT_EQ(state->dc, &renderDc);  // the thread put the creator's dc back
  ReleasePaletteState(state);
}

}  // namespace
}  // namespace lumox
