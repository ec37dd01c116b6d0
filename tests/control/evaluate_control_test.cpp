#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <thread>
#include <utility>
#include <vector>

#include "base/truncate.h"
#include "control/controls.h"
#include "control/control_fixture.h"
#include "state/module_control.h"

namespace lumox {
namespace {

namespace off = share_offset;

using EvaluateControlTest = BlockTest;

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

std::vector<float> Oscillation(float state, float sense, float lo, float hi, int count) {
  std::vector<float> values;
  for (int i = 0; i < count; ++i)
    values.push_back(EvaluateControl(kSourceOscillate, state, sense, lo, hi));
  return values;
}

TEST_F(EvaluateControlTest, OscillateStepsThroughTheTableFromHalfWay) {
  float state = 0.5f;
  const int expectedIndex[] = {1075, 1126, 1177, 1228};
  const float expectedPhase[] = {0.525f, 0.55f, 0.575f, 0.6f};
  const int expectedValue[] = {42, 34, 27, 20};
  // A reversed range mirrors the oscillation.
  const std::vector<float> reversed = Oscillation(0.5f, 10.0f, 100.0f, 0.0f, 4);
  const int expectedReversed[] = {57, 65, 72, 79};
  for (int i = 0; i < 4; ++i) {
    const float value = EvaluateControl(kSourceOscillate, state, 10.0f, 0.0f, 100.0f);
    EXPECT_FLOAT_EQ(state, expectedPhase[i]);
    EXPECT_EQ(static_cast<int>(state * 2048.0f) & 2047, expectedIndex[i]);
    EXPECT_EQ(TruncateToInt(value), expectedValue[i]);
    EXPECT_FLOAT_EQ(reversed[i], 100.0f - value);
    EXPECT_EQ(TruncateToInt(reversed[i]), expectedReversed[i]);
  }
}

TEST_F(EvaluateControlTest, OneCycleTakesFourHundredOverSenseSteps) {
  for (const auto& [sense, period] : {std::pair{10.0f, 40}, std::pair{1.0f, 400}}) {
    const std::vector<float> values = Oscillation(0.5f, sense, 0.0f, 100.0f, 3 * period);
    for (int i = 0; i + period < static_cast<int>(values.size()); ++i)
      ASSERT_EQ(TruncateToInt(values[i]), TruncateToInt(values[i + period]))
          << "sense " << sense << " step " << i;
    // And it really moves through the range within one cycle.
    const auto [low, high] = std::minmax_element(values.begin(), values.begin() + period);
    EXPECT_LT(*low, 1.0f);
    EXPECT_GT(*high, 99.0f);
  }
}

TEST_F(EvaluateControlTest, OscillationKeepsMovingAfterAVeryLongRun) {
  // A phase this large has a float step of 1/16: an accumulating phase
  // would stop moving, freezing the control after days of running. The
  // first step is lost to that rounding; from then on the cycle is the
  // usual one, one step late.
  const std::vector<float> late = Oscillation(600000.5f, 10.0f, 0.0f, 100.0f, 41);
  const std::vector<float> early = Oscillation(0.5f, 10.0f, 0.0f, 100.0f, 40);
  EXPECT_EQ(TruncateToInt(late[0]), 49);  // the table's half-way point
  for (int i = 0; i < 40; ++i)
    EXPECT_EQ(TruncateToInt(late[i + 1]), TruncateToInt(early[i])) << "step " << i;
}

TEST_F(EvaluateControlTest, SoundMovesTheStateBySenseTenthsTowardTheLevel) {
  SetUnitScales();
  struct Case {
    float left, right, state, sense, lo, hi;
    int32_t source;
    float value, newState;
  };
  const Case cases[] = {
      {0.25f, 0.75f, 0.5f, 10.0f, 20.0f, 60.0f, kSourceVolume, 40.0f, 0.5f},  // at once
      {0.25f, 0.75f, 0.5f, 10.0f, 20.0f, 60.0f, kSourceLeft, 30.0f, 0.25f},
      {0.25f, 0.75f, 0.5f, 10.0f, 20.0f, 60.0f, kSourceRight, 50.0f, 0.75f},
      {1.0f, 1.0f, 0.0f, 1.0f, 0.0f, 100.0f, kSourceVolume, 10.0f, 0.1f},  // a tenth of the way
      {1.0f, 1.0f, 0.1f, 1.0f, 0.0f, 100.0f, kSourceVolume, 19.0f, 0.19f},
      // A reversed range still maps silence to RangeLo (the state mirrored).
      {0.0f, 0.0f, 0.5f, 10.0f, 100.0f, 0.0f, kSourceVolume, 100.0f, 1.0f},
      {1.0f, 1.0f, 0.5f, 10.0f, 100.0f, 0.0f, kSourceVolume, 0.0f, 0.0f},
      {0.2f, 0.2f, 0.5f, 10.0f, 100.0f, 0.0f, kSourceVolume, 80.0f, 0.8f},
  };
  for (const Case& c : cases) {
    SetLevels(c.left, c.right);
    float state = c.state;
    EXPECT_FLOAT_EQ(EvaluateControl(c.source, state, c.sense, c.lo, c.hi), c.value)
        << c.source << " " << c.left << " " << c.sense;
    EXPECT_FLOAT_EQ(state, c.newState);
  }
}

TEST_F(EvaluateControlTest, LevelsWithoutAutoGainUseTheFullScalesUnlimited) {
  share.SetF32(off::LevelFullScale, 200.0f);
  share.SetF32(off::BandFullScale, 50.0f);
  share.SetU32(off::LevelDivisor, 7);  // not used without AutoGain
  SetLevels(100.0f, 300.0f);
  share.SetLeftBand(4, 40.0f);
  share.SetRightBand(4, 80.0f);
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceVolume), 1.0f);
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceLeft), 0.5f);
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceRight), 1.5f);
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceFirstBand + 4), 1.2f);
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceFirstBand + 5), 0.0f);
}

TEST_F(EvaluateControlTest, AutoGainTracksPeakAndFloorPerKind) {
  share.SetU32(off::AutoGain, 1);
  share.SetU32(off::LevelDivisor, 10);
  // The first nonzero level is both peak and floor: full scale.
  SetLevels(4.0f, 4.0f);
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceVolume), 1.0f);
  SetLevels(8.0f, 8.0f);  // peak 0.8, floor 0.4
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceVolume), 1.0f);
  SetLevels(0.0f, 6.0f);  // Right 0.6 / (0.8 - 0.4), limited to 1; Left 0 lowers the floor
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceRight), 1.0f);
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceLeft), 0.0f);
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceRight), 0.75f);

  // The bands have their own tracker: a zero read first yields 0.
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceFirstBand), 0.0f);
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
  share.SetLeftBand(12, 0.9f);
  share.SetRightBand(12, 0.9f);
  const int eightKHz = kSourceFirstBand + 12;
  for (uint32_t slow : {0u, 1u}) {
    share.SetU32(off::SlowCPU, slow);
    float bandState = 0.3f, volumeState = 0.3f;
    for (int i = 0; i < 5; ++i) {
      const float band = EvaluateControl(eightKHz, bandState, 4.0f, 0.0f, 100.0f);
      const float volume = EvaluateControl(kSourceVolume, volumeState, 4.0f, 0.0f, 100.0f);
      if (slow)
        EXPECT_EQ(band, volume);
      else
        EXPECT_GT(band, volume);
    }
  }
}

TEST_F(EvaluateControlTest, EqualRangeEndsAlwaysYieldThatValue) {
  SetUnitScales();
  SetLevels(0.3f, 0.9f);
  for (int b = 0; b < kBandCount; ++b) share.SetLeftBand(b, 0.1f * b);
  for (uint32_t autoGain : {0u, 1u}) {
    share.SetU32(off::AutoGain, autoGain);
    for (int source = kSourceOscillate; source <= kSourceLastBand; ++source) {
      float state = 0.5f;
      for (int i = 0; i < 10; ++i)
        ASSERT_EQ(EvaluateControl(source, state, 7.0f, 33.0f, 33.0f), 33.0f)
            << "source " << source << " autogain " << autoGain;
    }
  }
}

TEST_F(EvaluateControlTest, AbsurdLevelsGiveFiniteValuesAndRecover) {
  const float absurd[] = {kNaN, kInf, -kInf, 3e38f, -3e38f};
  for (uint32_t autoGain : {0u, 1u}) {
    share.SetU32(off::AutoGain, autoGain);
    for (float level : absurd) {
      ResetLevelTrackers();
      SetLevels(level, level);
      for (int b = 0; b < kBandCount; ++b) {
        share.SetLeftBand(b, level);
        share.SetRightBand(b, level);
      }
      // Zero divisors as a fresh block has them, then absurd ones.
      for (float scale : {0.0f, kNaN, 1e-38f}) {
        share.SetF32(off::LevelFullScale, scale);
        share.SetF32(off::BandFullScale, scale);
        for (int source = kSourceVolume; source <= kSourceLastBand; ++source) {
          float state = 0.5f;
          const float value = EvaluateControl(source, state, 10.0f, -1000.0f, 1000.0f);
          ASSERT_TRUE(std::isfinite(value)) << "source " << source << " level " << level;
          ASSERT_TRUE(std::isfinite(state));
          ASSERT_TRUE(std::isfinite(ReadSoundLevel(source)));
        }
      }
    }
  }
  // Sane levels give the documented results again.
  share.SetU32(off::AutoGain, 0);
  SetUnitScales();
  SetLevels(0.5f, 0.5f);
  float state = kNaN;
  EXPECT_FLOAT_EQ(EvaluateControl(kSourceVolume, state, 10.0f, 0.0f, 100.0f), 50.0f);
}

TEST_F(EvaluateControlTest, AbsurdStateSenseAndSourceStayDefined) {
  SetUnitScales();
  SetLevels(1.0f, 1.0f);
  for (float sense : {kNaN, kInf, -kInf, 3e38f, -3e38f, -7.0f}) {
    for (int source : {kSourceOscillate, kSourceVolume, kSourceLastBand}) {
      float state = 0.5f;
      for (int i = 0; i < 50; ++i) {
        const float value = EvaluateControl(source, state, sense, 0.0f, 100.0f);
        ASSERT_TRUE(std::isfinite(value) && std::isfinite(state)) << sense << " " << source;
      }
    }
  }
  for (int source : {-5, 0, 1, 22, 1000, INT32_MIN, INT32_MAX}) {
    EXPECT_EQ(ReadSoundLevel(source), 0.0f) << source;
    float state = 0.5f;
    EXPECT_TRUE(std::isfinite(EvaluateControl(source, state, 10.0f, 0.0f, 100.0f)));
  }
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
  auto evaluator = [](int firstSource) {
    float state = 0.5f;
    for (int i = 0; i < 20000; ++i) {
      const int source = kSourceVolume + (firstSource + i) % 19;
      const float value = EvaluateControl(source, state, 5.0f, 0.0f, 100.0f);
      if (!std::isfinite(value)) return false;
    }
    return true;
  };
  bool renderOk = false, paletteOk = false;
  std::thread render([&] { renderOk = evaluator(0); });
  std::thread palette([&] { paletteOk = evaluator(7); });
  render.join();
  palette.join();
  playing = false;
  player.join();
  EXPECT_TRUE(renderOk);
  EXPECT_TRUE(paletteOk);
  EXPECT_GT(ChannelTracker().peak, 0.0f);
}

TEST(TruncateToInt, TowardZeroAndSaturating) {
  EXPECT_EQ(TruncateToInt(-3.7f), -3);
  EXPECT_EQ(TruncateToInt(3.7f), 3);
  EXPECT_EQ(TruncateToInt(-0.9f), 0);
  EXPECT_EQ(TruncateToInt(kNaN), 0);
  EXPECT_EQ(TruncateToInt(kInf), INT32_MAX);
  EXPECT_EQ(TruncateToInt(-kInf), INT32_MIN);
  EXPECT_EQ(TruncateToInt(2147483648.0f), INT32_MAX);
  EXPECT_EQ(TruncateToInt(-2147483648.0f), INT32_MIN);
  EXPECT_EQ(TruncateToInt(2147483520.0f), 2147483520);  // largest float below 2^31
}

TEST_F(EvaluateControlTest, LivenessNeedsThePlayerAndTheRightSwitch) {
  struct Case {
    uint32_t player, modules, palette;
  };
  for (const Case c : {Case{0, 1, 1}, Case{1, 0, 1}, Case{1, 1, 0}, Case{1, 1, 1}}) {
    share.SetU32(off::PlayerActive, c.player);
    share.SetU32(off::ModuleSoundEnabled, c.modules);
    share.SetU32(off::PaletteSoundEnabled, c.palette);
    for (int source = -1; source <= kSourceCount; ++source) {
      const bool sound = source >= kSourceVolume && source <= kSourceLastBand;
      EXPECT_EQ(IsControlLive(source),
                source == kSourceOscillate || (sound && c.player && c.modules))
          << source;
      EXPECT_EQ(IsPaletteSourceLive(source),
                source == kSourceOscillate || (sound && c.player && c.palette))
          << source;
    }
  }
}

}  // namespace
}  // namespace lumox
