// Control values: the oscillator, the sound levels the player publishes, and
// the module-side randomising, evaluation and repair of stored controls.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <cmath>
#include <numbers>
#include <limits>
#include <set>
#include <thread>
#include <vector>

#include "base/truncate.h"
#include "control/controls.h"
#include "control/oscillator_table.h"
#include "control/sound_link.h"
#include "control/sound_share.h"
#include "state/module.h"

namespace lumox {
namespace {

namespace off = share_offset;

// A private shared block made current for one test, with the level
// trackers back at their initial values.
class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCurrentSoundShare(&share);
    ResetLevelTrackers();
  }
  void TearDown() override { SetCurrentSoundShare(nullptr); }
  void SetLevels(float left, float right, float fullScale = 1.0f) {
    share.SetF32(off::LeftLevel, left);
    share.SetF32(off::RightLevel, right);
    share.SetF32(off::LevelFullScale, fullScale);
    share.SetF32(off::BandFullScale, fullScale);
  }
  SoundShareBytes bytes;
  SoundShare share{bytes.bytes};
};

std::vector<int32_t> Oscillation(float state, float sense, float lo, float hi, int count) {
  std::vector<int32_t> values;
  for (int i = 0; i < count; ++i)
    values.push_back(TruncateToInt(EvaluateControl(kSourceOscillate, state, sense, lo, hi)));
  return values;
}

TEST_F(ControlsTest, OscillationStartsHalfWayAndCyclesIn400OverSenseSteps) {
  EXPECT_EQ(Oscillation(0.5f, 10.0f, 0.0f, 100.0f, 4), (std::vector<int32_t>{42, 34, 27, 20}));
  EXPECT_EQ(Oscillation(0.5f, 10.0f, 100.0f, 0.0f, 4), (std::vector<int32_t>{57, 65, 72, 79}));
  for (const auto& [sense, period] : {std::pair{10.0f, 40}, std::pair{1.0f, 400}}) {
    const std::vector<int32_t> cycle = Oscillation(0.5f, sense, 0.0f, 100.0f, 2 * period);
    EXPECT_TRUE(std::equal(cycle.begin(), cycle.begin() + period, cycle.begin() + period));
    EXPECT_EQ(*std::max_element(cycle.begin(), cycle.end()), 99) << sense;
    EXPECT_EQ(*std::min_element(cycle.begin(), cycle.end()), 0) << sense;
  }
  EXPECT_EQ(Oscillation(0.5f, 10.0f, 33.0f, 33.0f, 3), (std::vector<int32_t>{33, 33, 33}));
  // Each step reads the next entry of the table: 0.525 of a cycle is entry 1075.
  float state = 0.5f;
  const float value = EvaluateControl(kSourceOscillate, state, 10.0f, 0.0f, 2 * 16383.0f);
  EXPECT_NEAR(value, 16383 + OscillatorTable[1075], 0.5f);
  // After days of running the phase is large; it must keep moving (one step
  // lost to rounding, then the usual cycle).
  const std::vector<int32_t> late = Oscillation(600000.5f, 10.0f, 0.0f, 100.0f, 41);
  EXPECT_EQ(late[0], 49);
  EXPECT_EQ(std::vector<int32_t>(late.begin() + 1, late.end()), Oscillation(0.5f, 10, 0, 100, 40));
}

// Sense 10 follows the level at once, Sense 1 moves a tenth of the way; a
// reversed range maps silence to RangeLo.
TEST_F(ControlsTest, SoundMovesTheStateBySenseTenthsTowardTheLevel) {
  struct Case { float left, right, state, sense, lo, hi; int32_t source; float value, newState; };
  const Case cases[] = {
      {0.25f, 0.75f, 0.5f, 10, 20, 60, kSourceVolume, 40, 0.5f},
      {0.25f, 0.75f, 0.5f, 10, 20, 60, kSourceLeft, 30, 0.25f},
      {0.25f, 0.75f, 0.5f, 10, 20, 60, kSourceRight, 50, 0.75f},
      {1, 1, 0.0f, 1, 0, 100, kSourceVolume, 10, 0.1f},
      {1, 1, 0.1f, 1, 0, 100, kSourceVolume, 19, 0.19f},
      {0, 0, 0.5f, 10, 100, 0, kSourceVolume, 100, 1.0f},
      {0.2f, 0.2f, 0.5f, 10, 100, 0, kSourceVolume, 80, 0.8f},
      {0.2f, 0.2f, 0.5f, 10, 50, 50, kSourceVolume, 50, 0.8f},  // equal ends: t is 1 - m
      {0.5f, 0.5f, NAN, 10, 0, 100, kSourceVolume, 50, 0.5f},   // a NaN state starts afresh
  };
  for (const Case& c : cases) {
    SetLevels(c.left, c.right);
    float state = c.state;
    EXPECT_FLOAT_EQ(EvaluateControl(c.source, state, c.sense, c.lo, c.hi), c.value)
        << c.source << " " << c.left << " " << c.sense << " " << c.lo;
    EXPECT_FLOAT_EQ(state, c.newState);
  }
  // With SlowCPU set every sound source reads Volume.
  SetLevels(0.2f, 0.6f);
  for (int b = 0; b < kBandCount; ++b) share.SetLeftBand(b, 0.9f);
  for (uint32_t slow : {0u, 1u}) {
    share.SetU32(off::SlowCPU, slow);
    for (int source : {int{kSourceLeft}, kSourceFirstBand + 12, int{kSourceLastBand}}) {
      float state = 0.0f;  // Sense 10 over 0..1 gives the level itself
      const float level = EvaluateControl(source, state, 10.0f, 0.0f, 1.0f);
      EXPECT_EQ(level == ReadSoundLevel(kSourceVolume), slow == 1) << source;
    }
  }
}

TEST_F(ControlsTest, LevelsAreDividedByTheFullScalesOrNormalisedByAutoGain) {
  SetLevels(100.0f, 300.0f, 200.0f);
  share.SetF32(off::BandFullScale, 50.0f);
  share.SetU32(off::LevelDivisor, 10);  // only with AutoGain
  share.SetLeftBand(4, 40.0f);
  share.SetRightBand(4, 80.0f);
  for (const auto& [source, level] : {std::pair{kSourceVolume + 0, 1.0f}, {kSourceLeft + 0, 0.5f},
                                      {kSourceRight + 0, 1.5f}, {kSourceFirstBand + 4, 1.2f},
                                      {kSourceFirstBand + 5, 0.0f}})
    EXPECT_FLOAT_EQ(ReadSoundLevel(source), level) << source;
  // AutoGain divides by the divisor, then by the span from the lowest to the
  // highest level so far, at most 1; channels and bands are tracked apart.
  share.SetU32(off::AutoGain, 1);
  SetLevels(4.0f, 4.0f);  // the first nonzero level is peak and floor: full
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceVolume), 1.0f);
  SetLevels(8.0f, 8.0f);  // peak 0.8, floor 0.4
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceVolume), 1.0f);
  SetLevels(0.0f, 6.0f);  // 0.6 / 0.4, limited to 1; then Left 0 lowers the floor
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceRight), 1.0f);
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceLeft), 0.0f);
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceRight), 0.75f);
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceFirstBand), 0.0f);  // a zero read first yields 0
  share.SetLeftBand(15, 3.0f);
  share.SetRightBand(15, 1.0f);
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceLastBand), 1.0f);
  share.SetLeftBand(15, 1.0f);
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceLastBand), 0.5f);
  EXPECT_FLOAT_EQ(ChannelTracker().peak, 0.8f);
}

TEST_F(ControlsTest, AbsurdLevelsScalesSensesStatesAndSourcesGiveFiniteValues) {
  const float inf = std::numeric_limits<float>::infinity();
  for (uint32_t autoGain : {0u, 1u}) {
    share.SetU32(off::AutoGain, autoGain);
    for (float level : {NAN, inf, -inf, 3e38f, -3e38f}) {
      ResetLevelTrackers();
      for (float scale : {0.0f, NAN, 1e-38f}) {  // zero, as a fresh block has them
        SetLevels(level, level, scale);
        for (int b = 0; b < kBandCount; ++b) share.SetRightBand(b, level);
        for (int source = -1; source <= kSourceCount; ++source) {
          for (float sense : {10.0f, NAN, -inf, 3e38f}) {
            float state = source == 5 ? NAN : 0.5f;
            const float value = EvaluateControl(source, state, sense, -1000.0f, 1000.0f);
            ASSERT_TRUE(std::isfinite(value) && std::isfinite(state)) << source << " " << level;
          }
          ASSERT_TRUE(std::isfinite(ReadSoundLevel(source)));
        }
      }
    }
  }
  for (int source : {-5, 0, 1, 22, INT32_MIN, INT32_MAX}) EXPECT_EQ(ReadSoundLevel(source), 0.0f);
}

TEST_F(ControlsTest, RenderAndPaletteThreadsEvaluateWhileThePlayerWrites) {
  share.SetU32(off::AutoGain, 1);
  share.SetU32(off::LevelDivisor, 100);
  std::atomic<bool> playing{true};
  std::thread player([&] {
    for (int i = 0; playing; ++i) {
      SetLevels(static_cast<float>(i % 97), static_cast<float>(i % 89));
      share.SetLeftBand(i % kBandCount, static_cast<float>(i % 53));
    }
  });
  std::atomic<int> inRange{0};
  auto evaluator = [&](int firstSource) {
    float state = 0.5f;
    for (int i = 0; i < 20000; ++i)  // equal range ends always yield that value
      inRange += EvaluateControl(3 + (firstSource + i) % 19, state, 5, 33, 33) == 33.0f;
  };
  std::thread render(evaluator, 0), palette(evaluator, 7);
  render.join();
  palette.join();
  playing = false;
  player.join();
  EXPECT_EQ(inRange, 40000);
}

TEST_F(ControlsTest, LivenessNeedsThePlayerAndTheRightSwitch) {
  for (const auto& [player, modules, palette] : {std::array{0u, 1u, 1u}, {1u, 0u, 1u},
                                                 {1u, 1u, 0u}, {1u, 1u, 1u}}) {
    share.SetU32(off::PlayerActive, player);
    share.SetU32(off::ModuleSoundEnabled, modules);
    share.SetU32(off::PaletteSoundEnabled, palette);
    for (int source = -1; source <= kSourceCount; ++source) {
      const bool sound = source >= kSourceVolume && source <= kSourceLastBand;
      EXPECT_EQ(IsControlLive(source), source == 2 || (sound && player && modules)) << source;
      EXPECT_EQ(IsPaletteSourceLive(source), source == 2 || (sound && player && palette));
    }
  }
}

TEST_F(ControlsTest, RandomizeDrawsTheRangeAndEvaluateReplacesOnlyLiveSources) {
  ModuleDescriptor module;
  module.controls[0] = DefinedControl(0, 4, 0, 20);
  // A range given either way round, and a span beyond int32.
  module.controls[1] = {.Source = kSourceRandom, .RangeLo = 15, .RangeHi = 5};
  module.controls[2] = {.Source = kSourceOscillate, .RangeLo = INT32_MIN, .RangeHi = INT32_MAX};
  std::set<int32_t> seen;
  for (int i = 0; i < 500; ++i) {
    RandomizeControls(module);
    ASSERT_EQ(module.controls[0].Value, 4);
    seen.insert(module.controls[1].Value);
  }
  EXPECT_EQ(seen, (std::set<int32_t>{5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
  module.controls[1].Value = 3;
  module.controls[2] = {.Source = kSourceOscillate, .Value = 3, .RangeHi = 100};
  module.controls[3] = {.Source = kSourceVolume, .Value = 3, .RangeLo = -100};
  SetLevels(0.375f, 0.375f);
  EvaluateControls(module);
  const std::array<int32_t, 4> values = {module.controls[0].Value, module.controls[1].Value,
                                         module.controls[2].Value, module.controls[3].Value};
  EXPECT_EQ(values, (std::array<int32_t, 4>{4, 3, 42, -62}));  // -62.5 truncated toward zero
}

TEST_F(ControlsTest, ValidateRepairsValuesAndRangesOutsideTheLimits) {
  // Default, minimum, maximum; value and range as loaded; as repaired.
  const int32_t cases[][9] = {{4, 0, 20, 50, 21, -1, 4, 0, 20},
                              {4, 0, 20, -1, 20, 0, 4, 20, 0},
                              {4, 0, 20, 0, 0, 20, 0, 0, 20},  // the limits themselves are kept
                              {4, 0, 20, 20, 20, 0, 20, 20, 0},
                              {-5, -10, -1, INT32_MIN, -10, INT32_MAX, -5, -10, -1}};
  for (const auto& c : cases) {
    ModuleDescriptor module;
    ModuleControl& control = module.controls[0] = DefinedControl(0, c[0], c[1], c[2]);
    control.Value = c[3];
    control.RangeLo = c[4];
    control.RangeHi = c[5];
    ValidateControls(module);
    EXPECT_EQ((std::array{control.Value, control.RangeLo, control.RangeHi}),
              (std::array{c[6], c[7], c[8]})) << c[3];
  }
  const std::pair<int, const char*> names[] = {{kSourceSet, "Set"}, {kSourceVolume, "Volume"},
      {kSourceFirstBand + 12, "8KHz"}, {kSourceLastBand, "18KHz"}, {-1, ""}, {kSourceCount, ""}};
  for (const auto& [source, name] : names) EXPECT_STREQ(ControlSourceName(source), name);
}

TEST(OscillatorTable, IsTheRoundedSineShiftedByOneStep) {
  for (int k = 0; k < kOscillatorTableSize; ++k)
    ASSERT_EQ(OscillatorTable[k], std::lround(16382.0L * std::sin(std::numbers::pi_v<long double> * (k + 1) / 1024.0L))) << k;
}

}  // namespace
}  // namespace lumox
