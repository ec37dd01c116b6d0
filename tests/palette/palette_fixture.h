// Shared set-up for the palette tests: a manual clock, a fixed seed, and an
// independent model of the process-wide random generator to compute
// expectations with.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "base/random.h"
#include "palette/palette.h"
#include "state/palette_state.h"
#include "platform/clock.h"

namespace lumox {

// The generator's rule, written out again so that expectations do not
// come from the code under test.
class ModelRandom {
 public:
  explicit ModelRandom(uint32_t seed) : state_(seed) {}
  int32_t Next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int32_t>((state_ >> 16) & 0x7FFF);
  }

 private:
  uint32_t state_;
};

class PaletteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallClock(&clock_);
    SeedRandom(kSeed);
  }
  void TearDown() override { InstallClock(nullptr); }

  // A state with the defaults, no device context, and every channel idle:
  // no effect change due, no morph, levels 0.
  PaletteState& IdleState() {
    state_ = std::make_unique<PaletteState>();
    SetPaletteDefaults(*state_);
    for (ChannelAnimation& channel : state_->channels) channel.ChangeTime = 0xFFFFFFFFu;
    return *state_;
  }

  // Sets a parameter of all three channels to a fixed value.
  static void SetAll(PaletteState& state, PaletteParameter parameter, int32_t value) {
    for (PaletteValue& v : state.settings.values[parameter]) {
      v.Source = 0;
      v.Value = value;
    }
  }

  static constexpr uint32_t kSeed = 20261206;
  ManualClock clock_{100000};
  std::unique_ptr<PaletteState> state_;
};

}  // namespace lumox
