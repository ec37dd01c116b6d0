// Shared set-up for the palette tests: a manual clock, a fixed seed, and a
// palette state at its defaults with every channel idle.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>

#include "base/random.h"
#include "palette/palette.h"
#include "palette/palette_thread.h"
#include "platform/clock.h"
#include "state/module_control.h"
#include "state/palette_state.h"

namespace lumox {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

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
  // Idle, with levels from the custom colours red k, green 100 + k / 2,
  // blue 235 - k, cycling by `direction`.
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
    v.Sense = 10;
    v.RangeLo = 0;
    v.RangeHi = 100;
    v.Smoothed = 0.5f;
  }

  ManualClock clock_{100000};
  std::unique_ptr<PaletteState> state_;
};

}  // namespace lumox
