// Rectangles, ellipses and polygons: edge conventions, fill rules and the
// properties that make shapes tile and mirror cleanly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "gfx/canvas.h"
#include "gfx/picture.h"
#include "gfx/scan_convert.h"

namespace lumox::gfx {
namespace {

using testing::Picture;

const ColorRef kPenInk = PaletteIndex(0);    // 'a'
const ColorRef kBrushInk = PaletteIndex(1);  // 'b'

Canvas& WithTools(Canvas& canvas, int penWidth = 1) {
  canvas.SelectPen(Pen::Solid(penWidth, kPenInk));
  canvas.SelectBrush(Brush::Solid(kBrushInk));
  return canvas;
}

TEST(Rectangle, PenOutlinesInsideTheBoxAndRightBottomAreExcluded) {
  Surface surface(7, 5);
  Canvas canvas(surface);
  WithTools(canvas).Rectangle(6, 4, 1, 0);  // corners in either order
  EXPECT_EQ(Picture(surface), R"(
.aaaaa.
.abbba.
.abbba.
.aaaaa.
.......)");
}

TEST(Rectangle, WidePenIsCentredOnTheOutermostPixels) {
  // A pen of width w reaches w / 2 pixels outwards from the box's outermost
  // pixels and (w - 1) / 2 inwards, as in GDI: width 2 adds a pixel on the
  // left and top only. The brush fills what lies inside the pen.
  Surface surface(7, 5);
  Canvas canvas(surface);
  WithTools(canvas, 2).Rectangle(1, 1, 7, 5);
  EXPECT_EQ(Picture(surface), R"(
aaaaaaa
aaaaaaa
aabbbaa
aaaaaaa
aaaaaaa)");
  // Width 4: the round pen rounds the outer corners.
  Surface wide(12, 10);
  Canvas w(wide);
  WithTools(w, 4).Rectangle(2, 2, 10, 8);
  EXPECT_EQ(Picture(wide), R"(
.aaaaaaaaa..
aaaaaaaaaaa.
aaaaaaaaaaa.
aaaaaaaaaaa.
aaaabbbaaaa.
aaaaaaaaaaa.
aaaaaaaaaaa.
aaaaaaaaaaa.
.aaaaaaaaa..
............)");
}

TEST(Rectangle, NullPenFillsOneLessOnTheRightAndBottom) {
  // In GDI the interior of Rectangle and Ellipse is always the box less its
  // right column and bottom row, so without a pen the shape is one pixel
  // smaller; code that steps filled bars by their drawn width relies on it.
  Surface surface(7, 5);
  Canvas canvas(surface);
  WithTools(canvas).SelectPen(Pen::Null());
  canvas.Rectangle(1, 0, 6, 4);
  EXPECT_EQ(Picture(surface), R"(
.bbbb..
.bbbb..
.bbbb..
.......
.......)");
}

TEST(FillRect, ExcludesRightAndBottomAndIgnoresTheRasterMode) {
  Surface surface(7, 5);
  Canvas canvas(surface);
  canvas.SetRasterMode(RasterMode::Not);
  canvas.FillRect(1, 1, 4, 3, Brush::Solid(kBrushInk));
  canvas.FillRect(5, 1, 5, 3, Brush::Solid(kBrushInk));  // empty
  // Swapped corners fill like a blit with negative extents, as in GDI: from
  // x = 6 leftwards one pixel, from y = 4 upwards two.
  canvas.FillRect(6, 4, 5, 2, Brush::Solid(kBrushInk));
  EXPECT_EQ(Picture(surface), R"(
.......
.bbb...
.bbb...
......b
......b)");
}

TEST(Polygon, FillsPixelCentresLeftAndTopInclusive) {
  Surface surface(7, 5);
  Canvas canvas(surface);
  WithTools(canvas).SelectPen(Pen::Null());
  const Point triangle[] = {{0, 0}, {6, 0}, {0, 4}};
  canvas.Polygon(triangle, 3);
  EXPECT_EQ(Picture(surface), R"(
bbbbbb.
bbbbb..
bbb....
bb.....
.......)");
}

TEST(Polygon, OutlineIsTheClosedPolylineOverTheFill) {
  Surface surface(7, 5);
  Canvas canvas(surface);
  const Point triangle[] = {{0, 0}, {6, 0}, {0, 4}};
  WithTools(canvas).Polygon(triangle, 3);
  EXPECT_EQ(Picture(surface), R"(
aaaaaaa
abbbaa.
abba...
aaa....
a......)");
}

TEST(Polygon, AlternateLeavesTheStarCentreWindingFillsIt) {
  const Point star[] = {{18, 0}, {29, 22}, {1, 8}, {35, 8}, {7, 22}};
  Surface surface(37, 23);
  Canvas canvas(surface);
  WithTools(canvas).SelectPen(Pen::Null());
  canvas.Polygon(star, 5);
  EXPECT_EQ(canvas.GetPixel(18, 12), 0);  // centre pentagon
  EXPECT_EQ(canvas.GetPixel(18, 3), 11);  // top point
  EXPECT_EQ(canvas.SetPolyFillMode(FillMode::Winding), FillMode::Alternate);
  canvas.Polygon(star, 5);
  EXPECT_EQ(canvas.GetPixel(18, 12), 11);
}

// Counts how often each pixel is painted when the shapes are drawn one by one.
class CoverageCount {
 public:
  CoverageCount(int width, int height) : width_(width), height_(height), counts_(width * height) {}
  void AddPolygon(const std::vector<Point>& points, FillMode mode = FillMode::Alternate) {
    Surface surface(width_, height_);
    Canvas canvas(surface);
    canvas.SelectPen(Pen::Null());
    canvas.SelectBrush(Brush::Solid(kWhite));
    canvas.SetPolyFillMode(mode);
    canvas.Polygon(points.data(), static_cast<int32_t>(points.size()));
    for (size_t i = 0; i < counts_.size(); ++i) counts_[i] += surface.data()[i] == 255;
  }
  int At(int x, int y) const { return counts_[y * width_ + x]; }

 private:
  int width_, height_;
  std::vector<int> counts_;
};

TEST(Polygon, TrianglesFannedFromAPointCoverThePolygonExactlyOnce) {
  std::mt19937 random(3);
  std::uniform_real_distribution<double> unit(0, 1);
  int tested = 0;
  for (int trial = 0; trial < 300; ++trial) {
    // A star-shaped polygon around a centre that may lie outside the
    // surface, so clipping is exercised too.
    const double cx = -5 + 47 * unit(random), cy = -5 + 33 * unit(random);
    const int n = 3 + static_cast<int>(unit(random) * 9);
    std::vector<double> angles;
    for (int i = 0; i < n; ++i) angles.push_back(unit(random) * 2 * M_PI);
    std::sort(angles.begin(), angles.end());
    std::vector<Point> polygon;
    for (double a : angles) {
      const double r = 3 + 30 * unit(random);
      polygon.push_back({static_cast<int32_t>(std::lround(cx + r * std::cos(a))),
                         static_cast<int32_t>(std::lround(cy + r * std::sin(a)))});
    }
    const Point centre{static_cast<int32_t>(std::lround(cx)),
                       static_cast<int32_t>(std::lround(cy))};
    // The fan tiles the polygon when every triangle turns the same way
    // (after rounding) and the vertices go once around the centre.
    bool fan_tiles = true;
    for (int i = 0; i < n; ++i) {
      const Point& a = polygon[i];
      const Point& b = polygon[(i + 1) % n];
      const int64_t cross =
          int64_t{a.x - centre.x} * (b.y - centre.y) - int64_t{a.y - centre.y} * (b.x - centre.x);
      if (cross <= 0) fan_tiles = false;
    }
    if (!fan_tiles) continue;
    ++tested;
    CoverageCount whole(37, 23), fan(37, 23);
    whole.AddPolygon(polygon, FillMode::Winding);
    for (int i = 0; i < n; ++i) fan.AddPolygon({centre, polygon[i], polygon[(i + 1) % n]});
    for (int y = 0; y < 23; ++y)
      for (int x = 0; x < 37; ++x)
        ASSERT_EQ(fan.At(x, y), whole.At(x, y)) << "trial " << trial << " at " << x << "," << y;
  }
  EXPECT_GT(tested, 100);
}

TEST(Polygon, QuadsOfAJitteredGridTileWithoutGapOrOverlap) {
  std::mt19937 random(9);
  std::uniform_int_distribution<int> jitter(-3, 3);
  constexpr int kColumns = 6, kRows = 4;
  Point grid[kRows + 1][kColumns + 1];
  for (int j = 0; j <= kRows; ++j)
    for (int i = 0; i <= kColumns; ++i)
      grid[j][i] = {i * 8 - 4 + (i % kColumns ? jitter(random) : 0),
                    j * 7 - 3 + (j % kRows ? jitter(random) : 0)};
  CoverageCount count(37, 23);
  for (int j = 0; j < kRows; ++j)
    for (int i = 0; i < kColumns; ++i)
      count.AddPolygon({grid[j][i], grid[j][i + 1], grid[j + 1][i + 1], grid[j + 1][i]});
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) ASSERT_EQ(count.At(x, y), 1) << x << "," << y;
}

TEST(Polygon, HugeVerticesFillTheVisiblePart) {
  Surface surface(37, 23);
  Canvas canvas(surface);
  WithTools(canvas).SelectPen(Pen::Null());
  const Point huge[] = {{-1000000000, -1000000000},
                        {1000000000, -1000000000},
                        {1000000000, 1000000000},
                        {-1000000000, 1000000000}};
  canvas.Polygon(huge, 4);
  EXPECT_EQ(testing::CountPixels(surface, 11), 37 * 23);
  // A half plane through the surface: x + y < 30 (points on x + y = 30 are
  // on the right-hand edge of the big triangle, so excluded).
  surface.Fill(0);
  const Point half[] = {
      {-1000000000, -1000000000}, {30 + 1000000000, -1000000000}, {-1000000000, 30 + 1000000000}};
  canvas.Polygon(half, 3);
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) ASSERT_EQ(surface.row(y)[x], x + y < 30 ? 11 : 0) << x << "," << y;
}

TEST(Ellipse, OutlineAndInteriorOnAnOddBox) {
  Surface surface(9, 7);
  Canvas canvas(surface);
  WithTools(canvas).Ellipse(0, 0, 9, 6);
  EXPECT_EQ(Picture(surface), R"(
..aaaaa..
.abbbbba.
abbbbbbba
abbbbbbba
.abbbbba.
..aaaaa..
.........)");
}

TEST(Ellipse, FlatNarrowAndTinyBoxes) {
  // The curve runs through the outermost pixel centres: the top row of a
  // 7 x 5 ellipse is three pixels wide and a two-row box is a full bar. The
  // pictures are GDI's.
  Surface surface(7, 7);
  Canvas canvas(surface);
  canvas.SelectPen(Pen::Solid(1, kPenInk));
  canvas.SelectBrush(Brush::Null());
  canvas.Ellipse(0, 0, 7, 5);
  canvas.Ellipse(1, 5, 6, 7);
  EXPECT_EQ(Picture(surface), R"(
..aaa..
aa...aa
a.....a
aa...aa
..aaa..
.aaaaa.
.aaaaa.)");
  // A narrow tall ellipse loses its tips; a 3 x 3 one is a plus; a single
  // pixel box has no outline.
  Surface narrow(5, 10);
  Canvas n(narrow);
  WithTools(n).Ellipse(1, 1, 4, 9);
  n.Ellipse(4, 0, 5, 1);
  EXPECT_EQ(Picture(narrow), R"(
.....
.....
..a..
.aba.
.aba.
.aba.
.aba.
..a..
.....
.....)");
  Surface tiny(3, 3);
  Canvas t(tiny);
  WithTools(t).Ellipse(0, 0, 3, 3);
  EXPECT_EQ(Picture(tiny), R"(
.a.
aba
.a.)");
}

TEST(Ellipse, RowsWalkedIncrementallyMatchRowsComputedAlone) {
  // The canvas walks ellipse rows incrementally from the centre outwards;
  // each must equal the row computed on its own, for any window of rows,
  // small boxes and boxes too big for the incremental walk alike.
  std::mt19937 random(29);
  std::uniform_int_distribution<int64_t> size(1, 700), offset(-300, 300);
  std::vector<RowSpan> rows;
  for (int trial = 0; trial < 300; ++trial) {
    const int64_t w = trial % 10 == 0 ? int64_t{1} << 16 : size(random);
    const int64_t h = trial % 15 == 0 ? int64_t{1} << 17 : size(random);
    const int64_t left = offset(random), top = offset(random);
    const EllipseRows box(left, top, left + w, top + h);
    const int64_t from = box.top() + offset(random), to = from + size(random);
    box.Rows(from, to, rows);
    ASSERT_EQ(rows.size(), static_cast<size_t>(to - from));
    for (int64_t y = from; y < to; ++y) {
      const RowSpan alone = box.Row(y);
      ASSERT_EQ(rows[y - from].left, alone.left) << w << "x" << h << " row " << y;
      ASSERT_EQ(rows[y - from].right, alone.right) << w << "x" << h << " row " << y;
    }
  }
}

TEST(Ellipse, WithoutAPenFillsTheSameShape) {
  // Unlike Rectangle, GDI's Ellipse keeps its size without a pen.
  Surface withPen(9, 7), withoutPen(9, 7);
  Canvas a(withPen), b(withoutPen);
  WithTools(a).SelectPen(Pen::Solid(1, kBrushInk));
  a.Ellipse(0, 0, 9, 6);
  WithTools(b).SelectPen(Pen::Null());
  b.Ellipse(0, 0, 9, 6);
  EXPECT_EQ(Picture(withoutPen), Picture(withPen));
}

TEST(Ellipse, WidePenIsDrawnAlongTheOnePixelOutline) {
  // GDI's pen of width 3 along each pixel of the one-pixel outline of the
  // box, with the bands of its diagonal steps, which round towards the
  // right: so rows 3 and 10 reach one column further right than left, and
  // rows 4 and 9 one column further left than right.
  Surface surface(18, 14);
  Canvas canvas(surface);
  WithTools(canvas, 3).Ellipse(2, 2, 15, 12);
  EXPECT_EQ(Picture(surface), R"(
..................
......aaaaaaa.....
....aaaaaaaaaaa...
..aaaaaaaaaaaaaa..
.aaaaaaabbbaaaa...
.aaaaabbbbbbaaaa..
.aaaabbbbbbbbaaa..
.aaaabbbbbbbbaaa..
.aaaaabbbbbbaaaa..
.aaaaaaabbbaaaa...
..aaaaaaaaaaaaaa..
....aaaaaaaaaaa...
......aaaaaaa.....
..................)");
  // A one-pixel box's outline is that point: the pen's dot.
  Surface dot(5, 5);
  Canvas dotCanvas(dot);
  WithTools(dotCanvas, 3).Ellipse(2, 2, 3, 3);
  EXPECT_EQ(Picture(dot), R"(
.....
..a..
.aaa.
..a..
.....)");
}

TEST(Ellipse, IsMirrorSymmetricAndReachesItsBox) {
  std::mt19937 random(21);
  std::uniform_int_distribution<int> column(5, 39), row(5, 25);
  std::uniform_int_distribution<int> widths(0, 6);
  for (int trial = 0; trial < 300; ++trial) {
    int l = column(random), r = column(random), t = row(random), b = row(random);
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    const int width = widths(random);
    Surface surface(44, 30);
    Canvas canvas(surface);
    WithTools(canvas, width).Ellipse(l, t, r, b);
    if (r == l || b == t) {
      ASSERT_EQ(testing::CountPixels(surface, 0), 44 * 30);
      continue;
    }
    // The pen reaches w / 2 outwards on the left and top and (w - 1) / 2 on
    // the right and bottom. A one-pixel outline is symmetric within that
    // box; a wide one is not quite, as GDI's is not: where the outline steps
    // diagonally the pen's band between the two pixels rounds towards the
    // right.
    const int w = std::max(width, 1);
    const int ol = l - w / 2, ot = t - w / 2, orr = r + (w - 1) / 2, ob = b + (w - 1) / 2;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 44; ++x) {
        const uint8_t p = surface.row(y)[x];
        if (x < ol || x >= orr || y < ot || y >= ob) {
          ASSERT_EQ(p, 0) << "outside the box";
          continue;
        }
        if (w > 1) continue;
        ASSERT_EQ(p, surface.row(y)[ol + orr - 1 - x]) << "left-right at " << x << "," << y;
        ASSERT_EQ(p, surface.row(ot + ob - 1 - y)[x]) << "top-bottom at " << x << "," << y;
      }
    // The outline covers the middles of the left and right sides of the box
    // (the upper middle row: an even pen leans half a pixel up). The top and
    // bottom are not always reached: GDI leaves off the tips of narrow
    // ellipses (FlatNarrowAndTinyBoxes pins one).
    const std::string box = "width " + std::to_string(width) + " box " + std::to_string(l) + "," +
                            std::to_string(t) + "," + std::to_string(r) + "," + std::to_string(b);
    const int middleRow = (t + b - 1) / 2;
    EXPECT_EQ(surface.row(middleRow)[l], 10) << box;
    EXPECT_EQ(surface.row(middleRow)[r - 1], 10) << box;
  }
}

TEST(Ellipse, OnePixelOutlineHasNoGaps) {
  // Every outline pixel of a large ellipse has an outline neighbour on each
  // side along the curve: counting 8-connected neighbours, each has two.
  Surface surface(37, 23);
  Canvas canvas(surface);
  canvas.SelectPen(Pen::Solid(1, kPenInk));
  canvas.SelectBrush(Brush::Null());
  canvas.Ellipse(1, 1, 36, 22);
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) {
      if (surface.row(y)[x] != 10) continue;
      int neighbours = 0;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
          if ((dx || dy) && canvas.GetPixel(x + dx, y + dy) == 10) ++neighbours;
      EXPECT_GE(neighbours, 2) << x << "," << y;
    }
}

// The pixels a shape covers, painted white on black.
Surface ShapeMask(int penWidth, bool ellipse) {
  Surface mask(37, 23);
  Canvas canvas(mask);
  canvas.SelectPen(Pen::Solid(penWidth, kWhite));
  canvas.SelectBrush(Brush::Solid(kWhite));
  if (ellipse)
    canvas.Ellipse(2, 1, 33, 21);
  else
    canvas.Rectangle(20, 3, 36, 12);
  return mask;
}

TEST(Shapes, InvertingModeInvertsEveryPixelOfTheShapeOnce) {
  // With R2_NOT the pen ring and the brush interior are disjoint, so each
  // pixel of a shape is inverted exactly once, and where two shapes overlap
  // the pixels are inverted twice, back to black.
  for (int width : {1, 3, 8}) {
    Surface inverted(37, 23);
    Canvas invert(inverted);
    invert.SetRasterMode(RasterMode::Not);
    invert.SelectPen(Pen::Solid(width, kBlack));
    invert.SelectBrush(Brush::Solid(kBlack));
    invert.Ellipse(2, 1, 33, 21);
    invert.Rectangle(20, 3, 36, 12);
    const Surface ellipse = ShapeMask(width, true), rectangle = ShapeMask(width, false);
    for (int y = 0; y < 23; ++y)
      for (int x = 0; x < 37; ++x) {
        const bool once = (ellipse.row(y)[x] == 255) != (rectangle.row(y)[x] == 255);
        ASSERT_EQ(inverted.row(y)[x], once ? 255 : 0)
            << "width " << width << " at " << x << "," << y;
      }
  }
}

TEST(Shapes, HugeAndDegenerateBoxesAreSafe) {
  Surface surface(37, 23);
  Canvas canvas(surface);
  WithTools(canvas, 3);
  canvas.Ellipse(-1000000000, -1000000000, 1000000000, 1000000000);
  EXPECT_EQ(canvas.GetPixel(18, 11), 11);  // inside: brush
  canvas.Ellipse(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
  canvas.Rectangle(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
  EXPECT_EQ(testing::CountPixels(surface, 11), 37 * 23);
  surface.Fill(0);
  canvas.Ellipse(5, 5, 5, 9);
  canvas.Rectangle(5, 5, 9, 5);
  canvas.Polygon(nullptr, 0);
  EXPECT_EQ(testing::CountPixels(surface, 0), 37 * 23);
}

}  // namespace
}  // namespace lumox::gfx
