#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <thread>
#include <vector>

#include "base/truncate.h"
#include "control/control_fixture.h"
#include "control/controls.h"

namespace lumox {
namespace {

namespace off = share_offset;

using EvaluateControlTest = BlockTest;

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

std::vector<int32_t> Oscillation(float state, float sense, float lo, float hi, int count) {
  std::vector<int32_t> values;
  for (int i = 0; i < count; ++i)
    values.push_back(TruncateToInt(EvaluateControl(kSourceOscillate, state, sense, lo, hi)));
  return values;
}

TEST_F(EvaluateControlTest, OscillationStartsHalfWayAndCyclesIn400OverSenseSteps) {
  float state = 0.5f, mirrored = 0.5f;
  const float phases[] = {0.525f, 0.55f, 0.575f, 0.6f};
  const int32_t values[] = {42, 34, 27, 20}, reversed[] = {57, 65, 72, 79};
  for (int i = 0; i < 4; ++i) {
    const float value = EvaluateControl(kSourceOscillate, state, 10.0f, 0.0f, 100.0f);
    const float mirror = EvaluateControl(kSourceOscillate, mirrored, 10.0f, 100.0f, 0.0f);
    EXPECT_FLOAT_EQ(state, phases[i]);
    EXPECT_EQ(TruncateToInt(value), values[i]);
    EXPECT_EQ(TruncateToInt(mirror), reversed[i]);
    EXPECT_FLOAT_EQ(mirror, 100.0f - value);
  }
  for (const auto& [sense, period] : {std::pair{10.0f, 40}, std::pair{1.0f, 400}}) {
    const std::vector<int32_t> cycle = Oscillation(0.5f, sense, 0.0f, 100.0f, 2 * period);
    EXPECT_TRUE(std::equal(cycle.begin(), cycle.begin() + period, cycle.begin() + period));
    const auto [low, high] = std::minmax_element(cycle.begin(), cycle.begin() + period);
    EXPECT_EQ(*low, 0);
    EXPECT_EQ(*high, 99) << sense;
  }
  EXPECT_EQ(Oscillation(0.5f, 10.0f, 33.0f, 33.0f, 3), (std::vector<int32_t>{33, 33, 33}));
  // After days of running the phase is large; it must keep moving (one step
  // lost to rounding, then the usual cycle).
  const std::vector<int32_t> late = Oscillation(600000.5f, 10.0f, 0.0f, 100.0f, 41);
  EXPECT_EQ(late[0], 49);
  EXPECT_EQ(std::vector<int32_t>(late.begin() + 1, late.end()), Oscillation(0.5f, 10, 0, 100, 40));
}

TEST_F(EvaluateControlTest, SoundMovesTheStateBySenseTenthsTowardTheLevel) {
  SetUnitScales();
  struct Case { float left, right, state, sense, lo, hi; int32_t source; float value, newState; };
  const Case cases[] = {
      {0.25f, 0.75f, 0.5f, 10, 20, 60, kSourceVolume, 40, 0.5f},  // at once
      {0.25f, 0.75f, 0.5f, 10, 20, 60, kSourceLeft, 30, 0.25f},
      {0.25f, 0.75f, 0.5f, 10, 20, 60, kSourceRight, 50, 0.75f},
      {1, 1, 0.0f, 1, 0, 100, kSourceVolume, 10, 0.1f},  // a tenth of the way, then 19 %
      {1, 1, 0.1f, 1, 0, 100, kSourceVolume, 19, 0.19f},
      {0, 0, 0.5f, 10, 100, 0, kSourceVolume, 100, 1.0f},  // reversed: silence is RangeLo
      {1, 1, 0.5f, 10, 100, 0, kSourceVolume, 0, 0.0f},
      {0.2f, 0.2f, 0.5f, 10, 100, 0, kSourceVolume, 80, 0.8f},
      {0.2f, 0.2f, 0.5f, 10, 50, 50, kSourceVolume, 50, 0.8f},  // equal ends: t is 1 - m
  };
  for (const Case& c : cases) {
    SetLevels(c.left, c.right);
    float state = c.state;
    EXPECT_FLOAT_EQ(EvaluateControl(c.source, state, c.sense, c.lo, c.hi), c.value)
        << c.source << " " << c.left << " " << c.sense << " " << c.lo;
    EXPECT_FLOAT_EQ(state, c.newState);
  }
}

TEST_F(EvaluateControlTest, LevelsWithoutAutoGainAreDividedByTheFullScalesUnlimited) {
  share.SetF32(off::LevelFullScale, 200.0f);
  share.SetF32(off::BandFullScale, 50.0f);
  share.SetU32(off::LevelDivisor, 7);  // only with AutoGain
  SetLevels(100.0f, 300.0f);
  share.SetLeftBand(4, 40.0f);
  share.SetRightBand(4, 80.0f);
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceVolume), 1.0f);
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceLeft), 0.5f);
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceRight), 1.5f);
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceFirstBand + 4), 1.2f);
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceFirstBand + 5), 0.0f);
}

TEST_F(EvaluateControlTest, AutoGainTracksPeakAndFloorForChannelsAndBandsApart) {
  share.SetU32(off::AutoGain, 1);
  share.SetU32(off::LevelDivisor, 10);
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

TEST_F(EvaluateControlTest, SlowCpuMakesEverySoundSourceReadVolume) {
  SetUnitScales();
  SetLevels(0.2f, 0.6f);
  for (int b = 0; b < kBandCount; ++b) share.SetLeftBand(b, 0.9f);
  for (uint32_t slow : {0u, 1u}) {
    share.SetU32(off::SlowCPU, slow);
    for (int source : {int{kSourceLeft}, kSourceFirstBand + 12, int{kSourceLastBand}}) {
      float state = 0.3f, volumeState = 0.3f;
      const float value = EvaluateControl(source, state, 4.0f, 0.0f, 100.0f);
      const float volume = EvaluateControl(kSourceVolume, volumeState, 4.0f, 0.0f, 100.0f);
      EXPECT_EQ(value == volume, slow == 1) << source;
    }
  }
}

TEST_F(EvaluateControlTest, AbsurdLevelsScalesSensesStatesAndSourcesGiveFiniteValues) {
  for (uint32_t autoGain : {0u, 1u}) {
    share.SetU32(off::AutoGain, autoGain);
    for (float level : {kNaN, kInf, -kInf, 3e38f, -3e38f}) {
      ResetLevelTrackers();
      SetLevels(level, level);
      for (int b = 0; b < kBandCount; ++b) share.SetRightBand(b, level);
      for (float scale : {0.0f, kNaN, 1e-38f}) {  // zero, as a fresh block has them
        share.SetF32(off::LevelFullScale, scale);
        share.SetF32(off::BandFullScale, scale);
        for (int source = -1; source <= kSourceCount; ++source) {
          for (float sense : {10.0f, kNaN, -kInf, 3e38f}) {
            float state = source == 5 ? kNaN : 0.5f;
            const float value = EvaluateControl(source, state, sense, -1000.0f, 1000.0f);
            ASSERT_TRUE(std::isfinite(value) && std::isfinite(state)) << source << " " << level;
          }
          ASSERT_TRUE(std::isfinite(ReadSoundLevel(source)));
        }
      }
    }
  }
  for (int source : {-5, 0, 1, 22, INT32_MIN, INT32_MAX}) EXPECT_EQ(ReadSoundLevel(source), 0.0f);
  // Sane levels give the documented results again; a NaN state starts afresh.
  share.SetU32(off::AutoGain, 0);
  SetUnitScales();
  SetLevels(0.5f, 0.5f);
  float state = kNaN;
  EXPECT_FLOAT_EQ(EvaluateControl(kSourceVolume, state, 10.0f, 0.0f, 100.0f), 50.0f);
}

TEST_F(EvaluateControlTest, RenderAndPaletteThreadsEvaluateWhileThePlayerWrites) {
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
    for (int i = 0; i < 20000; ++i) {
      const float value = EvaluateControl(3 + (firstSource + i) % 19, state, 5, 33, 33);
      inRange += value == 33.0f;  // equal range ends always yield that value
    }
  };
  std::thread render(evaluator, 0), palette(evaluator, 7);
  render.join();
  palette.join();
  playing = false;
  player.join();
  EXPECT_EQ(inRange, 40000);
  EXPECT_GT(ChannelTracker().peak, 0.0f);
}

TEST_F(EvaluateControlTest, LivenessNeedsThePlayerAndTheRightSwitch) {
  struct Case { uint32_t player, modules, palette; };
  for (const Case c : {Case{0, 1, 1}, Case{1, 0, 1}, Case{1, 1, 0}, Case{1, 1, 1}}) {
    share.SetU32(off::PlayerActive, c.player);
    share.SetU32(off::ModuleSoundEnabled, c.modules);
    share.SetU32(off::PaletteSoundEnabled, c.palette);
    for (int source = -1; source <= kSourceCount; ++source) {
      const bool sound = source >= kSourceVolume && source <= kSourceLastBand;
      EXPECT_EQ(IsControlLive(source), source == 2 || (sound && c.player && c.modules)) << source;
      EXPECT_EQ(IsPaletteSourceLive(source), source == 2 || (sound && c.player && c.palette));
    }
  }
}

}  // namespace
}  // namespace lumox
