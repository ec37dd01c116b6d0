// The working image (grey table, grey conversion, palette pictures) and the
// pixel effects, against the numbers and properties they are known by.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "base/random.h"
#include "image/image_effects.h"
#include "image/indexed_image.h"

namespace lumox::testing {
namespace {

DibPicture OnePixel(int bits, std::vector<uint8_t> bytes, uint32_t r = 0, uint32_t g = 0, uint32_t b = 0) {
  DibPicture p{1, 1, bits, {}, r, g, b, std::move(bytes)};
  p.pixels.resize(4, 0);
  return p;
}

TEST(IndexedImage, GreyTableAndGreyLevels) {
  EXPECT_EQ(GreyTableEntry(0), 0x010101u);
  EXPECT_EQ(GreyTableEntry(254), 0xFFFFFFu);
  EXPECT_EQ(GreyTableEntry(255), 0u);  // black, not white
  const struct {
    const char* name;
    DibPicture picture;
    int grey;
  } cases[] = {
      {"16-bit 5-5-5 white", OnePixel(16, {0xFF, 0x7F}, 0x7C00, 0x3E0, 0x1F), 248},
      {"16-bit 5-6-5 white", OnePixel(16, {0xFF, 0xFF}, 0xF800, 0x7E0, 0x1F), 249},
      {"32-bit white", OnePixel(32, {0xFF, 0xFF, 0xFF, 0}, 0xFF0000, 0xFF00, 0xFF), 255},
      {"32-bit 10-bit channels", OnePixel(32, {0xFF, 0xFF, 0xFF, 0x3F}, 0x3FF00000, 0xFFC00, 0x3FF), 255},
      {"32-bit red only", OnePixel(32, {0, 0, 0x96, 0}, 0xFF0000, 0xFF00, 0xFF), 50},
      {"24-bit", OnePixel(24, {30, 60, 90}), 60},
  };
  for (const auto& c : cases) {
    IndexedImage image;
    ASSERT_TRUE(MakeWorkingImage(c.picture, false, image)) << c.name;
    EXPECT_EQ(image.pixels[0], c.grey) << c.name;
    EXPECT_EQ(image.colors[10], GreyTableEntry(10)) << c.name;
  }
}

// A 2 x 3 4-bit picture: its values survive (rows turned bottom-up); with
// grey forced each colour lands on its nearest grey entry.
TEST(IndexedImage, PalettePicturesKeepTheirValuesOrTurnGrey) {
  DibPicture p{2, 3, 4, {0x000000, 0x808080, 0xFFFFFF, 0x102030}, 0, 0, 0,
               {0x01, 0, 0, 0, 0x23, 0, 0, 0, 0x20, 0, 0, 0}};
  IndexedImage image;
  ASSERT_TRUE(MakeWorkingImage(p, false, image));
  EXPECT_EQ(image.Stride(), 4);
  EXPECT_EQ(image.pixels, (std::vector<uint8_t>{2, 0, 0, 0, 2, 3, 0, 0, 0, 1, 0, 0}));
  EXPECT_EQ(image.colors[1], 0x808080u);
  ASSERT_TRUE(MakeWorkingImage(p, true, image));
  // black -> 255, grey 128 -> 127, white -> 254, (16, 32, 48) -> grey 32 -> 31
  EXPECT_EQ(image.pixels, (std::vector<uint8_t>{254, 255, 0, 0, 254, 31, 0, 0, 255, 127, 0, 0}));
  EXPECT_FALSE(MakeWorkingImage(DibPicture{0, 3, 8, {}, 0, 0, 0, {}}, false, image));
}

// A buffer of distinct values with a sentinel in the row padding.
struct Buffer {
  Buffer(int w, int h) : width(w), height(h), stride((w + 3) & ~3), bytes(stride * h, 0xEE) {
    for (int i = 0; i < h; ++i) {
      for (int j = 0; j < w; ++j) bytes[i * stride + j] = static_cast<uint8_t>(128 + i * w + j);
    }
  }
  PixelBuffer view() { return {bytes.data(), width, height, stride}; }
  uint8_t at(int i, int j) const { return bytes[i * stride + j]; }
  int width, height, stride;
  std::vector<uint8_t> bytes;
};

TEST(ImageEffects, SmoothingLeavesItsBorders) {
  Buffer narrow(3, 9);
  const auto before = narrow.bytes;
  SmoothImage(narrow.view(), 3, 9);
  EXPECT_EQ(narrow.bytes, before);
  Buffer b(10, 10);
  SeedRandom(5);
  for (uint8_t& v : b.bytes) v = static_cast<uint8_t>(Rand());
  const Buffer original = b;
  SmoothImage(b.view(), 10, 10);
  int sum = 0;
  for (int i = 0; i < 3; ++i) sum += original.at(i, 0) + original.at(i, 1) + original.at(i, 2);
  EXPECT_EQ(b.at(1, 1), sum / 9);
  for (int k = 0; k < 10; ++k) {
    for (int edge : {0, 8, 9}) {
      EXPECT_EQ(b.at(edge, k), original.at(edge, k));
      EXPECT_EQ(b.at(k, edge), original.at(k, edge));
    }
  }
}

// Effects 4-6 on an all-bright buffer: each pixel but the last row and
// column takes the original's turned or mirrored pixel. Width 5 has rows of
// 8 bytes: a row size taken from the last column (4) would mix rows.
TEST(ImageEffects, BrightEffectsTakeTheMirroredPixel) {
  const std::function<std::pair<int, int>(int, int)> source[] = {
      [](int i, int j) { return std::pair{3 - i, 4 - j}; },
      [](int i, int j) { return std::pair{i, 4 - j}; },
      [](int i, int j) { return std::pair{3 - i, j}; }};
  std::vector<uint8_t> scratch;
  for (int effect : {4, 5, 6}) {
    Buffer b(5, 4);
    const Buffer original = b;
    ApplyImageEffect(b.view(), effect, scratch);
    for (int i = 0; i < 4; ++i) {
      for (int j = 0; j < 8; ++j) {
        auto [si, sj] = i < 3 && j < 4 ? source[effect - 4](i, j) : std::pair{i, j};
        EXPECT_EQ(b.at(i, j), original.at(si, sj)) << effect << " at " << i << "," << j;
      }
    }
  }
  Buffer dark(5, 4);
  for (uint8_t& v : dark.bytes) v &= 0x7F;
  const auto before = dark.bytes;
  ApplyImageEffect(dark.view(), 4, scratch);
  EXPECT_EQ(dark.bytes, before);
}

// The checkered effects exchange pixels: the values are kept, rows stay
// rows under the left-right mirror, which undoes itself; nothing lands in
// the row padding.
TEST(ImageEffects, CheckeredEffectsExchangePixels) {
  std::vector<uint8_t> scratch;
  for (int effect : {1, 2, 3, 7, 8, 9}) {
    Buffer b(5, 6);
    auto before = b.bytes;
    ApplyImageEffect(b.view(), effect, scratch);
    if (effect <= 3) {
      EXPECT_NE(b.bytes, before) << effect;
      std::sort(before.begin(), before.end());
      auto after = b.bytes;
      std::sort(after.begin(), after.end());
      EXPECT_EQ(after, before) << effect;
    }
    for (int i = 0; i < 6; ++i) {
      for (int j = 5; j < 8; ++j) EXPECT_EQ(b.at(i, j), 0xEE) << effect;
    }
  }
  Buffer b(5, 6);
  const Buffer original = b;
  ApplyImageEffect(b.view(), 2, scratch);
  for (int i = 0; i < 6; ++i) {
    EXPECT_TRUE(std::is_permutation(&b.bytes[i * 8], &b.bytes[i * 8 + 5], &original.bytes[i * 8]));
  }
  ApplyImageEffect(b.view(), 2, scratch);
  EXPECT_EQ(b.bytes, original.bytes);
}

TEST(ImageEffects, SmoothingPrefixAndNumbersOutOfRange) {
  std::vector<uint8_t> scratch;
  Buffer b(9, 8), twice(9, 8);
  for (uint8_t& v : b.bytes) v = static_cast<uint8_t>(v * 37);
  twice.bytes = b.bytes;
  ApplyImageEffect(b.view(), 20, scratch);
  SmoothImage(twice.view(), 8, 7);
  SmoothImage(twice.view(), 8, 7);
  EXPECT_EQ(b.bytes, twice.bytes);
  for (int effect : {-1, 21, 1000}) {
    ApplyImageEffect(b.view(), effect, scratch);
    EXPECT_EQ(b.bytes, twice.bytes) << effect;
  }
  Buffer flat(7, 2);
  const auto before = flat.bytes;
  ApplyImageEffect(flat.view(), 3, scratch);  // fewer than three rows: nothing
  EXPECT_EQ(flat.bytes, before);
}

}  // namespace
}  // namespace lumox::testing
