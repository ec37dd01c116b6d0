#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "state/module_control.h"
#include "gfx/canvas.h"
#include "gfx/screen.h"
#include "palette/palette_thread.h"
#include "palette_fixture.h"

namespace lumox {
namespace {

using AnimateStepTest = PaletteTest;
using RandomEventsTest = PaletteTest;

// An idle state whose generated entries are predictable: each channel takes
// its colours from the custom palette (red k, green 100 + k / 2, blue
// 235 - k), cycling by `direction`.
PaletteState& CustomCycling(PaletteState& s, int32_t direction) {
  for (int k = 0; k < kPaletteEntries; ++k) {
    s.custom[k].Set({static_cast<uint8_t>(k), static_cast<uint8_t>(100 + k / 2),
                     static_cast<uint8_t>(235 - k)});
  }
  for (ChannelAnimation& a : s.channels) a.CustomOn = 1;
  for (PaletteValue& v : s.settings.values[kDirection]) v.Value = direction;
  return s;
}

TEST_F(AnimateStepTest, MorphUsesWeights255MinusPosAndPosOver256) {
  PaletteState& s = IdleState();
  ChannelAnimation& red = s.channels[kRed];
  for (int k = 0; k < kPaletteEntries; ++k) {
    red.Previous[k] = static_cast<uint8_t>(k);
    red.Next[k] = static_cast<uint8_t>(255 - k);
  }
  red.Morphing = 1;
  red.MorphPos = 100;
  red.MorphStep = 9;
  SetAll(s, kDirection, 3);  // no cycling while morphing
  AnimateStep(s);
  for (int k = 0; k < kPaletteEntries; ++k) {
    ASSERT_EQ(red.Current[k], (k * 155 + (255 - k) * 100) / 256) << k;
  }
  EXPECT_EQ(red.MorphPos, 109);
  EXPECT_EQ(red.Morphing, 1);

  // The last step of a morph stops short of Next: 255 * 255 / 256 = 254.
  red.Previous.fill(0);
  red.Next.fill(255);
  red.MorphPos = 255;
  AnimateStep(s);
  EXPECT_EQ(red.Current[0], 254);
  EXPECT_EQ(red.Morphing, 0);

  // Cycling resumes once the morph has ended.
  for (int k = 0; k < kPaletteEntries; ++k) red.Current[k] = static_cast<uint8_t>(k);
  AnimateStep(s);
  EXPECT_EQ(red.Current[0], 3);
}

TEST_F(AnimateStepTest, DirectionShiftsTheRowAndGeneratesTheFreedEntriesInOrder) {
  // Positive moves toward entry 0 and generates the end in increasing order;
  // negative moves toward the end, each new entry landing nearer to entry 0.
  for (int32_t direction : {3, -3}) {
    PaletteState& s = CustomCycling(IdleState(), direction);
    ChannelAnimation& red = s.channels[kRed];
    for (int k = 0; k < kPaletteEntries; ++k) red.Current[k] = static_cast<uint8_t>(k);
    red.Counter = 10;
    AnimateStep(s);
    const int kept = direction > 0 ? 0 : 3;
    for (int k = kept; k < kept + 233; ++k) ASSERT_EQ(red.Current[k], k + direction) << k;
    const int fresh[3] = {direction > 0 ? 233 : 2, direction > 0 ? 234 : 1, direction > 0 ? 235 : 0};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(red.Current[fresh[i]], 10 + i) << direction;
    EXPECT_EQ(red.Counter, 13);
  }
}

TEST_F(AnimateStepTest, ZeroDirectionStandsStill) {
  PaletteState& s = CustomCycling(IdleState(), 0);
  ChannelAnimation& green = s.channels[kGreen];
  for (int k = 0; k < kPaletteEntries; ++k) green.Current[k] = static_cast<uint8_t>(k * 7);
  const auto before = green.Current;
  for (int i = 0; i < 50; ++i) AnimateStep(s);
  EXPECT_EQ(green.Current, before);
  EXPECT_EQ(green.Counter, 0);
}

TEST_F(AnimateStepTest, DirectionBeyondTheRowRegeneratesEveryEntry) {
  for (int32_t direction : {236, 237, 5000, std::numeric_limits<int32_t>::max(), -236, -999,
                            std::numeric_limits<int32_t>::min()}) {
    PaletteState& s = CustomCycling(IdleState(), direction);
    ChannelAnimation& blue = s.channels[kBlue];
    blue.Current.fill(1);
    blue.Counter = 0;
    AnimateStep(s);
    EXPECT_EQ(blue.Counter, kPaletteEntries) << direction;
    for (int k = 0; k < kPaletteEntries; ++k) {
      // Forward fills 0..235 with counters 0..235, backward 235..0.
      const int counter = direction > 0 ? k : 235 - k;
      ASSERT_EQ(blue.Current[k], 235 - counter) << direction << " entry " << k;
    }
  }
}

TEST_F(AnimateStepTest, ScaleAppliesPerChannelAndZeroRemovesTheChannel) {
  PaletteState& s = CustomCycling(IdleState(), 0);
  for (ChannelAnimation& a : s.channels) a.Current.fill(200);
  s.settings.values[kScale][kRed].Value = 50;
  s.settings.values[kScale][kGreen].Value = 0;
  s.settings.values[kScale][kBlue].Value = 150;  // above 100: saturates, does not wrap
  AnimateStep(s);
  for (int k = 0; k < kPaletteEntries; ++k) {
    ASSERT_EQ(s.entries[k].Color(), (gfx::Rgb{100, 0, 255})) << k;
    ASSERT_EQ(s.entries[k].flags, kPcReserved);
  }
  // A negative scale is black.
  PaletteValue& scale = s.settings.values[kScale][kRed];
  scale.Value = -20;
  AnimateStep(s);
  EXPECT_EQ(s.entries[0].red, 0);
}

TEST_F(AnimateStepTest, LiveScaleAndMorphRateAreNotWrittenBackButDirectionIs) {
  PaletteState& s = CustomCycling(IdleState(), 0);
  for (int p : {kScale, kDirection, kMorphRate}) {
    PaletteValue& v = s.settings.values[p][kRed];
    v.Source = kSourceOscillate;
    v.Sense = 10;
    v.RangeLo = 0;
    v.RangeHi = 100;
    v.Smoothed = 0.5f;
    v.Value = 1;
  }
  s.channels[kRed].Current.fill(100);
  s.channels[kRed].ChangeTime = 0;  // due now
  clock_.Advance(1);
  AnimateStep(s);
  // Oscillating at sense 10 over 0..100 from phase 0.5 gives 42, then 34.
  // The new effect evaluated every live parameter once and stored 42.
  for (int p : {kScale, kDirection, kMorphRate}) {
    EXPECT_EQ(s.settings.values[p][kRed].Value, 42) << p;
  }
  // The morph step and the scale are evaluated again (34) but not stored.
  EXPECT_EQ(s.channels[kRed].MorphStep, 34);
  EXPECT_EQ(s.channels[kRed].MorphPos, 34);
  EXPECT_EQ(s.settings.values[kMorphRate][kRed].Value, 42);
  // The first morph frame is 100 * 255 / 256 = 99, at 34 % brightness.
  EXPECT_EQ(s.entries[0].red, 99 * 34 / 100);
  EXPECT_EQ(s.settings.values[kScale][kRed].Value, 42);

  // Once cycling, a live Direction is evaluated each step and stored.
  s.channels[kRed].Morphing = 0;
  s.channels[kRed].ChangeTime = 0xFFFFFFFFu;
  AnimateStep(s);
  EXPECT_EQ(s.settings.values[kDirection][kRed].Value, 34);
}

TEST_F(AnimateStepTest, DueChannelStartsAMorphFromItsOldColoursToANewEffect) {
  PaletteState& s = IdleState();
  SetAll(s, kDirection, 0);
  ChannelAnimation& green = s.channels[kGreen];
  green.Current.fill(123);
  green.ChangeTime = clock_.TickCount();
  s.StepsSinceChange = 100;
  AnimateStep(s);  // not yet: the deadline must be passed
  EXPECT_EQ(green.Morphing, 0);

  clock_.Advance(1);
  AnimateStep(s);
  EXPECT_EQ(green.Morphing, 1);
  EXPECT_TRUE(std::all_of(green.Previous.begin(), green.Previous.end(),
                          [](uint8_t v) { return v == 123; }));
  EXPECT_EQ(green.MorphStep, s.settings.values[kMorphRate][kGreen].Value);
  EXPECT_EQ(green.MorphPos, green.MorphStep);
  EXPECT_EQ(s.StepsSinceChange, 1);
  EXPECT_EQ(green.ChangeTime, clock_.TickCount() + 16000u);
  // The first morph frame is the old colours at 255/256.
  EXPECT_EQ(green.Current[0], 123 * 255 / 256);
  // The red and blue channels are not due.
  EXPECT_EQ(s.channels[kRed].Morphing, 0);

  // No new change starts while the morph runs, even when due again.
  green.ChangeTime = 0;
  const auto next = green.Next;
  clock_.Advance(1);
  AnimateStep(s);
  EXPECT_EQ(green.Next, next);

  // The morph ends after ceil(256 / step) frames, then cycling resumes.
  int frames = 2;
  green.ChangeTime = 0xFFFFFFFFu;
  while (green.Morphing && frames < 1000) {
    AnimateStep(s);
    ++frames;
  }
  EXPECT_EQ(frames, (256 + green.MorphStep - 1) / green.MorphStep);
}

TEST_F(AnimateStepTest, ColoursReachTheScreenPaletteAndThePresentedFrame) {
  gfx::Screen screen(16, 15);
  gfx::Canvas dc(screen);
  PaletteState& s = CustomCycling(IdleState(), 1);
  s.dc = &dc;
  // Every saver index on the surface once.
  for (int k = 0; k < kPaletteEntries; ++k) {
    screen.surface().row(k / 16)[k % 16] = static_cast<uint8_t>(gfx::kFirstSaverEntry + k);
  }
  screen.Publish();

  // Long after the last effect change the palette still moves: this screen
  // has a palette.
  for (int i = 0; i < 300; ++i) AnimateStep(s);
  ASSERT_EQ(s.Animate, 1);
  AnimateStep(s);
  for (int k = 0; k < kPaletteEntries; ++k) {
    ASSERT_EQ(screen.Entry(gfx::kFirstSaverEntry + k), s.entries[k].Color()) << k;
  }
  std::vector<uint32_t> pixels(16 * 15);
  screen.Present(pixels.data(), 16 * 4);
  for (int k = 0; k < kPaletteEntries; ++k) {
    const gfx::Rgb c = s.entries[k].Color();
    ASSERT_EQ(pixels[k], (uint32_t{c.red} << 16) | (uint32_t{c.green} << 8) | c.blue) << k;
  }
  // The colours cycled: entry 0 shows what entry 1 showed a step before.
  const gfx::Rgb second = s.entries[1].Color();
  AnimateStep(s);
  EXPECT_EQ(screen.Entry(gfx::kFirstSaverEntry), second);
}

TEST_F(AnimateStepTest, AnimateOffSkipsTheStepUntilTheNextChange) {
  PaletteState& s = CustomCycling(IdleState(), 1);
  s.Animate = 0;
  s.channels[kRed].Current.fill(50);
  AnimateStep(s);
  EXPECT_EQ(s.entries[0].red, 0);  // nothing handed over
  EXPECT_EQ(s.channels[kRed].Counter, 0);
  s.channels[kRed].ChangeTime = 0;
  clock_.Advance(1);
  AnimateStep(s);
  EXPECT_EQ(s.Animate, 1);
}

TEST_F(AnimateStepTest, ForceNewEffectsSchedulesAllChannelsHalfASecondAhead) {
  PaletteState& s = IdleState();
  clock_.Set(40000);
  ForceNewEffects(s);
  for (const ChannelAnimation& a : s.channels) EXPECT_EQ(a.ChangeTime, 40500u);
  clock_.Advance(500);
  AnimateStep(s);
  EXPECT_EQ(s.channels[kRed].Morphing, 0);
  clock_.Advance(1);
  AnimateStep(s);
  for (const ChannelAnimation& a : s.channels) EXPECT_EQ(a.Morphing, 1);
}

TEST_F(RandomEventsTest, EventZeroFiresEverySecondStep) {
  PaletteState& s = IdleState();
  SetAll(s, kEvent, 0);
  SetAll(s, kDirection, 2);
  std::vector<int32_t> counters;
  int events = 0;
  for (int step = 0; step < 20; ++step) {
    const int32_t direction = s.settings.values[kDirection][kRed].Value;
    const int32_t counter = s.channels[kRed].Counter;
    RandomEvents(s);
    const bool fired = s.settings.values[kDirection][kRed].Value != direction ||
                       s.channels[kRed].Counter != counter;
    counters.push_back(s.channels[kRed].EventCounter);
    if (step % 2 == 1) {
      EXPECT_EQ(s.channels[kRed].EventCounter, 0) << step;
    } else {
      EXPECT_EQ(s.channels[kRed].EventCounter, 1) << step;
      EXPECT_FALSE(fired) << step;
    }
    events += fired;
  }
  // A jump can land on the same position; almost all events show.
  EXPECT_GE(events, 8);
}

TEST_F(RandomEventsTest, EventReversesOrJumpsByOneDraw) {
  PaletteState& s = IdleState();
  SetAll(s, kEvent, -5);  // negative: an event every step
  SetAll(s, kDirection, 3);
  SeedRandom(777);
  ModelRandom model(777);
  int32_t direction[3] = {3, 3, 3};
  for (int step = 0; step < 30; ++step) {
    RandomEvents(s);
    for (int c = 0; c < kChannels; ++c) {
      if (model.Next() % 2 == 0) {
        direction[c] = -direction[c];
      } else {
        ASSERT_EQ(s.channels[c].Counter, model.Next() % 2048) << step;
      }
      ASSERT_EQ(s.settings.values[kDirection][c].Value, direction[c]) << step;
    }
  }
}

TEST_F(RandomEventsTest, EventRate3000NeverFires) {
  PaletteState& s = CustomCycling(IdleState(), 1);
  SetAll(s, kEvent, 3000);
  SetAll(s, kSeconds, 300);
  PaletteThreadBegin(s);
  const int32_t direction = s.settings.values[kDirection][kRed].Value;
  for (int step = 0; step < 5000; ++step) PaletteThreadStep(s);
  for (int c = 0; c < kChannels; ++c) {
    EXPECT_EQ(s.channels[c].EventCounter, 5000);
    EXPECT_EQ(s.settings.values[kDirection][c].Value, direction);
  }
}

}  // namespace
}  // namespace lumox
