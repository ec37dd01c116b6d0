#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "gfx/canvas.h"
#include "gfx/screen.h"
#include "palette_fixture.h"

namespace lumox {
namespace {

using AnimateStepTest = PaletteTest;
using RandomEventsTest = PaletteTest;

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
      int expected = from;
      if (from >= kPaletteEntries) expected = (10 + from - kPaletteEntries) % kPaletteEntries;
      if (from < 0) expected = (10 - from - 1) % kPaletteEntries;
      ASSERT_EQ(red.Current[k], expected) << direction << " entry " << k;
    }
    EXPECT_EQ(red.Counter, 10 + std::abs(d)) << direction;
  }
}

// A due channel cross-fades from its old levels into the new effect's,
// weighing them by 255 - pos and pos over 256, pos rising by MorphRate.
TEST_F(AnimateStepTest, ADueChannelMorphsFromItsOldColoursIntoItsNewEffect) {
  PaletteState& s = CustomState(3);  // cycling by 3, but not while morphing
  s.settings.Effect[kGreen] = kEffectCustom;
  SetAll(s, kMorphRate, 9);
  ChannelAnimation& green = s.channels[kGreen];
  green.ChangeTime = clock_.TickCount();
  s.StepsSinceChange = 100;
  AnimateStep(s);  // not yet: the deadline must be passed
  EXPECT_EQ(green.Morphing * 1000 + s.StepsSinceChange, 0 + 101);
  green.Current.fill(200);
  clock_.Advance(1);
  AnimateStep(s);
  EXPECT_EQ(green.Morphing * 1000 + s.StepsSinceChange, 1000 + 1);
  EXPECT_EQ(green.Next[50], 100 + 50 / 2);  // the new row, from the custom colours
  EXPECT_EQ(green.ChangeTime, clock_.TickCount() + 16000u);
  EXPECT_EQ(s.channels[kRed].Morphing, 0);  // red and blue are not due
  EXPECT_EQ(green.Current[0], 200 * 255 / 256);
  green.ChangeTime = 0;  // due again, but no new change while morphing
  clock_.Advance(1);
  AnimateStep(s);
  EXPECT_EQ(green.Current[0], (200 * 246 + 100 * 9) / 256);
  green.ChangeTime = 0xFFFFFFFFu;
  int frames = 2;
  for (; green.Morphing && frames < 100; ++frames) AnimateStep(s);
  EXPECT_EQ(frames, 29);  // the last position is 252
  AnimateStep(s);  // cycling resumes from where the morph stopped
  EXPECT_EQ(green.Current[1], (200 * 3 + 102 * 252) / 256);
  // The very last position 255 stops short of Next: 255 x 255 / 256.
  green.Previous.fill(0);
  green.Next.fill(255);
  green.Morphing = 1;
  green.MorphPos = 255;
  AnimateStep(s);
  EXPECT_EQ(green.Current[7] * 10 + green.Morphing, 2540);
  // A forced change comes half a second later, for every channel.
  ForceNewEffects(s);
  clock_.Advance(500);
  AnimateStep(s);
  EXPECT_EQ(s.channels[kRed].Morphing, 0);
  clock_.Advance(1);
  AnimateStep(s);
  EXPECT_EQ(s.channels[kBlue].Morphing, 1);
}

TEST_F(AnimateStepTest, ScaleIsPerChannelAndLiveScaleAndMorphRateAreNotStored) {
  gfx::Screen screen(16, 15);
  gfx::Canvas dc(screen);
  PaletteState& s = CustomState(0);
  s.dc = &dc;
  for (ChannelAnimation& a : s.channels) a.Current.fill(200);
  s.settings.values[kScale][kRed].Value = 50;
  s.settings.values[kScale][kGreen].Value = 0;   // removes the channel
  s.settings.values[kScale][kBlue].Value = 150;  // saturates, does not wrap
  AnimateStep(s);
  for (const PaletteEntry& e : s.entries) ASSERT_EQ(e.Color(), (gfx::Rgb{100, 0, 255}));
  EXPECT_EQ(screen.Entry(gfx::kFirstSaverEntry + 235), (gfx::Rgb{100, 0, 255}));
  s.settings.values[kScale][kRed].Value = -20;
  AnimateStep(s);
  EXPECT_EQ(s.entries[0].red, 0);

  // Live: the new effect evaluates every parameter once and stores 42; the
  // morph step and the scale are evaluated again (34) but not stored.
  for (int p : {kScale, kDirection, kMorphRate}) Oscillate(s.settings.values[p][kRed]);
  s.channels[kRed].ChangeTime = 0;
  clock_.Advance(1);
  AnimateStep(s);
  EXPECT_EQ(s.channels[kRed].MorphPos, 34);
  EXPECT_EQ(s.entries[0].red, 200 * 255 / 256 * 34 / 100);
  for (int p : {kScale, kDirection, kMorphRate}) EXPECT_EQ(s.settings.values[p][kRed].Value, 42);
  // While cycling, a live Direction is evaluated each step and stored.
  s.channels[kRed].Morphing = 0;
  s.channels[kRed].ChangeTime = 0xFFFFFFFFu;
  AnimateStep(s);
  EXPECT_EQ(s.settings.values[kDirection][kRed].Value, 34);
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

}  // namespace
}  // namespace lumox
