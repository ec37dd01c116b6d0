// The working image (grey table, grey conversion, palette pictures) and the
// pixel effects, against the numbers and properties they are known by.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/random.h"
#include "image/image_effects.h"
#include "image/indexed_image.h"

namespace lumox::testing {
namespace {

TEST(IndexedImage, GreyTableAndGreyLevels) {
  EXPECT_EQ(GreyTableEntry(0), 0x010101u);
  EXPECT_EQ(GreyTableEntry(254), 0xFFFFFFu);
  EXPECT_EQ(GreyTableEntry(255), 0u);  // black, not white
  const struct {
    int bits;
    std::vector<uint8_t> pixel;
    uint32_t r, g, b;
    int grey;
  } cases[] = {
      {16, {0xFF, 0x7F, 0, 0}, 0x7C00, 0x3E0, 0x1F, 248},  // 5-5-5 white
      {16, {0xFF, 0xFF, 0, 0}, 0xF800, 0x7E0, 0x1F, 249},  // 5-6-5 white
      {32, {0xFF, 0xFF, 0xFF, 0}, 0xFF0000, 0xFF00, 0xFF, 255},
      {32, {0xFF, 0xFC, 0xFF, 0x3F}, 0x3FF00000, 0xFFC00, 0x3FF, 191},  // 10-bit channels, blue 0xFF
      {32, {0, 0, 0x96, 0}, 0xFF0000, 0xFF00, 0xFF, 50},  // red alone
      {24, {30, 60, 90, 0}, 0, 0, 0, 60},
  };
  for (const auto& c : cases) {
    // After a black pixel, so that the pixel must be found at its own offset.
    std::vector<uint8_t> row(c.bits / 8, 0);
    row.insert(row.end(), c.pixel.begin(), c.pixel.end());
    row.resize((2 * c.bits + 31) / 32 * 4, 0);
    IndexedImage image;
    ASSERT_TRUE(MakeWorkingImage({2, 1, c.bits, {}, c.r, c.g, c.b, row}, false, image));
    EXPECT_EQ(image.pixels[0], 0) << c.bits << " bits";
    EXPECT_EQ(image.pixels[1], c.grey) << c.bits << " bits, red mask " << std::hex << c.r;
  }
}

// A 3 x 3 4-bit picture: its values survive (rows turned bottom-up); with
// grey forced each colour lands on its nearest grey entry.
TEST(IndexedImage, PalettePicturesKeepTheirValuesOrTurnGrey) {
  const DibPicture p{3, 3, 4, {0x000000, 0x808080, 0xFFFFFF, 0x102030}, 0, 0, 0,
                     {0x01, 0x30, 0, 0, 0x23, 0x10, 0, 0, 0x20, 0x20, 0, 0}};
  IndexedImage image;
  ASSERT_TRUE(MakeWorkingImage(p, false, image));
  EXPECT_EQ(image.pixels, (std::vector<uint8_t>{2, 0, 2, 0, 2, 3, 1, 0, 0, 1, 3, 0}));
  EXPECT_EQ(image.colors[1], 0x808080u);
  ASSERT_TRUE(MakeWorkingImage(p, true, image));
  // black -> 255, grey 128 -> 127, white -> 254, (16, 32, 48) -> grey 32 -> 31
  EXPECT_EQ(image.pixels,
            (std::vector<uint8_t>{254, 255, 254, 0, 254, 31, 127, 0, 255, 127, 31, 0}));
  EXPECT_FALSE(MakeWorkingImage(DibPicture{0, 3, 8, {}, 0, 0, 0, {}}, false, image));
  // 1 bit, 10 wide: pixels 8 and 9 lie in the second byte.
  ASSERT_TRUE(MakeWorkingImage(DibPicture{10, 1, 1, {0, 0xFFFFFF}, 0, 0, 0, {0xA0, 0x40, 0, 0}}, false, image));
  EXPECT_EQ(image.pixels, (std::vector<uint8_t>{1, 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0}));
}

// Distinct bright values, and a sentinel in the row padding. Width 5 has
// rows of 8 bytes: a row size taken from the last column (4) would mix rows.
struct Buffer {
  Buffer(int w, int h) : width(w), height(h), bytes(8 * h, 0xEE) {
    for (int i = 0; i < h; ++i)
      for (int j = 0; j < w; ++j) bytes[i * 8 + j] = static_cast<uint8_t>(128 + i * w + j);
  }
  PixelBuffer view() { return {bytes.data(), width, height, 8}; }
  uint8_t at(int i, int j) const { return bytes[i * 8 + j]; }
  int width, height;
  std::vector<uint8_t> bytes;
};

TEST(ImageEffects, SmoothingLeavesItsBorders) {
  std::vector<uint8_t> bytes(100);
  SeedRandom(5);
  for (uint8_t& v : bytes) v = static_cast<uint8_t>(Rand());
  const std::vector<uint8_t> original = bytes;
  SmoothImage({bytes.data(), 3, 10, 10}, 3, 10);
  EXPECT_EQ(bytes, original);
  SmoothImage({bytes.data(), 10, 10, 10}, 10, 10);
  int sum = 0;
  for (int i = 0; i < 3; ++i) sum += original[i * 10] + original[i * 10 + 1] + original[i * 10 + 2];
  EXPECT_EQ(bytes[11], sum / 9);
  for (int k = 0; k < 10; ++k)
    for (int edge : {0, 8, 9}) {
      EXPECT_EQ(bytes[edge * 10 + k], original[edge * 10 + k]);
      EXPECT_EQ(bytes[k * 10 + edge], original[k * 10 + edge]);
    }
}

// Effects 4-6 on an all-bright buffer: each pixel but the last row and
// column takes the original's turned (4) or mirrored (5, 6) pixel.
TEST(ImageEffects, BrightEffectsTakeTheMirroredPixel) {
  std::vector<uint8_t> scratch;
  for (int effect : {4, 5, 6}) {
    Buffer b(5, 4);
    const Buffer original = b;
    ApplyImageEffect(b.view(), effect, scratch);
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 8; ++j) {
        const bool moved = i < 3 && j < 4;
        const int si = moved && effect != 5 ? 3 - i : i, sj = moved && effect != 6 ? 4 - j : j;
        EXPECT_EQ(b.at(i, j), original.at(si, sj)) << effect << " at " << i << "," << j;
      }
  }
  // 7..9: the bright effect 4..6, then the checkered half turn.
  for (int effect : {7, 8, 9}) {
    Buffer combined(5, 4), inTwoSteps(5, 4);
    ApplyImageEffect(combined.view(), effect, scratch);
    ApplyImageEffect(inTwoSteps.view(), effect - 3, scratch);
    ApplyImageEffect(inTwoSteps.view(), 1, scratch);
    EXPECT_EQ(combined.bytes, inTwoSteps.bytes) << effect;
  }
  Buffer dark(5, 4);
  for (uint8_t& v : dark.bytes) v &= 0x7F;
  const auto before = dark.bytes;
  ApplyImageEffect(dark.view(), 4, scratch);
  EXPECT_EQ(dark.bytes, before);
}

TEST(ImageEffects, SmoothingPrefixAndNumbersOutOfRange) {
  std::vector<uint8_t> scratch;
  Buffer b(5, 8), twice(5, 8);
  for (uint8_t& v : b.bytes) v = static_cast<uint8_t>(v * 37);
  twice.bytes = b.bytes;
  ApplyImageEffect(b.view(), 20, scratch);  // a smoothing pass, then effect 10: another
  SmoothImage(twice.view(), 4, 7);
  SmoothImage(twice.view(), 4, 7);
  EXPECT_EQ(b.bytes, twice.bytes);
  for (int effect : {-1, 21}) {
    ApplyImageEffect(b.view(), effect, scratch);
    EXPECT_EQ(b.bytes, twice.bytes) << effect;
  }
  Buffer flat(5, 2);
  ApplyImageEffect(flat.view(), 3, scratch);  // fewer than three rows: nothing
  EXPECT_EQ(flat.bytes, Buffer(5, 2).bytes);
  Buffer three(5, 3), mirrored(5, 3);  // three rows: the checkered (0, 1) trades with (2, 1)
  std::swap(mirrored.bytes[1], mirrored.bytes[2 * 8 + 1]);
  ApplyImageEffect(three.view(), 3, scratch);
  EXPECT_EQ(three.bytes, mirrored.bytes);
}

}  // namespace
}  // namespace lumox::testing
