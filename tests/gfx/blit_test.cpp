// Blits, stretching, mirroring and palette-index DIBs.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "gfx/canvas.h"
#include "gfx/picture.h"

namespace lumox::gfx {
namespace {

using testing::CountPixels;
using testing::Drawn;

TEST(StretchBlt, MirrorsRepeatsAndDropsPixels) {
  Surface source(4, 1);
  for (int x = 0; x < 4; ++x) source.row(0)[x] = testing::CharPixel("abcd"[x]);
  Canvas from(source);
  auto stretch = [&](int x, int w, int sx, int sw) {
    return Drawn(std::abs(w), 1, [&](Canvas& c) { c.StretchBlt(x, 0, w, 1, from, sx, 0, sw, 1); });
  };
  // Halving keeps the second pixel of each pair (GDI keeps the last). Each
  // destination pixel takes the source pixel under its centre, an exact tie
  // going to the earlier one: four to ten is 3, 2, 3, 2. Negative extents
  // include their origin; both negative, the copy is upright.
  EXPECT_EQ(stretch(0, 2, 0, 4), "\nbd");
  EXPECT_EQ(stretch(0, 10, 0, 4), "\naaabbcccdd");
  EXPECT_EQ(stretch(3, -4, 3, -4), "\nabcd");
}

TEST(BitBlt, CopiesWithinOneSurfaceReadTheWholeSourceBeforeWriting) {
  const std::string original = "\nabcde\nfghij\nklmno\npqrst";
  const std::pair<Point, std::string> moves[] = {
      {{1, 1}, "\nabcde\nfabcj\nkfgho\npklmt"},   // down and to the right
      {{-1, -1}, "\nghide\nlmnij\nqrsno\npqrst"}};  // up and to the left
  for (const auto& [by, expected] : moves) {
    Surface surface(5, 4);
    for (int i = 0; i < 20; ++i) surface.data()[i] = testing::CharPixel(original[1 + i + i / 5]);
    Canvas canvas(surface);
    canvas.BitBlt(std::max(by.x, 0), std::max(by.y, 0), 3, 3, canvas, std::max(-by.x, 0),
                  std::max(-by.y, 0));
    EXPECT_EQ(testing::Picture(surface), expected) << by.x;
  }
}

TEST(StretchBlt, ExtentsNearTheLimitRepeatOrDropThePixelAtTheMiddle) {
  // Over 2^31 - 1 destination pixels, 2^31 - 2 source pixels repeat one:
  // the centre of destination pixel j lies at (j + 1/2)(1 - 1/d) in the
  // source, below j from j = 2^30 - 1 on. The other way round one source
  // pixel is dropped there, columns keeping the last pixel under each
  // destination pixel and rows the first, so columns drop it one earlier.
  // The visible window of 21 pixels is centred on that point.
  constexpr int32_t kLong = INT32_MAX, kShort = INT32_MAX - 1, kMiddle = (1 << 30) - 1;
  struct Case {
    bool vertical;
    int32_t destination, source, pivot;
    const char* expected;
  } const cases[] = {
      {false, kLong, kShort, kMiddle, "abcdefghijjklmnopqrst"},
      {true, kLong, kShort, kMiddle, "abcdefghijjklmnopqrst"},
      {false, kShort, kLong, kMiddle - 1, "abcdefghijlmnopqrstu."},
      {true, kShort, kLong, kMiddle, "abcdefghijlmnopqrstu."},
  };
  const std::string letters = "abcdefghijklmnopqrstu";
  for (const Case& c : cases) {
    Surface source(c.vertical ? 1 : 21, c.vertical ? 21 : 1);
    for (int i = 0; i < 21; ++i) source.data()[i] = testing::CharPixel(letters[i]);
    Canvas from(source);
    const int32_t origin = 10 - c.pivot;  // destination pixel 10 is extent pixel `pivot`
    std::string row = Drawn(source.width(), source.height(), [&](Canvas& k) {
      if (c.vertical)
        k.StretchBlt(0, origin, 1, c.destination, from, 0, origin, 1, c.source);
      else
        k.StretchBlt(origin, 0, c.destination, 1, from, origin, 0, c.source, 1);
    });
    row.erase(std::remove(row.begin(), row.end(), '\n'), row.end());
    EXPECT_EQ(row, c.expected) << (c.vertical ? "rows " : "columns ") << c.destination;
  }
}

TEST(StretchBlt, MirroredWideRowsMatchAPlainReversal) {
  // Rows long enough for the many-bytes-at-a-time paths, odd lengths.
  for (int width : {101, 37, 8}) {
    Surface source(width, 2), target(width, 2);
    for (size_t i = 0; i < source.size(); ++i) source.data()[i] = static_cast<uint8_t>(i * 13 + 1);
    Canvas(target).StretchBlt(width - 1, 0, -width, 2, Canvas(source), 0, 0, width, 2);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < width; ++x) ASSERT_EQ(target.row(y)[x], source.row(y)[width - 1 - x]);
  }
}

// Packs a top-down picture of saver indices into DIB rows, padded to four
// bytes, bottom-up when asked.
std::vector<uint8_t> DibBits(bool bottomUp) {
  const uint8_t rows[3][5] = {{0, 1, 1, 1, 2}, {0, 3, 3, 3, 3}, {0, 1, 1, 4, 4}};
  std::vector<uint8_t> bits(8 * 3, 0xEE);
  for (int r = 0; r < 3; ++r)
    std::copy(rows[r], rows[r] + 5, bits.begin() + 8 * (bottomUp ? 2 - r : r));
  return bits;
}

const std::vector<uint8_t> kUp = DibBits(true), kDown = DibBits(false);
const DibView kUpDib{kUp.data(), 5, 3, nullptr, 0}, kDownDib{kDown.data(), 5, -3, nullptr, 0};

TEST(Dib, PicturesOfTransfers) {
  const uint16_t table[] = {7, 6, 5};  // pixel 0 -> saver 7 ('h'), 1 -> 'g', 2 -> 'f'
  const uint8_t column[] = {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0};
  EXPECT_EQ(
      Drawn(66, 3,
            [&](Canvas& c) {
              // Bottom-up and top-down DIBs draw the same picture.
              c.StretchDIBits(0, 0, 5, 3, 0, 0, 5, 3, kUpDib);
              c.StretchDIBits(6, 0, 5, 3, 0, 0, 5, 3, kDownDib);
              // Values past the colour table are saver indices.
              c.StretchDIBits(12, 0, 5, 3, 0, 0, 5, 3, DibView{kDown.data(), 5, -3, table, 3});
              // Source rows count from the bottom, for top-down DIBs
              // too: rows 1-2 are the picture's top two.
              c.StretchDIBits(18, 0, 5, 2, 0, 1, 5, 2, kUpDib);
              c.StretchDIBits(24, 0, 5, 2, 0, 1, 5, 2, kDownDib);
              // A one-pixel column, as a ring painter uses: memory row
              // 0 (the first value) lands on the bottom row.
              c.StretchDIBits(30, 0, 1, 3, 0, 0, 1, 3, DibView{column, 1, 4, nullptr, 0});
              c.StretchDIBits(41, 0, -10, 3, 0, 0, 5, 3, kDownDib);  // mirrored, doubled
              // Buffers of scan lines 1-2 (from the bottom): the middle
              // and top rows, bottom-up or top-down; then scan lines
              // 0-1, and part of a top-down DIB.
              c.SetDIBitsToDevice(43, 0, 5, 3, 0, 0, 1, 2, DibView{kUp.data() + 8, 5, 3});
              c.SetDIBitsToDevice(49, 0, 5, 3, 0, 0, 1, 2, DibView{kDown.data() + 8, 5, -3});
              c.SetDIBitsToDevice(55, 0, 5, 3, 0, 0, 0, 2, kDownDib);
              c.SetDIBitsToDevice(62, 0, 3, 2, 2, 1, 0, 3, kDownDib);
            }),
      R"(
abbbc.abbbc.hgggf.abbbc.abbbc.d.ccbbbbbbaa.abbbc.adddd........bbc.
adddd.adddd.hdddd.adddd.adddd.c.ddddddddaa.adddd.abbee.abbbc..ddd.
abbee.abbee.hggee.............b.eeeebbbbaa.............adddd......)");
}

TEST(Dib, DegenerateInputDrawsNothing) {
  Surface s(5, 3);
  Canvas canvas(s);
  const uint8_t pixel = 1;
  canvas.StretchDIBits(0, 0, 5, 3, 0, 0, 5, 3, DibView{});
  canvas.StretchDIBits(0, 0, 0, 3, 0, 0, 1, 1, DibView{&pixel, 1, 1, nullptr, 0});
  canvas.SetDIBitsToDevice(0, 0, 5, 3, 0, 0, 0, 0, DibView{&pixel, 1, 1, nullptr, 0});
  canvas.SetDIBitsToDevice(0, 0, -5, 3, 0, 0, 0, 1, DibView{&pixel, 1, 1, nullptr, 0});
  EXPECT_EQ(CountPixels(s, 0), 15);
}

}  // namespace
}  // namespace lumox::gfx
