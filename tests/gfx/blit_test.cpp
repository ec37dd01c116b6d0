// Blits, stretching, mirroring and palette-index DIBs.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "gfx/canvas.h"
#include "gfx/picture.h"

namespace lumox::gfx {
namespace {

using testing::Paint;
using testing::Picture;

// An asymmetric picture: an "F" with a marked corner.
constexpr const char* kF = R"(
abbbbc.
a......
abbb...
a......
a.....d)";

Surface FSurface() {
  Surface s(7, 5);
  Paint(s, kF);
  return s;
}

TEST(PatBlt, FillsInvertsAndMirrorsNegativeExtents) {
  Surface surface = FSurface();
  Canvas canvas(surface);
  canvas.PatBlt(0, 0, 2, 2, RasterOp::Blackness);
  canvas.PatBlt(5, 3, -3, -2, RasterOp::Whiteness);  // covers x 3-5, y 2-3
  canvas.PatBlt(6, 4, 1, 1, RasterOp::DstInvert);
  EXPECT_EQ(Picture(surface), R"(
..bbbc.
.......
abb###.
a..###.
a.....?)");
  EXPECT_EQ(surface.row(4)[6], 13 ^ 0xFF);
  canvas.PatBlt(0, 0, 7, 5, RasterOp::DstInvert);
  EXPECT_EQ(surface.row(0)[0], 255);  // black and white swap
  EXPECT_EQ(surface.row(0)[2], 11 ^ 0xFF);
}

TEST(BitBlt, CopiesAndLeavesWhatLiesOutsideTheSource) {
  Surface source = FSurface();
  Surface target(7, 5);
  Canvas from(source), to(target);
  to.BitBlt(2, 1, 7, 5, from, 0, 0);
  EXPECT_EQ(Picture(target), R"(
.......
..abbbb
..a....
..abbb.
..a....)");
  target.Fill(255);
  to.BitBlt(0, 0, 7, 5, from, 3, 2);  // source runs out at its right and bottom
  EXPECT_EQ(Picture(target), R"(
b...###
....###
...d###
#######
#######)");
}

TEST(StretchBlt, NegativeExtentsMirror) {
  Surface source = FSurface();
  Canvas from(source);
  Surface target(7, 5);
  Canvas to(target);
  // A negative width runs leftwards from its origin, which it includes.
  to.StretchBlt(6, 0, -7, 5, from, 0, 0, 7, 5);
  EXPECT_EQ(Picture(target), R"(
.cbbbba
......a
...bbba
......a
d.....a)");
  Surface viaSource(7, 5);
  Canvas(viaSource).StretchBlt(0, 0, 7, 5, from, 6, 0, -7, 5);
  EXPECT_EQ(Picture(viaSource), Picture(target));

  to.StretchBlt(0, 4, 7, -5, from, 0, 0, 7, 5);
  EXPECT_EQ(Picture(target), R"(
a.....d
a......
abbb...
a......
abbbbc.)");
  // Mirrored both ways twice is a plain copy.
  to.StretchBlt(6, 4, -7, -5, from, 6, 4, -7, -5);
  EXPECT_EQ(Picture(target), Picture(source));
}

TEST(StretchBlt, OneRowStripsMirrorInPlaceLikeTileEdges) {
  // Copy row 0's first four pixels reversed onto row 2 at x = 3..6: the
  // destination origin is x + width - 1 with a negative width.
  Surface surface = FSurface();
  Canvas canvas(surface);
  canvas.StretchBlt(3 + 4 - 1, 2, -4, 1, canvas, 0, 0, 4, 1);
  EXPECT_EQ(Picture(surface), R"(
abbbbc.
a......
abbbbba
a......
a.....d)");
}

TEST(StretchBlt, RepeatsAndDropsPixels) {
  Surface source(4, 1);
  Paint(source, "\nabcd");
  Canvas from(source);
  Surface wide(8, 2);
  Canvas(wide).StretchBlt(0, 0, 8, 2, from, 0, 0, 4, 1);
  EXPECT_EQ(Picture(wide), R"(
aabbccdd
aabbccdd)");
  // Halving keeps the second pixel of each pair (GDI's shrinking keeps the
  // last source pixel).
  Surface narrow(2, 1);
  Canvas(narrow).StretchBlt(0, 0, 2, 1, from, 0, 0, 4, 1);
  EXPECT_EQ(Picture(narrow), "\nbd");
  // Three to seven: each destination pixel takes the source pixel under its
  // centre, so the copies are 2, 3, 2 wide and symmetric. Ties go left: four
  // to ten gives 3, 2, 3, 2.
  Surface seven(7, 1);
  Canvas(seven).StretchBlt(0, 0, 7, 1, from, 0, 0, 3, 1);
  EXPECT_EQ(Picture(seven), "\naabbbcc");
  Surface ten(10, 1);
  Canvas(ten).StretchBlt(0, 0, 10, 1, from, 0, 0, 4, 1);
  EXPECT_EQ(Picture(ten), "\naaabbcccdd");
}

TEST(BitBlt, OverlappingCopiesWithinOneSurfaceReadTheSourceFirst) {
  std::mt19937 random(31);
  std::uniform_int_distribution<int> c(-6, 30);
  for (int trial = 0; trial < 300; ++trial) {
    Surface surface(37, 23);
    for (size_t i = 0; i < surface.size(); ++i) surface.data()[i] = static_cast<uint8_t>(random());
    Surface snapshot = surface;
    const int x = c(random), y = c(random) % 23, w = c(random) - 6, h = c(random) % 23 - 6;
    const int sx = c(random), sy = c(random) % 23;
    const int sw = trial % 2 ? w : -w - (c(random) % 5), sh = trial % 3 ? h : -h;
    Canvas canvas(surface);
    canvas.StretchBlt(x, y, w, h, canvas, sx, sy, sw, sh);
    Canvas reference(snapshot);
    Surface copy = snapshot;
    Canvas from(copy);
    reference.StretchBlt(x, y, w, h, from, sx, sy, sw, sh);
    ASSERT_EQ(Picture(surface), Picture(snapshot)) << "trial " << trial;
  }
}

TEST(StretchBlt, MirroredWideRowsMatchAPlainReversal) {
  // Rows long enough to take the eight-bytes-at-a-time path, odd lengths.
  Surface source(101, 3);
  for (size_t i = 0; i < source.size(); ++i) source.data()[i] = static_cast<uint8_t>(i * 13 + 1);
  Surface target(101, 3);
  Canvas from(source), to(target);
  to.StretchBlt(100, 0, -101, 3, from, 0, 0, 101, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 101; ++x) ASSERT_EQ(target.row(y)[x], source.row(y)[100 - x]);
}

// Packs a top-down picture of saver indices into DIB rows, padded to four
// bytes, bottom-up when asked.
std::vector<uint8_t> DibBits(const std::vector<std::vector<uint8_t>>& rows, bool bottomUp) {
  const int width = static_cast<int>(rows[0].size());
  const int stride = (width + 3) & ~3;
  std::vector<uint8_t> bits(static_cast<size_t>(stride) * rows.size(), 0xEE);
  for (size_t r = 0; r < rows.size(); ++r) {
    const size_t memoryRow = bottomUp ? rows.size() - 1 - r : r;
    std::copy(rows[r].begin(), rows[r].end(), bits.begin() + memoryRow * stride);
  }
  return bits;
}

const std::vector<std::vector<uint8_t>> kDibPicture = {
    {0, 1, 1, 1, 2},
    {0, 3, 3, 3, 3},
    {0, 1, 1, 4, 4},
};

TEST(Dib, BottomUpAndTopDownDrawTheSamePicture) {
  const std::vector<uint8_t> up = DibBits(kDibPicture, true), down = DibBits(kDibPicture, false);
  Surface a(7, 5), b(7, 5);
  Canvas(a).StretchDIBits(1, 1, 5, 3, 0, 0, 5, 3, DibView{up.data(), 5, 3, nullptr, 0});
  Canvas(b).StretchDIBits(1, 1, 5, 3, 0, 0, 5, 3, DibView{down.data(), 5, -3, nullptr, 0});
  EXPECT_EQ(Picture(a), R"(
.......
.abbbc.
.adddd.
.abbee.
.......)");
  EXPECT_EQ(Picture(b), Picture(a));
}

TEST(Dib, ColourTableEntriesAreSaverIndices) {
  const std::vector<uint8_t> bits = DibBits(kDibPicture, false);
  const uint16_t table[] = {7, 6, 5};  // pixel 0 -> saver 7 ('h'), 1 -> 'g', 2 -> 'f'
  Surface s(5, 3);
  Canvas(s).StretchDIBits(0, 0, 5, 3, 0, 0, 5, 3, DibView{bits.data(), 5, -3, table, 3});
  // Values past the table are taken as saver indices themselves.
  EXPECT_EQ(Picture(s), R"(
hgggf
hdddd
hggee)");
}

TEST(Dib, BottomUpSourceRowsCountFromTheBottom) {
  const std::vector<uint8_t> up = DibBits(kDibPicture, true);
  const DibView dib{up.data(), 5, 3, nullptr, 0};
  Surface s(5, 2);
  // Source rows 1-2 counted from the bottom are the picture's top two rows.
  Canvas(s).StretchDIBits(0, 0, 5, 2, 0, 1, 5, 2, dib);
  EXPECT_EQ(Picture(s), R"(
abbbc
adddd)");
  // A one-pixel-wide column bitmap, as a ring painter uses: memory row 0
  // (the first value written) lands on the bottom destination row.
  const uint8_t column[] = {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0};
  Surface c(1, 3);
  Canvas(c).StretchDIBits(0, 0, 1, 3, 0, 0, 1, 3, DibView{column, 1, 4, nullptr, 0});
  EXPECT_EQ(Picture(c), "\nd\nc\nb");
}

TEST(Dib, StretchedAndMirroredLikeSurfaces) {
  const std::vector<uint8_t> down = DibBits(kDibPicture, false);
  Surface s(10, 3);
  Canvas(s).StretchDIBits(9, 0, -10, 3, 0, 0, 5, 3, DibView{down.data(), 5, -3, nullptr, 0});
  EXPECT_EQ(Picture(s), R"(
ccbbbbbbaa
ddddddddaa
eeeebbbbaa)");
}

TEST(Dib, SetDIBitsToDeviceDrawsTheScanLinesGiven) {
  // Bottom-up picture of 3 rows; the buffer holds only scan lines 1-2
  // (counted from the bottom), the middle and top rows.
  const std::vector<uint8_t> all = DibBits(kDibPicture, true);
  const int stride = 8;
  const DibView band{all.data() + stride, 5, 3, nullptr, 0};
  Surface s(5, 3);
  Canvas(s).SetDIBitsToDevice(0, 0, 5, 3, 0, 0, 1, 2, band);
  EXPECT_EQ(Picture(s), R"(
abbbc
adddd
.....)");
}

TEST(Dib, TopDownSourceRowsAndScanLinesCountFromTheBottomToo) {
  // GDI numbers the rows of a top-down DIB from the bottom as well: source
  // row 1 of 3 with height 2 is the picture's top two rows.
  const std::vector<uint8_t> down = DibBits(kDibPicture, false);
  const DibView dib{down.data(), 5, -3, nullptr, 0};
  Surface s(5, 3);
  Canvas(s).StretchDIBits(0, 0, 5, 2, 0, 1, 5, 2, dib);
  EXPECT_EQ(Picture(s), R"(
abbbc
adddd
.....)");
  Surface t(5, 3);
  Canvas(t).SetDIBitsToDevice(1, 0, 3, 2, 2, 1, 0, 3, dib);
  EXPECT_EQ(Picture(t), R"(
.bbc.
.ddd.
.....)");
  // A band of two scan lines starting at scan line 1 (from the bottom) is
  // the top two rows; the buffer holds them top down.
  Surface u(5, 3);
  Canvas(u).SetDIBitsToDevice(0, 0, 5, 3, 0, 0, 1, 2, DibView{down.data() + 8, 5, -3, nullptr, 0});
  EXPECT_EQ(Picture(u), R"(
adddd
abbee
.....)");
  Surface v(5, 3);
  Canvas(v).SetDIBitsToDevice(0, 0, 5, 3, 0, 0, 0, 2, dib);
  EXPECT_EQ(Picture(v), R"(
.....
abbbc
adddd)");
}

TEST(Dib, DegenerateInputDrawsNothing) {
  Surface s(5, 3);
  Canvas canvas(s);
  canvas.StretchDIBits(0, 0, 5, 3, 0, 0, 5, 3, DibView{});
  const uint8_t pixel = 1;
  canvas.StretchDIBits(0, 0, 0, 3, 0, 0, 1, 1, DibView{&pixel, 1, 1, nullptr, 0});
  canvas.SetDIBitsToDevice(0, 0, 5, 3, 0, 0, 0, 0, DibView{&pixel, 1, 1, nullptr, 0});
  canvas.SetDIBitsToDevice(0, 0, -5, 3, 0, 0, 0, 1, DibView{&pixel, 1, 1, nullptr, 0});
  EXPECT_EQ(testing::CountPixels(s, 0), 15);
}

}  // namespace
}  // namespace lumox::gfx
