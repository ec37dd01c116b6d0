// The BMP decoder against files written byte by byte: every depth, both
// row orders, every header size, RLE8 and RLE4, and damaged files.
#include <gtest/gtest.h>

#include "image/bmp_decoder.h"
#include "image/bmp_bytes.h"

namespace lumox::testing {
namespace {

using Rows = std::vector<std::vector<uint8_t>>;

// A 3 x 2 picture per depth, top row first, in the file's own byte layout;
// no two pixels are alike so a flip, a shift or a swapped channel shows.
struct DepthCase {
  const char* name;
  int bits;
  uint32_t compression;
  Rows rows;
  uint32_t masks[3];  // what the picture must report
};
const DepthCase kDepths[] = {
    {"1 bit", 1, 0, {{0b10100000}, {0b01100000}}, {}},
    {"4 bits", 4, 0, {{0x12, 0x30}, {0x45, 0x60}}, {}},
    {"8 bits", 8, 0, {{1, 2, 3}, {4, 5, 6}}, {}},
    {"16 bits 5-5-5", 16, 0, {{1, 0, 2, 0, 3, 0x7C}, {4, 0, 5, 0, 0xFF, 0x7F}}, {0x7C00, 0x3E0, 0x1F}},
    {"16 bits 5-6-5", 16, 3, {{1, 0, 2, 0, 3, 0xF8}, {4, 0, 5, 0, 6, 0}}, {0xF800, 0x7E0, 0x1F}},
    {"24 bits", 24, 0, {{1, 2, 3, 4, 5, 6, 7, 8, 9}, {10, 11, 12, 13, 14, 15, 16, 17, 18}}, {}},
    {"32 bits", 32, 0, {{1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0}, {10, 11, 12, 0, 13, 14, 15, 0, 16, 17, 18, 0}},
     {0xFF0000, 0xFF00, 0xFF}},
    {"32 bits fields", 32, 3, {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24}},
     {0xFF, 0xFF00, 0xFF0000}},
};

BmpFile FileOf(const DepthCase& c, bool topDown, uint32_t header) {
  BmpFile f;
  f.width = 3, f.height = topDown ? -2 : 2, f.bits = c.bits, f.compression = c.compression, f.header = header;
  for (int i = 0; c.bits <= 8 && i < (1 << c.bits); ++i) f.colors.push_back((0x010203u * i + 0x800000u) & 0xFFFFFF);
  std::copy(c.masks, c.masks + 3, f.masks);
  f.data = topDown ? PadRows(c.rows) : PadRows({c.rows[1], c.rows[0]});
  return f;
}

// The picture DecodeBmp makes of `bytes`, failing the test when it refuses them.
DibPicture Decoded(std::span<const uint8_t> bytes, const std::string& what = "") {
  DibPicture p;
  std::string error;
  EXPECT_TRUE(DecodeBmp(bytes, p, error)) << what << ": " << error;
  return p;
}

// Why DecodeBmp refuses `bytes`; empty when it takes them or gives no reason.
std::string Refusal(std::span<const uint8_t> bytes) {
  DibPicture p;
  std::string error;
  return DecodeBmp(bytes, p, error) ? "" : error;
}

TEST(BmpDecoder, EveryDepthBothRowOrdersAndHeaders) {
  for (const DepthCase& c : kDepths) {
    for (bool topDown : {false, true}) {
      for (uint32_t header : {40u, 12u, 108u, 124u}) {
        if (header == 12 && (topDown || c.bits == 16 || c.bits == 32)) continue;
        const BmpFile file = FileOf(c, topDown, header);
        const std::string what =
            std::string(c.name) + (topDown ? " top-down, " : ", ") + std::to_string(header) + "-byte header";
        const DibPicture p = Decoded(file.Bytes(), what);
        EXPECT_EQ(std::tie(p.width, p.height, p.bitsPerPixel), std::tuple(3, 2, c.bits)) << what;
        EXPECT_EQ(p.pixels, PadRows(c.rows)) << what;
        EXPECT_EQ(p.colors, file.colors) << what;
        EXPECT_EQ(std::tie(p.redMask, p.blueMask), std::tie(c.masks[0], c.masks[2])) << what;
      }
    }
  }
}

TEST(BmpDecoder, PackedDibWithoutFileHeader) {
  const std::vector<uint8_t> file = FileOf(kDepths[2], false, 40).Bytes();
  EXPECT_EQ(Decoded(std::span(file).subspan(14)).pixels, PadRows(kDepths[2].rows));
}

// RLE8, 4 x 3: a run and a single pixel on the bottom row, end of line, a
// move to (1, 2), three literal pixels and their pad byte, end of picture.
// The row the move skipped stays 0.
const BmpFile kRle8{.width = 4, .height = 3, .bits = 8, .compression = 1, .colors = {0, 1},
                    .data = {3, 7, 1, 9, 0, 0, 0, 2, 1, 1, 0, 3, 4, 5, 6, 8, 0, 1}};
// RLE4, 8 x 1: five pixels alternating 1 and 2, then three literal nibbles.
const BmpFile kRle4{.width = 8, .height = 1, .bits = 4, .compression = 2, .colors = {0, 1},
                    .data = {5, 0x12, 0, 3, 0x34, 0x50, 0, 1}};

TEST(BmpDecoder, RunLengthEncoded) {
  EXPECT_EQ(Decoded(kRle8.Bytes()).pixels, PadRows({{0, 4, 5, 6}, {0, 0, 0, 0}, {7, 7, 7, 9}}));
  EXPECT_EQ(Decoded(kRle4.Bytes()).pixels, PadRows({{0x12, 0x12, 0x13, 0x45}}));
}

TEST(BmpDecoder, EveryTruncationIsRefused) {
  for (const BmpFile& file : {FileOf(kDepths[5], false, 40), FileOf(kDepths[1], false, 12), kRle8, kRle4}) {
    const std::vector<uint8_t> bytes = file.Bytes();
    for (size_t n = 0; n < bytes.size(); ++n)
      EXPECT_NE(Refusal(std::span(bytes.data(), n)), "") << n << " of " << bytes.size();
  }
}

TEST(BmpDecoder, LyingAndHostileHeaders) {
  auto with = [](BmpFile f, auto change) { change(f); return f; };
  const BmpFile plain = FileOf(kDepths[2], false, 40);
  const struct {
    const char* name;
    BmpFile file;
    const char* message;
  } cases[] = {
      {"too wide", with(plain, [](BmpFile& f) { f.width = 16385; }), "over 16384"},
      {"too tall top-down", with(plain, [](BmpFile& f) { f.height = -16385; }), "over 16384"},
      {"huge without data", with(plain, [](BmpFile& f) { f.width = f.height = 16384; }), "cut short"},
      {"zero width", with(plain, [](BmpFile& f) { f.width = 0; }), "no pixels"},
      {"negative width", with(plain, [](BmpFile& f) { f.width = -3; }), "no pixels"},
      {"zero height", with(plain, [](BmpFile& f) { f.height = 0; }), "no pixels"},
      {"257 colours", with(plain, [](BmpFile& f) { f.colorsUsedField = 257; }), "at most 256"},
      {"2 bits", with(plain, [](BmpFile& f) { f.bits = 2; }), "depth"},
      {"RLE8 at 4 bits", with(kRle8, [](BmpFile& f) { f.bits = 4; }), "does not go with"},
      {"JPEG inside", with(plain, [](BmpFile& f) { f.compression = 4; }), "compression"},
      {"RLE top-down", with(kRle8, [](BmpFile& f) { f.height = -3; }), "top-down"},
      {"run past the row", with(kRle8, [](BmpFile& f) { f.data[0] = 5; }), "past the row"},
      {"literal past the row", with(kRle4, [](BmpFile& f) { f.data[3] = 4; }), "past the row"},
      {"move past the picture", with(kRle8, [](BmpFile& f) { f.data[9] = 3; }), "past the picture"},
      {"run above the picture", with(kRle8, [](BmpFile& f) { f.data[9] = 2, f.data[8] = 0; }), "past the row or the picture"},
      {"mask with gaps", with(FileOf(kDepths[4], false, 40), [](BmpFile& f) { f.masks[0] = 0xF00F; }), "gaps"},
  };
  for (const auto& c : cases) {
    const std::string error = Refusal(c.file.Bytes());
    EXPECT_NE(error.find(c.message), std::string::npos) << c.name << ": " << error;
  }
}

TEST(BmpDecoder, ColourTableSizes) {
  EXPECT_EQ(ColourTableSize(12, 8, 0, 0), 768u);
  EXPECT_EQ(ColourTableSize(40, 4, 0, 0), 64u);
  EXPECT_EQ(ColourTableSize(40, 24, 0, 0), 0u);
  EXPECT_EQ(ColourTableSize(40, 16, 3, 0), 12u);
}

}  // namespace
}  // namespace lumox::testing
