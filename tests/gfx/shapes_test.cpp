// Rectangles, ellipses and polygons: GDI's pictures of the edge
// conventions, and the properties that make shapes tile and mirror cleanly.
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

using testing::CountPixels;
using testing::Drawn;
using testing::kBrushInk;
using testing::kPenInk;
using testing::Picture;
using testing::WithTools;

const Point kTriangle[] = {{0, 0}, {6, 0}, {0, 4}};

struct PictureCase {
  const char* what;
  int width, height;
  void (*draw)(Canvas&);
  const char* expected;
};

const PictureCase kPictures[] = {
    {"rectangle, corners either way: pen on the outermost pixels, right and bottom out", 7, 5,
     [](Canvas& c) { WithTools(c).Rectangle(6, 4, 1, 0); }, R"(
.aaaaa.
.abbba.
.abbba.
.aaaaa.
.......)"},
    // A pen of width w reaches w / 2 outwards and (w - 1) / 2 inwards.
    {"rectangle, pen width 2", 7, 5, [](Canvas& c) { WithTools(c, 2).Rectangle(1, 1, 7, 5); },
     R"(
aaaaaaa
aaaaaaa
aabbbaa
aaaaaaa
aaaaaaa)"},
    {"rectangle, round pen width 4", 12, 10,
     [](Canvas& c) { WithTools(c, 4).Rectangle(2, 2, 10, 8); }, R"(
.aaaaaaaaa..
aaaaaaaaaaa.
aaaaaaaaaaa.
aaaaaaaaaaa.
aaaabbbaaaa.
aaaaaaaaaaa.
aaaaaaaaaaa.
aaaaaaaaaaa.
.aaaaaaaaa..
............)"},
    // Without a pen GDI's rectangle loses its right column and bottom row;
    // code that steps filled bars by their drawn width relies on it.
    {"rectangle without a pen", 7, 5,
     [](Canvas& c) {
       WithTools(c).SelectPen(Pen::Null());
       c.Rectangle(1, 0, 6, 4);
     },
     R"(
.bbbb..
.bbbb..
.bbbb..
.......
.......)"},
    // Swapped corners fill like a blit with negative extents: from x = 6
    // leftwards one pixel, from y = 4 upwards two. The raster mode is
    // ignored.
    {"FillRect", 7, 5,
     [](Canvas& c) {
       c.SetRasterMode(RasterMode::Not);
       c.FillRect(1, 1, 4, 3, Brush::Solid(kBrushInk));
       c.FillRect(5, 1, 5, 3, Brush::Solid(kBrushInk));
       c.FillRect(6, 4, 5, 2, Brush::Solid(kBrushInk));
     },
     R"(
.......
.bbb...
.bbb...
......b
......b)"},
    {"polygon fill: pixel centres inside, left and top edges included", 7, 5,
     [](Canvas& c) {
       WithTools(c).SelectPen(Pen::Null());
       c.Polygon(kTriangle, 3);
     },
     R"(
bbbbbb.
bbbbb..
bbb....
bb.....
.......)"},
    {"polygon outline over the fill", 7, 5, [](Canvas& c) { WithTools(c).Polygon(kTriangle, 3); },
     R"(
aaaaaaa
abbbaa.
abba...
aaa....
a......)"},
    {"ellipse on an odd box", 9, 7, [](Canvas& c) { WithTools(c).Ellipse(0, 0, 9, 6); }, R"(
..aaaaa..
.abbbbba.
abbbbbbba
abbbbbbba
.abbbbba.
..aaaaa..
.........)"},
    // The curve runs through the outermost pixel centres; a two-row box is
    // a full bar.
    {"flat ellipses", 7, 7,
     [](Canvas& c) {
       WithTools(c).SelectBrush(Brush::Null());
       c.Ellipse(0, 0, 7, 5);
       c.Ellipse(1, 5, 6, 7);
     },
     R"(
..aaa..
aa...aa
a.....a
aa...aa
..aaa..
.aaaaa.
.aaaaa.)"},
    // A narrow tall ellipse loses its tips; a one-pixel box has no outline;
    // a 3 x 3 one is a plus.
    {"narrow and tiny ellipses", 8, 10,
     [](Canvas& c) {
       WithTools(c).Ellipse(1, 1, 4, 9);
       c.Ellipse(4, 0, 5, 1);
       c.Ellipse(5, 0, 8, 3);
     },
     R"(
......a.
.....aba
..a...a.
.aba....
.aba....
.aba....
.aba....
..a.....
........
........)"},
    // The width-3 pen runs along each pixel of the one-pixel outline, with
    // the bands of its diagonal steps rounding towards the right.
    {"ellipse, pen width 3", 18, 14, [](Canvas& c) { WithTools(c, 3).Ellipse(2, 2, 15, 12); },
     R"(
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
..................)"},
};

TEST(Shapes, PicturesAreGdis) {
  for (const PictureCase& c : kPictures)
    EXPECT_EQ(Drawn(c.width, c.height, c.draw), c.expected) << c.what;
  // Unlike Rectangle, GDI's Ellipse keeps its size without a pen.
  EXPECT_EQ(Drawn(9, 7,
                  [](Canvas& c) {
                    WithTools(c).SelectPen(Pen::Null());
                    c.Ellipse(0, 0, 9, 6);
                  }),
            Drawn(9, 7, [](Canvas& c) {
              WithTools(c).SelectPen(Pen::Solid(1, kBrushInk));
              c.Ellipse(0, 0, 9, 6);
            }));
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

// How often each pixel is painted when the polygons are filled one by one.
std::vector<int> Coverage(const std::vector<std::vector<Point>>& polygons, FillMode mode) {
  std::vector<int> counts(37 * 23);
  for (const std::vector<Point>& points : polygons) {
    Surface surface(37, 23);
    Canvas canvas(surface);
    canvas.SelectPen(Pen::Null());
    canvas.SelectBrush(Brush::Solid(kWhite));
    canvas.SetPolyFillMode(mode);
    canvas.Polygon(points.data(), static_cast<int32_t>(points.size()));
    for (size_t i = 0; i < counts.size(); ++i) counts[i] += surface.data()[i] == 255;
  }
  return counts;
}

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
    std::vector<std::vector<Point>> fan;
    for (int i = 0; i < n; ++i) {
      const Point& a = polygon[i];
      const Point& b = polygon[(i + 1) % n];
      if (int64_t{a.x - centre.x} * (b.y - centre.y) - int64_t{a.y - centre.y} * (b.x - centre.x) <=
          0)
        break;
      fan.push_back({centre, a, b});
    }
    if (static_cast<int>(fan.size()) != n) continue;
    ++tested;
    ASSERT_EQ(Coverage(fan, FillMode::Alternate), Coverage({polygon}, FillMode::Winding))
        << "trial " << trial;
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
  std::vector<std::vector<Point>> quads;
  for (int j = 0; j < kRows; ++j)
    for (int i = 0; i < kColumns; ++i)
      quads.push_back({grid[j][i], grid[j][i + 1], grid[j + 1][i + 1], grid[j + 1][i]});
  EXPECT_EQ(Coverage(quads, FillMode::Alternate), std::vector<int>(37 * 23, 1));
}

TEST(Polygon, HugeVerticesFillTheVisiblePart) {
  Surface surface(37, 23);
  Canvas canvas(surface);
  WithTools(canvas).SelectPen(Pen::Null());
  constexpr int32_t g = 1000000000;
  const Point huge[] = {{-g, -g}, {g, -g}, {g, g}, {-g, g}};
  canvas.Polygon(huge, 4);
  EXPECT_EQ(CountPixels(surface, 11), 37 * 23);
  // A half plane through the surface: x + y < 30 (points on x + y = 30 lie
  // on the big triangle's right-hand edge, so are left out).
  surface.Fill(0);
  const Point half[] = {{-g, -g}, {30 + g, -g}, {-g, 30 + g}};
  canvas.Polygon(half, 3);
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) ASSERT_EQ(surface.row(y)[x], x + y < 30 ? 11 : 0) << x << "," << y;
}

TEST(Ellipse, RowsWalkedIncrementallyMatchRowsComputedAlone) {
  // Ellipse rows are walked incrementally from the centre outwards; each
  // must equal the row computed on its own, for any window of rows, small
  // boxes and boxes too big for the incremental walk alike.
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

TEST(Ellipse, IsMirrorSymmetricAndReachesItsBox) {
  std::mt19937 random(21);
  std::uniform_int_distribution<int> column(5, 39), row(5, 25), widths(0, 6);
  for (int trial = 0; trial < 300; ++trial) {
    int l = column(random), r = column(random), t = row(random), b = row(random);
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    const int width = widths(random);
    Surface surface(44, 30);
    Canvas canvas(surface);
    WithTools(canvas, width).Ellipse(l, t, r, b);
    const std::string box = "width " + std::to_string(width) + " box " + std::to_string(l) + "," +
                            std::to_string(t) + "," + std::to_string(r) + "," + std::to_string(b);
    if (r == l || b == t) {
      ASSERT_EQ(CountPixels(surface, 0), 44 * 30) << box;
      continue;
    }
    // The pen reaches w / 2 outwards on the left and top and (w - 1) / 2 on
    // the right and bottom. A one-pixel outline is symmetric within that
    // box; a wide one is not quite, as GDI's is not (its diagonal steps
    // round towards the right).
    const int w = std::max(width, 1);
    const int ol = l - w / 2, ot = t - w / 2, orr = r + (w - 1) / 2, ob = b + (w - 1) / 2;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 44; ++x) {
        const uint8_t p = surface.row(y)[x];
        if (x < ol || x >= orr || y < ot || y >= ob) {
          ASSERT_EQ(p, 0) << "outside the box, " << box;
        } else if (w == 1) {
          ASSERT_EQ(p, surface.row(y)[ol + orr - 1 - x]) << "left-right at " << x << "," << y;
          ASSERT_EQ(p, surface.row(ot + ob - 1 - y)[x]) << "top-bottom at " << x << "," << y;
        }
      }
    // The outline covers the middles of the left and right sides (the upper
    // middle row: an even pen leans half a pixel up). GDI leaves off the
    // tips of narrow ellipses, so the top and bottom are not checked.
    const int middleRow = (t + b - 1) / 2;
    EXPECT_EQ(surface.row(middleRow)[l], 10) << box;
    EXPECT_EQ(surface.row(middleRow)[r - 1], 10) << box;
  }
}

TEST(Ellipse, OnePixelOutlineHasNoGaps) {
  // Every outline pixel of a large ellipse has a neighbour on each side
  // along the curve: at least two of its eight neighbours are outline.
  Surface surface(37, 23);
  Canvas canvas(surface);
  WithTools(canvas).SelectBrush(Brush::Null());
  canvas.Ellipse(1, 1, 36, 22);
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) {
      if (surface.row(y)[x] != 10) continue;
      int neighbours = 0;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
          neighbours += (dx || dy) && canvas.GetPixel(x + dx, y + dy) == 10;
      EXPECT_GE(neighbours, 2) << x << "," << y;
    }
}

TEST(Shapes, InvertingModeInvertsEveryPixelOfTheShapeOnce) {
  // With R2_NOT the pen ring and the brush interior are disjoint, so each
  // pixel of a shape is inverted exactly once, and where two shapes overlap
  // the pixels are inverted twice, back to black.
  for (int width : {1, 3, 8}) {
    auto draw = [&](Canvas& c, bool ellipse, bool rectangle) {
      c.SelectPen(Pen::Solid(width, kWhite));
      c.SelectBrush(Brush::Solid(kWhite));
      if (ellipse) c.Ellipse(2, 1, 33, 21);
      if (rectangle) c.Rectangle(20, 3, 36, 12);
    };
    Surface ellipse(37, 23), rectangle(37, 23), inverted(37, 23);
    Canvas e(ellipse), r(rectangle), i(inverted);
    draw(e, true, false);
    draw(r, false, true);
    i.SetRasterMode(RasterMode::Not);
    draw(i, true, true);
    for (size_t k = 0; k < inverted.size(); ++k)
      ASSERT_EQ(inverted.data()[k], ellipse.data()[k] ^ rectangle.data()[k])
          << "width " << width << " at " << k % 37 << "," << k / 37;
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
  EXPECT_EQ(CountPixels(surface, 11), 37 * 23);
  surface.Fill(0);
  canvas.Ellipse(5, 5, 5, 9);
  canvas.Rectangle(5, 5, 9, 5);
  canvas.Polygon(nullptr, 0);
  EXPECT_EQ(CountPixels(surface, 0), 37 * 23);
}

}  // namespace
}  // namespace lumox::gfx
