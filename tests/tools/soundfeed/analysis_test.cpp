// The analysis and the player's automatic gain against their documented
// behaviour, and the capture thread's retries.
#include <atomic>
#include <cmath>
#include <complex>
#include <random>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "auto_gain.h"
#include "capture_thread.h"
#include "fft.h"
#include "level_meter.h"

namespace soundfeed {
namespace {

std::vector<float> Sine(float hz, float amplitude, int rate, int frames) {
  std::vector<float> samples(frames);
  for (int i = 0; i < frames; ++i)
    samples[i] = amplitude * static_cast<float>(std::sin(2.0 * M_PI * hz * i / rate));
  return samples;
}

TEST(Fft, MatchesTheDefiningSum) {
  constexpr int kSize = 64;
  std::mt19937 random(7);
  std::uniform_real_distribution<float> value(-1.0f, 1.0f);
  std::vector<std::complex<float>> data(kSize);
  for (auto& x : data) x = {value(random), value(random)};
  const std::vector<std::complex<float>> input = data;
  Fft(kSize).Transform(data.data());
  for (int k = 0; k < kSize; ++k) {
    std::complex<double> sum;
    for (int n = 0; n < kSize; ++n)
      sum += std::complex<double>(input[n]) * std::polar(1.0, -2.0 * M_PI * k * n / kSize);
    EXPECT_NEAR(data[k].real(), sum.real(), 1e-4) << k;
    EXPECT_NEAR(data[k].imag(), sum.imag(), 1e-4) << k;
  }
}

// A sine of amplitude A reads A as a channel level and in the band holding
// its frequency, and hardly anything in the other bands or the other channel.
TEST(LevelMeter, ASineLightsItsOwnBandOnItsOwnChannel) {
  constexpr float kAmplitude = 0.3f;
  for (const int rate : {44100, 48000}) {
    for (int band = 0; band < kBands; ++band) {
      const std::vector<float> left = Sine(kBandCentres[band], kAmplitude, rate, 4096);
      const std::vector<float> right(left.size(), 0.0f);
      LevelMeter meter(rate);
      const StereoLevels levels = meter.Push(left.data(), right.data(), 4096);
      SCOPED_TRACE(testing::Message() << rate << " Hz, band " << band);
      EXPECT_NEAR(levels.left, kAmplitude, 0.01f);
      EXPECT_EQ(levels.right, 0.0f);
      EXPECT_NEAR(levels.leftBands[band], kAmplitude, 0.03f);
      for (int other = 0; other < kBands; ++other) {
        EXPECT_EQ(levels.rightBands[other], 0.0f);
        if (other == band) continue;
        EXPECT_LT(levels.leftBands[other], 0.05f * kAmplitude) << other;
      }
    }
  }
}

StereoLevels Steady(float level) {
  StereoLevels levels;
  levels.left = levels.right = level;
  levels.leftBands[4] = levels.rightBands[4] = level;
  return levels;
}

// Runs `seconds` of updates at 50 a second; the last published levels.
StereoLevels Feed(AutoGain& gain, float level, float seconds) {
  StereoLevels levels;
  for (int i = 0; i < static_cast<int>(seconds * 50); ++i) {
    levels = Steady(level);
    gain.Apply(levels, 0.02f);
  }
  return levels;
}

TEST(AutoGain, QuietAndLoudMusicBothMoveThePicture) {
  for (const float level : {0.05f, 0.2f, 0.9f}) {
    AutoGain gain;
    const StereoLevels out = Feed(gain, level, 3.0f);
    EXPECT_NEAR(out.left, AutoGain::kTarget, 0.05f) << level;
    EXPECT_EQ(out.left, out.leftBands[4]) << "bands keep their proportion";
  }
  // Near-silence is lifted only so far.
  AutoGain hiss;
  EXPECT_LE(Feed(hiss, 1e-4f, 10.0f).left, 1e-4f * AutoGain::kHighestGain * 1.0001f);
}

TEST(AutoGain, AQuietPassageAfterALoudOneRisesSlowly) {
  AutoGain gain;
  Feed(gain, 0.8f, 2.0f);
  const float justAfter = Feed(gain, 0.1f, 0.5f).left;
  EXPECT_LT(justAfter, 0.2f) << "a loud peak is remembered for a while";
  const float later = Feed(gain, 0.1f, 20.0f).left;
  EXPECT_NEAR(later, AutoGain::kTarget, 0.05f);
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
