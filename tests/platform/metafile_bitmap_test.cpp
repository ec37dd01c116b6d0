#include "platform/metafile_bitmap.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumox {
namespace {

using Bytes = std::vector<uint8_t>;

// Appends `v` as a little-endian word of `bytes` bytes; Set32 overwrites one.
void Put(Bytes& b, uint32_t v, int bytes = 4) {
  for (int i = 0; i < bytes; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Set32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.at(at + i) = static_cast<uint8_t>(v >> (8 * i));
}

// A 40-byte information header.
Bytes InfoHeader(int32_t width, int32_t height, int bits, uint32_t compression = 0,
                 uint32_t colorsUsed = 0) {
  Bytes b;
  Put(b, 40), Put(b, static_cast<uint32_t>(width)), Put(b, static_cast<uint32_t>(height));
  Put(b, 1, 2), Put(b, static_cast<uint32_t>(bits), 2), Put(b, compression);
  Put(b, 0), Put(b, 0), Put(b, 0), Put(b, colorsUsed), Put(b, 0);
  return b;
}

// 3 x 2, 8 bits, two colours (red, blue), bottom-up: the bottom row holds
// 1 0 0, the top row 0 1 1.
Bytes SmallDib(int32_t height = 2) {
  Bytes b = InfoHeader(3, height, 8, 0, 2);
  Put(b, 0x00FF0000), Put(b, 0x000000FF);  // blue-green-red-0 order in memory
  const Bytes rows = {1, 0, 0, 0, 0, 1, 1, 0};
  b.insert(b.end(), rows.begin(), rows.end());
  return b;
}

// A metafile: an 18-byte header, the given records, the end record.
Bytes Metafile(const std::vector<std::pair<uint16_t, Bytes>>& records) {
  Bytes b;
  Put(b, 1, 2), Put(b, 9, 2), Put(b, 0x300, 2), Put(b, 0), Put(b, 0, 2), Put(b, 0), Put(b, 0, 2);
  for (const auto& [function, payload] : records) {
    Put(b, static_cast<uint32_t>(3 + (payload.size() + 1) / 2));
    Put(b, function, 2);
    b.insert(b.end(), payload.begin(), payload.end());
    if (payload.size() % 2 != 0) b.push_back(0);
  }
  Put(b, 3), Put(b, 0, 2);
  Set32(b, 6, static_cast<uint32_t>(b.size() / 2));
  return b;
}

// A bitmap record's parameters before the bitmap, then the bitmap.
Bytes BitmapRecord(size_t bitmapAt, const Bytes& dib) {
  Bytes payload(bitmapAt - 6, 0);
  payload.insert(payload.end(), dib.begin(), dib.end());
  return payload;
}

TEST(FindMetafileBitmapTest, EachBitmapRecordAfterOtherRecords) {
  const std::pair<uint16_t, size_t> records[] = {
      {0x0940, 22}, {0x0B41, 26}, {0x0D33, 24}, {0x0F43, 28}};
  const Bytes dib = SmallDib();
  for (const auto& [function, at] : records) {
    const Bytes file = Metafile({{0x0103, {8, 0}}, {function, BitmapRecord(at, dib)}});
    const std::span<const uint8_t> found = FindMetafileBitmap(file);
    ASSERT_GE(found.size(), dib.size()) << std::hex << function;
    EXPECT_TRUE(std::equal(dib.begin(), dib.end(), found.begin())) << std::hex << function;
  }
}

TEST(FindMetafileBitmapTest, DamagedWalksFindNothing) {
  const Bytes good = Metafile({{0x0103, {8, 0}}, {0x0F43, BitmapRecord(28, SmallDib())}});
  const size_t second = 18 + 8;  // the bitmap record

  Bytes zeroRecord = good;  // a record of size 0 ends the walk
  Set32(zeroRecord, 18, 0);
  Bytes pastEnd = good;  // the first record claims more than the metafile holds
  Set32(pastEnd, 18, 0x7FFFFFFF);
  Bytes shortMetafile = good;  // the metafile's own size ends before the bitmap record
  Set32(shortMetafile, 6, second / 2 + 4);
  Bytes hugeHeader = good;
  hugeHeader[2] = 0xFF, hugeHeader[3] = 0xFF;
  Bytes bitmapless = Metafile({{0x0940, Bytes(16, 0)}});  // the pattern-only form
  for (const Bytes& file : {zeroRecord, pastEnd, shortMetafile, hugeHeader, bitmapless})
    EXPECT_TRUE(FindMetafileBitmap(file).empty());
  // A metafile that claims more than the block holds: every cut of it.
  for (size_t size = 0; size < good.size(); ++size) {
    const std::span<const uint8_t> found = FindMetafileBitmap({good.data(), size});
    EXPECT_TRUE(found.empty() || found.data() + found.size() <= good.data() + size) << size;
  }
}

TEST(UnpackDibTest, DepthsHeadersAndRowOrder) {
  DibPicture picture;
  std::string error;
  ASSERT_TRUE(UnpackDib(SmallDib(), picture, error)) << error;
  EXPECT_EQ(picture.width, 3);
  EXPECT_EQ(picture.height, 2);
  EXPECT_EQ(picture.colors, (std::vector<uint32_t>{0xFF0000, 0x0000FF}));
  EXPECT_EQ(picture.pixels, (Bytes{0, 1, 1, 0, 1, 0, 0, 0}));  // top row first

  ASSERT_TRUE(UnpackDib(SmallDib(-2), picture, error)) << error;  // top-down: kept as stored
  EXPECT_EQ(picture.pixels, (Bytes{1, 0, 0, 0, 0, 1, 1, 0}));

  // A core header, 1 bit, 9 wide: two-byte rows padded to four, colours
  // as triples, all rows kept.
  Bytes core;
  Put(core, 12), Put(core, 9, 2), Put(core, 2, 2), Put(core, 1, 2), Put(core, 1, 2);
  const Bytes coreRest = {0, 0, 0, 255, 255, 255, 0xFF, 0x80, 0, 0, 0x00, 0x00, 0, 0};
  core.insert(core.end(), coreRest.begin(), coreRest.end());
  ASSERT_TRUE(UnpackDib(core, picture, error)) << error;
  EXPECT_EQ(picture.bitsPerPixel, 1);
  EXPECT_EQ(picture.colors, (std::vector<uint32_t>{0, 0xFFFFFF}));
  EXPECT_EQ(picture.pixels, (Bytes{0, 0, 0, 0, 0xFF, 0x80, 0, 0}));

  // 16 bits with 5-6-5 masks after the header or the default 5-5-5; 32
  // bits with the default.
  Bytes masked = InfoHeader(1, 1, 16, 3);
  Put(masked, 0xF800), Put(masked, 0x07E0), Put(masked, 0x001F), Put(masked, 0xFFFF);
  ASSERT_TRUE(UnpackDib(masked, picture, error)) << error;
  EXPECT_EQ(picture.greenMask, 0x07E0u);
  EXPECT_EQ(picture.pixels, (Bytes{0xFF, 0xFF, 0, 0}));
  Bytes plain16 = InfoHeader(1, 1, 16);
  Put(plain16, 0x7FFF);
  ASSERT_TRUE(UnpackDib(plain16, picture, error)) << error;
  EXPECT_EQ((std::vector<uint32_t>{picture.redMask, picture.greenMask, picture.blueMask}),
            (std::vector<uint32_t>{0x7C00, 0x03E0, 0x001F}));
  Bytes plain32 = InfoHeader(1, 1, 32);
  Put(plain32, 0x00123456);
  ASSERT_TRUE(UnpackDib(plain32, picture, error)) << error;
  EXPECT_EQ((std::vector<uint32_t>{picture.redMask, picture.greenMask, picture.blueMask}),
            (std::vector<uint32_t>{0xFF0000, 0x00FF00, 0x0000FF}));
  EXPECT_TRUE(picture.colors.empty());

  // The limits themselves are allowed: a picture as wide as any may be, with
  // a full table of 256 colours.
  Bytes widest = InfoHeader(kMaxPictureSide, 1, 8, 0, 256);
  widest.resize(widest.size() + 4 * 256 + kMaxPictureSide);
  EXPECT_TRUE(UnpackDib(widest, picture, error)) << error;
}

TEST(UnpackDibTest, HostileHeadersAreRefused) {
  auto with = [](auto change) {
    Bytes b = SmallDib();
    change(b);
    return b;
  };
  const Bytes cases[] = {
      with([](Bytes& b) { Set32(b, 4, 0); }),              // no width
      with([](Bytes& b) { Set32(b, 8, 0x80000000u); }),    // INT_MIN rows
      // Too tall, too wide: every row is there, only the side limit refuses.
      with([](Bytes& b) { Set32(b, 8, 16385), b.resize(b.size() + 4 * 16385); }),
      with([](Bytes& b) { Set32(b, 4, 16385), Set32(b, 8, 1), b.resize(b.size() + 16388); }),
      with([](Bytes& b) { Set32(b, 32, 257); }),           // palette over 256
      with([](Bytes& b) { Set32(b, 8, 3); }),              // a row more than stored
      with([](Bytes& b) { b[14] = 7; }),                   // no such depth
      with([](Bytes& b) { b[12] = 2; }),                   // two planes
      with([](Bytes& b) { b[16] = 1; }),                   // RLE8
      with([](Bytes& b) { b[16] = 3; }),                   // masks on 8 bits
      with([](Bytes& b) { Set32(b, 0, 20); }),             // unknown header
      with([](Bytes& b) { Set32(b, 0, 0xFFFFFFF0u); }),    // header past the end
  };
  const Bytes good = SmallDib();
  std::vector<std::span<const uint8_t>> refused(std::begin(cases), std::end(cases));
  for (size_t size = 0; size < good.size(); ++size) refused.push_back({good.data(), size});
  for (size_t i = 0; i < refused.size(); ++i) {
    DibPicture picture;
    std::string error;
    EXPECT_FALSE(UnpackDib(refused[i], picture, error)) << "case " << i;
    EXPECT_FALSE(error.empty()) << "case " << i;
  }
}

}  // namespace
}  // namespace lumox
