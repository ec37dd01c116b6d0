// The sound player stand-in's analysis and publishing (tools/soundfeed).
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "band_analysis.h"
#include "control/controls.h"
#include "control/sound_link.h"
#include "level_meter.h"
#include "publisher.h"

namespace soundfeed {
namespace {

namespace off = lumox::share_offset;

constexpr int kRate = 44100;

std::vector<float> Sine(float hz, float amplitude, int frames, int rate = kRate) {
  std::vector<float> samples(frames);
  for (int i = 0; i < frames; ++i)
    samples[i] = amplitude * static_cast<float>(std::sin(2.0 * M_PI * hz * i / rate));
  return samples;
}

// A sine shows at its amplitude in its own band and channel only.
TEST(LevelMeter, ChannelsAndBandsStaySeparate) {
  LevelMeter meter(kRate);
  const std::vector<float> left = Sine(1000.0f, 0.8f, 4410), right = Sine(8000.0f, 0.2f, 4410);
  StereoLevels levels;
  for (int block = 0; block < 5; ++block)  // several blocks fill the window
    levels = meter.Push(left.data() + block * 882, right.data() + block * 882, 882);
  EXPECT_NEAR(levels.left, 0.8f, 0.02f);
  EXPECT_NEAR(levels.right, 0.2f, 0.01f);
  EXPECT_NEAR(levels.leftBands[4], 0.8f, 0.08f);
  EXPECT_NEAR(levels.rightBands[12], 0.2f, 0.02f);
  for (int band = 0; band < kBands; ++band) {
    EXPECT_LT(levels.leftBands[band], band == 4 ? 1.0f : 0.03f) << band;
    EXPECT_LT(levels.rightBands[band], band == 12 ? 1.0f : 0.03f) << band;
  }
}

TEST(Publisher, TheSaverReadsAFullScaleSineAsOne) {
  lumox::SoundShareBytes bytes;
  lumox::SoundShare share(bytes.bytes);
  lumox::SetCurrentSoundShare(&share);
  AnnouncePlayer(share);
  StereoLevels levels;
  levels.left = levels.leftBands[9] = levels.rightBands[9] = 1.0f;
  levels.right = 0.5f;
  PublishLevels(share, levels);
  EXPECT_EQ(share.U32(off::PlayerActive), 1u);
  EXPECT_EQ(share.U16(off::PlayerVersionMajor), kPlayerVersionMajor);
  EXPECT_FLOAT_EQ(lumox::ReadSoundLevel(lumox::kSourceLeft), 1.0f);
  EXPECT_FLOAT_EQ(lumox::ReadSoundLevel(lumox::kSourceVolume), 0.75f);
  EXPECT_FLOAT_EQ(lumox::ReadSoundLevel(lumox::kSourceFirstBand + 9), 1.0f);
  share.SetU32(off::AutoGain, 1);
  lumox::ResetLevelTrackers();
  EXPECT_FLOAT_EQ(lumox::ReadSoundLevel(lumox::kSourceRight), 1.0f);  // first read
  EXPECT_FLOAT_EQ(lumox::ReadSoundLevel(lumox::kSourceLeft), 1.0f);
  EXPECT_NEAR(lumox::ReadSoundLevel(lumox::kSourceRight), 1.0f, 1e-6f);  // 0.5 / (1 - 0.5)
  PublishInfo(share, {"Title", "Artist", "1:23"});
  PublishInfo(share, {"Title", "Artist", "1:33"});
  EXPECT_EQ(share.U32(off::InfoSerial), 2u);
  EXPECT_EQ(share.Text(off::InfoText2, lumox::kInfoTextSize) + share.Text(off::InfoText1, 64) +
                share.Text(off::InfoText3, 64), "TitleArtist1:33");
  for (const auto& [key, gain] : {std::pair{0u, 1.0f}, {5u, 0.5f}, {20u, 2.0f}, {999u, 1.0f}}) {
    share.SetU32(off::KeyLevel, key);
    EXPECT_FLOAT_EQ(KeyLevelGain(share), gain) << key;
  }
  RetirePlayer(share);
  EXPECT_EQ(share.U32(off::PlayerActive), 0u);
  lumox::SetCurrentSoundShare(nullptr);
}

}  // namespace
}  // namespace soundfeed
