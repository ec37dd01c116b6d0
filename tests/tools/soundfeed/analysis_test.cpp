// The analysis and the player's automatic gain against their documented
// behaviour, and the capture thread's retries.
#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "auto_gain.h"
#include "capture_thread.h"
#include "level_meter.h"

namespace soundfeed {
namespace {

// A sine of amplitude A reads A as a channel level and in the band holding
// its frequency, and hardly anything in the other bands or the other channel.
TEST(LevelMeter, ASineLightsItsOwnBandOnItsOwnChannel) {
  constexpr float kAmplitude = 0.3f;
  for (const int rate : {44100, 48000}) {
    for (int band = 0; band < kBands; ++band) {
      std::vector<float> left(4096), right(4096, 0.0f);
      for (int i = 0; i < 4096; ++i)
        left[i] = kAmplitude * static_cast<float>(std::sin(2.0 * M_PI * kBandCentres[band] * i / rate));
      LevelMeter meter(rate);
      const StereoLevels levels = meter.Push(left.data(), right.data(), 4096);
      SCOPED_TRACE(testing::Message() << rate << " Hz, band " << band);
      EXPECT_NEAR(levels.left, kAmplitude, 0.01f);
      EXPECT_EQ(levels.right, 0.0f);
      EXPECT_NEAR(levels.leftBands[band], kAmplitude, 0.03f);
      for (int other = 0; other < kBands; ++other) {
        EXPECT_LT(levels.rightBands[other], 1e-6f);  // no crosstalk
        if (other == band) continue;
        EXPECT_LT(levels.leftBands[other], 0.05f * kAmplitude) << other;
      }
    }
  }
}

// Runs `seconds` of steady levels at 50 updates a second; the last output.
StereoLevels Feed(AutoGain& gain, float level, float seconds) {
  StereoLevels levels;
  for (int i = 0; i < static_cast<int>(seconds * 50); ++i) {
    levels = {level, level, {}, {}};
    levels.leftBands[4] = level;
    gain.Apply(levels, 0.02f);
  }
  return levels;
}

TEST(AutoGain, QuietAndLoudMusicBothMoveThePictureAndTheGainMovesGently) {
  for (const float level : {0.05f, 0.2f, 0.9f}) {
    AutoGain gain;
    const StereoLevels out = Feed(gain, level, 3.0f);
    EXPECT_NEAR(out.left, AutoGain::kTarget, 0.05f) << level;
    EXPECT_EQ(out.left, out.leftBands[4]) << "bands keep their proportion";
  }
  // Near-silence is lifted only so far.
  AutoGain hiss;
  EXPECT_LE(Feed(hiss, 1e-4f, 10.0f).left, 1e-4f * AutoGain::kHighestGain * 1.0001f);

  // A quiet passage after a loud one rises slowly.
  AutoGain gain;
  Feed(gain, 0.8f, 2.0f);
  EXPECT_LT(Feed(gain, 0.1f, 0.5f).left, 0.2f) << "a loud peak is remembered for a while";
  EXPECT_NEAR(Feed(gain, 0.1f, 20.0f).left, AutoGain::kTarget, 0.05f);
  // And a loud burst after the quiet passage is brought down at once.
  EXPECT_LE(Feed(gain, 0.9f, 0.02f).left, AutoGain::kTarget * 1.0001f);
}

class FailingDevice final : public CaptureDevice {
 public:
  int sampleRate() const override { return 48000; }
  bool Read(std::vector<float>&, std::vector<float>&, std::string& error) override {
    error = "gone";
    return false;
  }
  TrackInfo NowPlaying() override { return {}; }
};

// Neither a refused connection nor a device that fails at once makes the
// thread spin: attempts come a few times a second at most.
TEST(CaptureThread, RetriesWithAPauseNotABusyLoop) {
  for (const bool opens : {false, true}) {
    std::atomic<int> attempts{0};
    {
      CaptureThread thread(
          [&](std::string& error) -> std::unique_ptr<CaptureDevice> {
            ++attempts;
            if (opens) return std::make_unique<FailingDevice>();
            error = "refused";
            return nullptr;
          },
          /*quiet=*/true);
      std::this_thread::sleep_for(std::chrono::milliseconds(1500));
      std::vector<float> left, right;
      EXPECT_EQ(thread.Take(left, right), 0);
      EXPECT_TRUE(left.empty());
    }
    EXPECT_GE(attempts.load(), 2) << opens;
    EXPECT_LE(attempts.load(), 4) << opens;
  }
}

}  // namespace
}  // namespace soundfeed
