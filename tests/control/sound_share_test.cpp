#include "control/sound_share.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace lumox {
namespace {

namespace off = share_offset;

struct Field {
  size_t offset;
  size_t size;
};

// Every field the saver reads or writes, at its wire offset.
constexpr Field kWords[] = {
    {0x000, 4}, {0x004, 4}, {0x00C, 4}, {0x010, 4}, {0x014, 4}, {0x018, 4}, {0x01C, 4},
    {0x020, 4}, {0x1AC, 4}, {0x1C8, 4}, {0x1CC, 4}, {0x1D0, 4}, {0x1D4, 4}, {0x1D8, 4},
    {0x1DC, 4}, {0x1E0, 4}, {0x1E4, 4}, {0x1E8, 4}, {0x1F2, 4}, {0x1F6, 4}, {0x1FA, 4},
    {0x302, 4}, {0x306, 4}, {0x30A, 4}};
constexpr size_t kWordOffsets[] = {
    off::BlockSize,        off::LayoutVersion,       off::LeftLevel,          off::RightLevel,
    off::LevelFullScale,   off::LevelDivisor,        off::KeyLevel,           off::BandFullScale,
    off::InfoSerial,       off::LayoutMismatchCode,  off::LayoutMismatch,     off::SaverWindows,
    off::PaletteUsesSound, off::SaverUsesSound,      off::PaletteSoundEnabled,
    off::ModuleSoundEnabled, off::FullScreenSaver,   off::AutoGain,           off::SlowCPU,
    off::PlayerActive,     off::SaverClients,        off::RestartRequest,     off::CaptureRequest,
    off::LauncherClosed};

bool OnlyTheseBytesSet(const SoundShareBytes& block, size_t offset, size_t size) {
  for (size_t i = 0; i < kSoundShareSize; ++i) {
    const bool inside = i >= offset && i < offset + size;
    if (!inside && block.bytes[i] != 0) return false;
  }
  return true;
}

TEST(SoundShare, WordFieldsLandLittleEndianAtTheirOffsets) {
  static_assert(std::size(kWords) == std::size(kWordOffsets));
  for (size_t i = 0; i < std::size(kWords); ++i) {
    SoundShareBytes block;
    SoundShare share(block.bytes);
    ASSERT_EQ(kWordOffsets[i], kWords[i].offset);
    share.SetU32(kWordOffsets[i], 0x44332211u);
    const uint8_t* at = block.bytes + kWords[i].offset;
    EXPECT_EQ(at[0], 0x11);
    EXPECT_EQ(at[1], 0x22);
    EXPECT_EQ(at[2], 0x33);
    EXPECT_EQ(at[3], 0x44);
    EXPECT_TRUE(OnlyTheseBytesSet(block, kWords[i].offset, 4)) << "field at " << kWords[i].offset;
    EXPECT_EQ(share.U32(kWordOffsets[i]), 0x44332211u);
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
