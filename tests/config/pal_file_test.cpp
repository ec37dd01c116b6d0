#include "config/pal_file.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/temp_dir.h"

namespace lumox {
namespace {

using Bytes = std::vector<uint8_t>;

// Entry i is (i, 255 - i, i * 7 mod 256): every channel differs.
CustomPalette NumberedPalette() {
  CustomPalette palette;
  for (int i = 0; i < kPaletteEntries; ++i) {
    palette[i].Set(
        {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 7)});
  }
  return palette;
}

Bytes Header(uint32_t claimed) {
  return {0x00,
          0x42,
          0x00,
          0x42,
          uint8_t(claimed),
          uint8_t(claimed >> 8),
          uint8_t(claimed >> 16),
          uint8_t(claimed >> 24)};
}

TEST(PalFileTest, WrittenFileIsMagicLengthAndEntriesWithFlagOne) {
  const Bytes bytes = WritePalBytes(NumberedPalette());
  ASSERT_EQ(bytes.size(), 952u);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 8),
            (Bytes{0x00, 0x42, 0x00, 0x42, 0xB0, 0x03, 0, 0}));
  EXPECT_EQ(Bytes(bytes.begin() + 8, bytes.begin() + 16), (Bytes{0, 255, 0, 1, 1, 254, 7, 1}));
  EXPECT_EQ(Bytes(bytes.end() - 4, bytes.end()), (Bytes{235, 20, uint8_t(235 * 7), 1}));
}

TEST(PalFileTest, FileRoundTripGivesThePaletteBack) {
  testing::TempDir dir;
  const std::string path = dir.File("Scratch.PAL");
  std::string error;
  ASSERT_TRUE(WritePalFile(path, NumberedPalette(), error)) << error;
  EXPECT_EQ(testing::ReadFile(path).size(), 952u);

  CustomPalette read;
  const PalReadResult result = ReadPalFile(path, read);
  EXPECT_TRUE(result.isPalFile);
  EXPECT_EQ(result.entriesRead, kPaletteEntries);
  EXPECT_EQ(WritePalBytes(read), WritePalBytes(NumberedPalette()));
  EXPECT_FALSE(ReadPalFile(dir.File("missing.PAL"), read).isPalFile);
}

TEST(PalFileTest, BadInputReadsOnlyTheWholeEntriesPresentAndClaimed) {
  const Bytes full = WritePalBytes(NumberedPalette());
  auto withHeader = [&](uint32_t claimed, size_t entryBytes) {
    Bytes bytes = Header(claimed);
    bytes.insert(bytes.end(), full.begin() + 8, full.begin() + 8 + static_cast<long>(entryBytes));
    return bytes;
  };
  Bytes tooLong = full;
  tooLong.resize(3000, 0x55);
  Bytes otherMagic = full;
  otherMagic[1] = 0x43;
  struct Case {
    const char* what;
    Bytes bytes;
    bool isPalFile;
    int entries;
  };
  const Case cases[] = {
      {"empty", {}, false, 0},
      {"magic cut short", {0x00, 0x42, 0x00}, false, 0},
      {"another magic", otherMagic, false, 0},
      {"magic without a length", {0x00, 0x42, 0x00, 0x42, 0xB0}, false, 0},
      {"no entries claimed", withHeader(0, 944), true, 0},
      {"length larger than the file", withHeader(944, 10), true, 2},
      {"length smaller than the file", withHeader(12, 944), true, 3},
      {"length past every limit", withHeader(0xFFFFFFFF, 944), true, 236},
      {"file longer than a palette", tooLong, true, 236},
  };
  for (const Case& c : cases) {
    CustomPalette palette;  // all black
    const PalReadResult result = ReadPalBytes(c.bytes, palette);
    EXPECT_EQ(result.isPalFile, c.isPalFile) << c.what;
    EXPECT_EQ(result.entriesRead, c.entries) << c.what;
    const CustomPalette numbered = NumberedPalette();
    for (int i = 0; i < kPaletteEntries; ++i) {
      const gfx::Rgb expected = i < c.entries ? numbered[i].Color() : gfx::Rgb{};
      ASSERT_EQ(palette[i].Color(), expected) << c.what << " entry " << i;
      ASSERT_EQ(palette[i].flags, kPcReserved) << c.what << " entry " << i;
    }
  }
}

}  // namespace
}  // namespace lumox
