// The sound player stand-in (tools/soundfeed) as the saver sees it.
#include <gtest/gtest.h>

#include "control/controls.h"
#include "control/sound_link.h"
#include "publisher.h"

namespace soundfeed {
namespace {

namespace off = lumox::share_offset;

// What the stand-in publishes, the saver reads at the documented full scale.
TEST(Publisher, TheSaverReadsFullScaleLevelsAsOne) {
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
  EXPECT_FLOAT_EQ(lumox::ReadSoundLevel(lumox::kSourceLeft), 1.0f);
  EXPECT_NEAR(lumox::ReadSoundLevel(lumox::kSourceRight), 1.0f, 1e-6f);  // 0.5 / (1 - 0.5)
  PublishInfo(share, {"Title", "Artist", "1:23"});
  PublishInfo(share, {"Title", "Artist", "1:33"});
  EXPECT_EQ(share.U32(off::InfoSerial), 2u);
  EXPECT_EQ(share.Text(off::InfoText2, lumox::kInfoTextSize) + share.Text(off::InfoText1, 64) +
                share.Text(off::InfoText3, 64), "TitleArtist1:33");
  RetirePlayer(share);
  EXPECT_EQ(share.U32(off::PlayerActive), 0u);
  lumox::SetCurrentSoundShare(nullptr);
}

}  // namespace
}  // namespace soundfeed
