#include "config/pal_file.h"

#include <gtest/gtest.h>

namespace lumox {
namespace {

using Bytes = std::vector<uint8_t>;

// Entry i is (i, 255 - i, 7i mod 256): every channel differs.
CustomPalette NumberedPalette() {
  CustomPalette palette;
  for (int i = 0; i < kPaletteEntries; ++i)
    palette[i].Set({uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)});
  return palette;
}

TEST(PalFileTest, WrittenFileIsMagicLengthAndEntriesWithFlagOne) {
  const Bytes bytes = WritePalBytes(NumberedPalette());
  ASSERT_EQ(bytes.size(), 952u);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 16),
            (Bytes{0x00, 0x42, 0x00, 0x42, 0xB0, 0x03, 0, 0, 0, 255, 0, 1, 1, 254, 7, 1}));
  EXPECT_EQ(Bytes(bytes.end() - 4, bytes.end()), (Bytes{235, 20, 109, 1}));
}

TEST(PalFileTest, BadInputReadsOnlyTheWholeEntriesPresentAndClaimed) {
  const Bytes full = WritePalBytes(NumberedPalette());
  // The magic, a claimed length (little-endian) and the first entry bytes.
  auto file = [&](uint32_t claimed, size_t entryBytes) {
    Bytes bytes(full.begin(), full.begin() + 4);
    for (int shift : {0, 8, 16, 24}) bytes.push_back(uint8_t(claimed >> shift));
    bytes.insert(bytes.end(), full.begin() + 8, full.begin() + 8 + long(entryBytes));
    return bytes;
  };
  Bytes tooLong = full;
  tooLong.resize(3000, 0x55);
  Bytes otherMagic = full;
  otherMagic[1] = 0x43;
  const struct {
    const char* what;
    Bytes bytes;
    bool isPalFile;
    int entries;
  } cases[] = {
      {"empty", {}, false, 0},
      {"magic cut short", {0x00, 0x42, 0x00}, false, 0},
      {"another magic", otherMagic, false, 0},
      {"magic without a length", {0x00, 0x42, 0x00, 0x42, 0xB0}, false, 0},
      {"no entries claimed", file(0, 944), true, 0},
      {"length larger than the file", file(944, 10), true, 2},
      {"length smaller than the file", file(12, 944), true, 3},
      {"length past every limit", file(0xFFFFFFFF, 944), true, 236},
      {"file longer than a palette", tooLong, true, 236},
  };
  const CustomPalette numbered = NumberedPalette();
  for (const auto& c : cases) {
    CustomPalette palette;  // all black
    const PalReadResult result = ReadPalBytes(c.bytes, palette);
    EXPECT_EQ(result.isPalFile, c.isPalFile) << c.what;
    EXPECT_EQ(result.entriesRead, c.entries) << c.what;
    for (int i = 0; i < kPaletteEntries; ++i) {
      ASSERT_EQ(palette[i].Color(), i < c.entries ? numbered[i].Color() : gfx::Rgb{})
          << c.what << i;
      ASSERT_EQ(palette[i].flags, kPcReserved) << c.what << i;
    }
  }
}

}  // namespace
}  // namespace lumox
