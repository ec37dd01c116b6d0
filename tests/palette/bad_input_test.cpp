// Palette values come from the registry without range checks, and a sound
// level without automatic gain has no upper bound. Whatever they hold, the
// palette must not crash, hang, spin or index outside its tables (the
// sanitizer builds run these too).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <utility>

#include "gfx/canvas.h"
#include "gfx/screen.h"
#include "palette_fixture.h"

namespace lumox {
namespace {

using BadPaletteInput = PaletteTest;

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
      for (int step = 0; step < 40; ++step) {
        PaletteThreadStep(*s);
        clock_.Advance(PaletteStepInterval(*s) * 10);
      }
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
    density.RangeLo = lo;
    density.RangeHi = hi;
    for (int i = 0; i < 20; ++i) {
      NewChannelEffect(s, kRed);
      ASSERT_TRUE(density.Value >= std::min(lo, hi) && density.Value <= std::max(lo, hi));
    }
  }
  // A morph takes at least one step (MorphRate 256 or more) and at most 256 (0 or less).
  for (const auto& [rate, steps] :
       {std::pair{0, 256}, {kMin, 256}, {kMax, 1}, {256, 1}, {255, 2}}) {
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
}

TEST_F(BadPaletteInput, ReversingAndCountingWrapOrSaturateInsteadOfOverflowing) {
  PaletteState& s = IdleState();
  SetAll(s, kEvent, -1);  // an event every step for every channel
  SetAll(s, kDirection, kMin);
  for (int i = 0; i < 20 && s.settings.values[kDirection][kRed].Value == kMin; ++i) RandomEvents(s);
  EXPECT_EQ(s.settings.values[kDirection][kRed].Value, kMax);
  ChannelAnimation& red = s.channels[kRed];
  red.Counter = red.EventCounter = kMax;
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
