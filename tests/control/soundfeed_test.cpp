// The sound player stand-in's analysis and publishing (tools/soundfeed).
#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "audio_source.h"
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

TEST(BandMapping, ASineShowsAtItsAmplitudeInItsOwnBandOnlyAtAnyRate) {
  EXPECT_EQ(BandOfFrequency(50.0f), -1);
  EXPECT_EQ(BandOfFrequency(22000.0f), -1);
  EXPECT_EQ(BandOfFrequency(489.0f), 1);  // just below sqrt(400 x 600)
  EXPECT_EQ(BandOfFrequency(491.0f), 2);
  for (int rate : {kRate, 22050}) {
    SpectrumAnalyzer analyzer(rate, rate == kRate ? 2048 : 1024);
    for (int band = 0; band < kBands && kBandCentres[band] < rate / 2; ++band) {
      EXPECT_EQ(BandOfFrequency(kBandCentres[band]), band);
      const std::vector<float> sine = Sine(kBandCentres[band], 0.5f, analyzer.size(), rate);
      const BandLevels levels = analyzer.Analyze(sine.data());
      for (int other = 0; other < kBands; ++other)
        EXPECT_NEAR(levels[other], other == band ? 0.5f : 0.0f, other == band ? 0.05f : 0.03f)
            << rate << " band " << band << " in " << other;
    }
  }
}

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
  EXPECT_LT(levels.leftBands[12] + levels.rightBands[4], 0.04f);
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

TEST(AudioSource, AMonoFilePlaysOnBothSides) {
  char path[] = "/tmp/soundfeed-test-XXXXXX.wav";
  close(mkstemps(path, 4));
  SF_INFO info{0, 22050, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0};
  SNDFILE* file = sf_open(path, SFM_WRITE, &info);
  ASSERT_NE(file, nullptr);
  const std::vector<float> tone = Sine(440.0f, 0.5f, 22050, 22050);
  sf_writef_float(file, tone.data(), 22050);
  sf_close(file);
  std::string error;
  auto source = OpenSoundFile(path, error);
  ASSERT_NE(source, nullptr) << error;
  EXPECT_EQ(source->sampleRate(), 22050);
  std::vector<float> left(30000), right(30000);
  EXPECT_EQ(source->Read(left.data(), right.data(), 30000), 22050);
  EXPECT_EQ(left, right);
  EXPECT_NEAR(left[100], tone[100], 1e-4f);
  EXPECT_EQ(source->Read(left.data(), right.data(), 100), 0);
  std::remove(path);
  EXPECT_EQ(OpenSoundFile("/nonexistent/file.wav", error), nullptr);
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace soundfeed
