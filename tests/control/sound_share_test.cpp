#include "control/sound_share.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

namespace lumox {
namespace {

namespace off = share_offset;

// Every word the saver reads or writes: its name and its wire offset.
constexpr std::pair<size_t, size_t> kWords[] = {
    {off::BlockSize, 0x000},        {off::LayoutVersion, 0x004},
    {off::LeftLevel, 0x00C},        {off::RightLevel, 0x010},
    {off::LevelFullScale, 0x014},   {off::LevelDivisor, 0x018},
    {off::KeyLevel, 0x01C},         {off::BandFullScale, 0x020},
    {off::InfoSerial, 0x1AC},       {off::LayoutMismatchCode, 0x1C8},
    {off::LayoutMismatch, 0x1CC},   {off::SaverWindows, 0x1D0},
    {off::PaletteUsesSound, 0x1D4}, {off::SaverUsesSound, 0x1D8},
    {off::PaletteSoundEnabled, 0x1DC}, {off::ModuleSoundEnabled, 0x1E0},
    {off::FullScreenSaver, 0x1E4},  {off::AutoGain, 0x1E8},
    {off::SlowCPU, 0x1F2},          {off::PlayerActive, 0x1F6},
    {off::SaverClients, 0x1FA},     {off::RestartRequest, 0x302},
    {off::CaptureRequest, 0x306},   {off::LauncherClosed, 0x30A}};

bool OnlyTheseBytesSet(const SoundShareBytes& block, size_t offset, size_t size) {
  for (size_t i = 0; i < kSoundShareSize; ++i) {
    const bool inside = i >= offset && i < offset + size;
    if (!inside && block.bytes[i] != 0) return false;
  }
  return true;
}

TEST(SoundShare, WordFieldsLandLittleEndianAtTheirOffsets) {
  for (const auto& [name, wire] : kWords) {
    SoundShareBytes block;
    SoundShare share(block.bytes);
    ASSERT_EQ(name, wire);
    share.SetU32(name, 0x44332211u);
    const uint8_t expected[4] = {0x11, 0x22, 0x33, 0x44};
    EXPECT_EQ(std::memcmp(block.bytes + wire, expected, 4), 0) << "field at " << wire;
    EXPECT_TRUE(OnlyTheseBytesSet(block, wire, 4)) << "field at " << wire;
    EXPECT_EQ(share.U32(name), 0x44332211u);
  }
}

TEST(SoundShare, HalfWordsFloatsAndBands) {
  SoundShareBytes block;
  SoundShare share(block.bytes);
  share.SetU16(off::PlayerVersionMajor, 0x0102);
  share.SetU16(off::PlayerVersionMinor, 0x0304);
  share.SetU16(off::SaverVersionMajor, 3);
  share.SetU16(off::SaverVersionMinor, 5);
  const uint8_t versions[8] = {0x02, 0x01, 0x04, 0x03, 3, 0, 5, 0};
  EXPECT_EQ(std::memcmp(block.bytes + 0x1B8, versions, 8), 0);

  share.SetF32(off::LeftLevel, 1.0f);  // 0x3F800000
  EXPECT_EQ(block.bytes[0x00F], 0x3F);
  EXPECT_EQ(block.bytes[0x00E], 0x80);
  share.SetLeftBand(15, -2.0f);   // 0xC0000000, last left band
  share.SetRightBand(0, 0.5f);    // 0x3F000000, first right band
  EXPECT_EQ(block.bytes[0x064 + 15 * 4 + 3], 0xC0);
  EXPECT_EQ(block.bytes[0x0A4 + 3], 0x3F);
  EXPECT_EQ(share.LeftBand(15), -2.0f);
  EXPECT_EQ(share.RightBand(0), 0.5f);
  // Band numbers outside 0..15 neither read nor write.
  share.SetLeftBand(16, 9.0f);
  share.SetRightBand(-1, 9.0f);
  EXPECT_EQ(share.LeftBand(16), 0.0f);
  EXPECT_EQ(block.bytes[0x0A4 - 1], 0xC0);  // still the left band 15
  EXPECT_EQ(block.bytes[0x0E4], 0);
}

TEST(SoundShare, FieldsPastTheEndAreIgnored) {
  SoundShareBytes block[2];
  SoundShare share(block[0].bytes);
  share.SetU32(kSoundShareSize - 2, 0xFFFFFFFFu);
  share.SetU32(kSoundShareSize + 100, 0xFFFFFFFFu);
  share.SetText(off::DisplayName, 600, "far too long a field");
  EXPECT_EQ(share.U32(kSoundShareSize - 2), 0u);
  EXPECT_EQ(share.Text(off::DisplayName, 600), "");
  for (const SoundShareBytes& b : block) EXPECT_TRUE(OnlyTheseBytesSet(b, 0, 0));
}

TEST(SoundShare, TextsAreCutAndTerminatedWithinTheirField) {
  SoundShareBytes block;
  SoundShare share(block.bytes);
  share.SetText(off::InfoText2, kInfoTextSize, std::string(100, 'x'));
  EXPECT_EQ(share.Text(off::InfoText2, kInfoTextSize), std::string(63, 'x'));
  EXPECT_EQ(block.bytes[off::InfoText2 + 63], 0);
  EXPECT_TRUE(OnlyTheseBytesSet(block, off::InfoText2, kInfoTextSize));
  share.SetText(off::InfoText2, kInfoTextSize, "Track");
  EXPECT_EQ(share.Text(off::InfoText2, kInfoTextSize), "Track");
  EXPECT_EQ(block.bytes[off::InfoText2 + 6], 0);  // the old text is wiped
  // A text the player left without a terminator stops at the field's end.
  std::memset(block.bytes + off::InfoText1, 'a', kInfoTextSize);
  EXPECT_EQ(share.Text(off::InfoText1, kInfoTextSize), std::string(64, 'a'));
}

TEST(SoundShare, CountersStopAtZero) {
  SoundShareBytes block;
  SoundShare share(block.bytes);
  share.Increment(off::SaverClients);
  share.Increment(off::SaverClients);
  share.Decrement(off::SaverClients);
  EXPECT_EQ(share.U32(off::SaverClients), 1u);
  share.Decrement(off::SaverClients);
  share.Decrement(off::SaverClients);
  EXPECT_EQ(share.U32(off::SaverClients), 0u);
  EXPECT_TRUE(OnlyTheseBytesSet(block, 0, 0));
}

}  // namespace
}  // namespace lumox
