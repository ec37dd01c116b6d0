// Palette values come from the registry without range checks, and a sound
// level without automatic gain has no upper bound. Whatever they hold, the
// palette must not crash, hang, spin or index outside its tables (the
// sanitizer builds run these too).
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "gfx/canvas.h"
#include "gfx/screen.h"
#include "palette/palette_thread.h"
#include "palette_fixture.h"

namespace lumox {
namespace {

using BadPaletteInput = PaletteTest;

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

TEST_F(BadPaletteInput, AbsurdValuesOfEveryParameterAndEffectRunSafely) {
  const int32_t values[] = {kMin, -1000000, -237, -1, 0, 1, 237, 3000, 1000000, kMax};
  gfx::Screen screen(8, 8);
  gfx::Canvas dc(screen);
  for (int p = 0; p < kPaletteParameters; ++p) {
    for (int32_t value : values) {
      PaletteState* s = CreatePaletteState(&dc);
      for (int c = 0; c < kChannels; ++c) {
        // -9..7: every effect and some that do not exist.
        s->settings.Effect[c] = static_cast<int32_t>((p + c + int64_t{value}) % 9) - 1;
        PaletteValue& v = s->settings.values[p][c];
        v.Source = 0;
        v.Value = value;
      }
      PaletteThreadBegin(*s);
      for (int step = 0; step < 60; ++step) {
        PaletteThreadStep(*s);
        clock_.Advance(PaletteStepInterval(*s) * 10);
      }
      const uint32_t interval = PaletteStepInterval(*s);
      EXPECT_GE(interval, 10u);
      EXPECT_LE(interval, 1000u);
      for (int c = 0; c < kChannels; ++c) {
        EXPECT_GE(s->channels[c].Duration, 0) << p << " " << value;
        EXPECT_GE(s->channels[c].Offset, 0);
        EXPECT_LT(s->channels[c].Offset, kPaletteEntries);
      }
      EXPECT_EQ(screen.Entry(gfx::kFirstSaverEntry + 7), s->entries[7].Color());
      ReleasePaletteState(s);
    }
  }
}

TEST_F(BadPaletteInput, AbsurdRangesAndSourcesForRandomAndLiveParameters) {
  const int32_t sources[] = {kMin, -1, 1, 2, 3, 21, 22, 1000, kMax};
  const int32_t ranges[][2] = {{kMin, kMax}, {kMax, kMin}, {0, 0}, {-5, 5}, {kMax, kMax}};
  for (int32_t source : sources) {
    for (const auto& range : ranges) {
      PaletteState& s = IdleState();
      for (auto& row : s.settings.values) {
        for (PaletteValue& v : row) {
          v.Source = source;
          v.RangeLo = range[0];
          v.RangeHi = range[1];
          v.Sense = range[1];
        }
      }
      PaletteThreadBegin(s);
      for (int step = 0; step < 40; ++step) {
        PaletteThreadStep(s);
        clock_.Advance(50);
      }
      // A Random draw stays within its range, however wide.
      if (source == 1) {
        const int64_t lo = std::min(range[0], range[1]);
        const int64_t hi = std::max(range[0], range[1]);
        const int32_t density = s.settings.values[kDensity][kRed].Value;
        EXPECT_GE(density, lo);
        EXPECT_LE(density, hi);
      }
    }
  }
}

TEST_F(BadPaletteInput, MorphRateBelowOneStillEndsTheMorph) {
  for (int32_t rate : {0, -1, -64, kMin}) {
    PaletteState& s = IdleState();
    SetAll(s, kMorphRate, rate);
    s.channels[kRed].ChangeTime = 0;
    clock_.Advance(1);
    AnimateStep(s);
    EXPECT_EQ(s.channels[kRed].MorphStep, 1) << rate;
    int steps = 1;
    while (s.channels[kRed].Morphing && steps < 10000) {
      AnimateStep(s);
      ++steps;
    }
    EXPECT_EQ(steps, 256) << rate;
  }
  // A huge rate completes the morph in one step without overflowing.
  PaletteState& s = IdleState();
  SetAll(s, kMorphRate, kMax);
  s.channels[kRed].ChangeTime = 0;
  clock_.Advance(1);
  AnimateStep(s);
  EXPECT_EQ(s.channels[kRed].Morphing, 0);
}

TEST_F(BadPaletteInput, CycleRateIsLimitedSoTheThreadNeitherSpinsNorStalls) {
  PaletteState& s = IdleState();
  const struct { int32_t rate; uint32_t interval; } cases[] = {
      {30, 30}, {10, 10}, {200, 200}, {0, 10}, {-1, 10}, {kMin, 10}, {9, 10}, {5000, 1000},
      {kMax, 1000}};
  for (const auto& c : cases) {
    SetAll(s, kCycleRate, c.rate);
    EXPECT_EQ(PaletteStepInterval(s), c.interval) << c.rate;
  }
  // Only the red copy counts.
  s.settings.values[kCycleRate][kGreen].Value = 0;
  s.settings.values[kCycleRate][kRed].Value = 45;
  EXPECT_EQ(PaletteStepInterval(s), 45u);
}

TEST_F(BadPaletteInput, SecondsOutsideTheRangeGiveASaneDuration) {
  const struct { int32_t seconds; int32_t duration; } cases[] = {
      {0, 0}, {-3, 0}, {kMin, 0}, {300, 300000}, {kMax, kMax}, {3000000, kMax}};
  for (const auto& c : cases) {
    PaletteState& s = IdleState();
    SetAll(s, kSeconds, c.seconds);
    NewChannelEffect(s, kRed);
    EXPECT_EQ(s.channels[kRed].Duration, c.duration) << c.seconds;
  }
}

TEST_F(BadPaletteInput, ReversingTheMostNegativeDirectionDoesNotOverflow) {
  PaletteState& s = IdleState();
  SetAll(s, kEvent, -1);
  SetAll(s, kDirection, kMin);
  // Each call is an event for every channel: reversal or jump, by one draw.
  bool reversed = false;
  for (int i = 0; i < 20 && !reversed; ++i) {
    RandomEvents(s);
    reversed = s.settings.values[kDirection][kRed].Value != kMin;
  }
  ASSERT_TRUE(reversed);
  EXPECT_EQ(s.settings.values[kDirection][kRed].Value, kMax);
}

TEST_F(BadPaletteInput, CountersWrapInsteadOfOverflowing) {
  PaletteState& s = IdleState();
  ChannelAnimation& red = s.channels[kRed];
  red.Counter = kMax;
  red.EventCounter = kMax;
  SetAll(s, kEvent, kMax);
  GenerateEntry(s, kRed, 0);
  EXPECT_EQ(red.Counter, kMin);
  RandomEvents(s);
  EXPECT_EQ(red.EventCounter, kMin);
  GenerateEntry(s, kRed, 1);  // a negative position still reads the table
  EXPECT_EQ(red.Counter, kMin + 1);
}

}  // namespace
}  // namespace lumox
