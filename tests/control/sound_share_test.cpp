#include "control/sound_share.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

namespace lumox {
namespace {

namespace off = share_offset;

// The words the saver reads or writes, at their documented wire offsets.
constexpr std::pair<size_t, size_t> kWords[] = {
    {off::BlockSize, 0x000},          {off::LayoutVersion, 0x004},      {off::LeftLevel, 0x00C},
    {off::RightLevel, 0x010},         {off::LevelFullScale, 0x014},     {off::LevelDivisor, 0x018},
    {off::KeyLevel, 0x01C},           {off::BandFullScale, 0x020},      {off::InfoSerial, 0x1AC},
    {off::LayoutMismatchCode, 0x1C8}, {off::LayoutMismatch, 0x1CC},     {off::SaverWindows, 0x1D0},
    {off::PaletteUsesSound, 0x1D4},   {off::SaverUsesSound, 0x1D8},
    {off::PaletteSoundEnabled, 0x1DC}, {off::ModuleSoundEnabled, 0x1E0},
    {off::FullScreenSaver, 0x1E4},    {off::AutoGain, 0x1E8},           {off::SlowCPU, 0x1F2},
    {off::PlayerActive, 0x1F6},       {off::SaverClients, 0x1FA},     {off::RestartRequest, 0x302},
    {off::CaptureRequest, 0x306},     {off::LauncherClosed, 0x30A}};

TEST(SoundShare, EveryFieldLandsLittleEndianAtItsWireOffsetAndNowhereElse) {
  SoundShareBytes block;
  SoundShare share(block.bytes);
  uint8_t expected[kSoundShareSize] = {};
  uint8_t n = 1;
  for (const auto& [field, wire] : kWords) {
    share.SetU32(field, 0x01010101u * n + 0x00030201u);
    const uint8_t bytes[4] = {uint8_t(n + 1), uint8_t(n + 2), uint8_t(n + 3), n};
    std::memcpy(expected + wire, bytes, 4);
    EXPECT_EQ(share.U32(field), 0x01010101u * n++ + 0x00030201u) << wire;
  }
  share.SetU16(off::PlayerVersionMajor, 0x0102);
  share.SetU16(off::SaverVersionMinor, 5);
  share.SetLeftBand(15, -2.0f);  // 0xC0000000, the last left band
  share.SetRightBand(0, 0.5f);   // 0x3F000000, the first right band
  share.SetLeftBand(16, 9.0f);   // no such bands
  share.SetRightBand(-1, 9.0f);
  share.SetText(off::InfoText2, kInfoTextSize, "Track");
  share.SetU32(kSoundShareSize - 2, 0xFFFFFFFFu);  // past the end
  share.SetText(off::DisplayName, 600, "far too long a field");
  share.Increment(kSoundShareSize);
  const std::pair<size_t, uint8_t> others[] = {
      {0x1B8, 0x02}, {0x1B9, 0x01}, {0x1BE, 5},   {0x0A3, 0xC0}, {0x0A7, 0x3F},
      {0x12C, 'T'},  {0x12D, 'r'},  {0x12E, 'a'}, {0x12F, 'c'},  {0x130, 'k'}};
  for (const auto& [offset, byte] : others) expected[offset] = byte;
  for (size_t i = 0; i < kSoundShareSize; ++i) ASSERT_EQ(block.bytes[i], expected[i]) << i;
  EXPECT_EQ(share.LeftBand(15), -2.0f);
  EXPECT_EQ(share.RightBand(0), 0.5f);
  EXPECT_EQ(share.LeftBand(16), 0.0f);
  EXPECT_EQ(share.U32(kSoundShareSize - 2), 0u);
}

TEST(SoundShare, TextsAreCutAndTerminatedWithinTheirFieldAndCountersStopAtZero) {
  SoundShareBytes block;
  SoundShare share(block.bytes);
  share.SetText(off::InfoText2, kInfoTextSize, std::string(100, 'x'));
  EXPECT_EQ(share.Text(off::InfoText2, kInfoTextSize), std::string(63, 'x'));
  EXPECT_EQ(block.bytes[off::InfoText2 + 63], 0);
  share.SetText(off::InfoText2, kInfoTextSize, "Track");
  EXPECT_EQ(share.Text(off::InfoText2, kInfoTextSize), "Track");
  EXPECT_EQ(block.bytes[off::InfoText2 + 6], 0);  // the old text is wiped
  // A text the player left without a terminator stops at the field's end.
  std::memset(block.bytes + off::InfoText1, 'a', kInfoTextSize);
  EXPECT_EQ(share.Text(off::InfoText1, kInfoTextSize), std::string(64, 'a'));
  EXPECT_EQ(share.Text(off::DisplayName, 600), "");

  for (int step : {+1, +1, -1, -1, -1, +1}) {
    if (step > 0) share.Increment(off::SaverClients);
    else share.Decrement(off::SaverClients);
  }
  EXPECT_EQ(share.U32(off::SaverClients), 1u);
}

}  // namespace
}  // namespace lumox
