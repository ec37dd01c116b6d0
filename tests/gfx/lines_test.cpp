// Lines, wide pens, Bezier curves and LineDDA.
#include <gtest/gtest.h>

#include <random>
#include <utility>
#include <vector>

#include "gfx/canvas.h"
#include "gfx/picture.h"

namespace lumox::gfx {
namespace {

using testing::Picture;

const ColorRef kInk = PaletteIndex(0);  // 'a' in pictures

TEST(ThinLine, ExcludesTheLastPointAndRoundsHalvesToTheSmallerSide) {
  Surface surface(7, 5);
  Canvas canvas(surface);
  canvas.SelectPen(Pen::Solid(1, kInk));
  canvas.MoveTo(0, 0);
  canvas.LineTo(6, 3);
  // At x = 1, 3 and 5 the exact line is half way between two rows; the upper
  // row (smaller y) is taken, in either direction. This is the picture GDI
  // draws (gdi_reference_test compares many more lines on Windows).
  EXPECT_EQ(Picture(surface), R"(
aa.....
..aa...
....aa.
.......
.......)");
  EXPECT_EQ(canvas.CurrentPosition(), (Point{6, 3}));
}

TEST(ThinLine, CoversTheSamePixelsInBothDirections) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> coordinate(-5, 41);
  for (int trial = 0; trial < 300; ++trial) {
    const Point a{coordinate(random), coordinate(random)};
    const Point b{coordinate(random), coordinate(random)};
    Surface forward(37, 23), backward(37, 23);
    Canvas f(forward), r(backward);
    f.SelectPen(Pen::Solid(0, kInk));
    r.SelectPen(Pen::Solid(0, kInk));
    f.MoveTo(a.x, a.y);
    f.LineTo(b.x, b.y);
    r.MoveTo(b.x, b.y);
    r.LineTo(a.x, a.y);
    // Each direction leaves out its own last point; add them back.
    f.SetPixel(b.x, b.y, kInk);
    r.SetPixel(a.x, a.y, kInk);
    if (a == b) continue;
    ASSERT_EQ(Picture(forward), Picture(backward)) << a.x << "," << a.y << " " << b.x << "," << b.y;
  }
}

TEST(ThinLine, PolylineJoinsSegmentsAndLeavesOutOnlyTheLastPoint) {
  Surface surface(7, 5);
  Canvas canvas(surface);
  canvas.SelectPen(Pen::Solid(1, kInk));
  const Point path[] = {{1, 0}, {1, 4}, {5, 4}, {5, 2}};
  canvas.Polyline(path, 4);
  EXPECT_EQ(Picture(surface), R"(
.a.....
.a.....
.a.....
.a...a.
.aaaaa.)");
}

TEST(WidePen, ZeroLengthLineIsARoundDotOfThePenWidth) {
  Surface surface(7, 5);
  Canvas canvas(surface);
  canvas.SelectPen(Pen::Solid(5, kInk));
  canvas.MoveTo(3, 2);
  canvas.LineTo(3, 2);
  EXPECT_EQ(Picture(surface), R"(
..aaa..
.aaaaa.
.aaaaa.
.aaaaa.
..aaa..)");

  // An even width is centred on the pixel's top-left corner, so the dot is
  // still exactly four pixels across. (These are GDI's dots.)
  surface.Fill(0);
  canvas.SelectPen(Pen::Solid(4, kInk));
  canvas.MoveTo(3, 2);
  canvas.LineTo(3, 2);
  EXPECT_EQ(Picture(surface), R"(
..aa...
.aaaa..
.aaaa..
..aa...
.......)");
}

TEST(WidePen, DotsOfEveryWidthAreGdisPenShapes) {
  // The dot of width w is the ellipse of a w x w box: a plus for 3, and
  // rows 2, 4, 6, 6, 4, 2 for 6, as GDI draws them.
  Surface surface(13, 12);
  Canvas canvas(surface);
  canvas.SelectPen(Pen::Solid(3, kInk));
  canvas.MoveTo(2, 2);
  canvas.LineTo(2, 2);
  canvas.SelectPen(Pen::Solid(6, kInk));
  canvas.MoveTo(8, 6);
  canvas.LineTo(8, 6);
  EXPECT_EQ(Picture(surface), R"(
.............
..a..........
.aaa.........
..a....aa....
......aaaa...
.....aaaaaa..
.....aaaaaa..
......aaaa...
.......aa....
.............
.............
.............)");
}

TEST(WidePen, HorizontalLineIsTheBandWithDotsAtItsEnds) {
  Surface surface(11, 5);
  Canvas canvas(surface);
  canvas.SelectPen(Pen::Solid(3, kInk));
  canvas.MoveTo(3, 2);
  canvas.LineTo(7, 2);
  // Three rows from x = 3 to x = 7 inclusive, and the plus-shaped dots of a
  // width-3 pen at both ends: GDI's picture.
  EXPECT_EQ(Picture(surface), R"(
...........
...aaaaa...
..aaaaaaa..
...aaaaa...
...........)");
}

TEST(WidePen, SlantedLineIsTheBandBetweenRoundedCornersWithDots) {
  // GDI's pictures of a width-4 line falling and rising to the right: the
  // band's extra pixel lies on the right-hand side of the path, so above
  // the falling line and below the rising one, and the band's corners are
  // rounded to whole pixels.
  auto draw = [](Point from, Point to) {
    Surface surface(16, 9);
    Canvas canvas(surface);
    canvas.SelectPen(Pen::Solid(4, kInk));
    canvas.MoveTo(from.x, from.y);
    canvas.LineTo(to.x, to.y);
    return Picture(surface);
  };
  EXPECT_EQ(draw({2, 2}, {12, 5}), R"(
.aa.............
aaaaaaa.........
aaaaaaaaaa......
.aaaaaaaaaaaa...
.aaaaaaaaaaaaa..
.....aaaaaaaaa..
........aaaaa...
................
................)");
  EXPECT_EQ(draw({2, 7}, {12, 4}), R"(
................
................
...........aa...
........aaaaaa..
.....aaaaaaaaa..
.aaaaaaaaaaaa...
aaaaaaaaaaaaa...
aaaaaaaaaa......
.aaaaaa.........)");
  // Drawn the other way, the same pixels.
  EXPECT_EQ(draw({12, 5}, {2, 2}), draw({2, 2}, {12, 5}));
}

TEST(WidePen, InvertingPolylineInvertsEachPixelOnce) {
  // A sharp turn makes the two segments' discs overlap at the join; the
  // overlap must be inverted once, as GDI strokes a wide path as one shape.
  const Point path[] = {{5, 5}, {30, 12}, {6, 18}};
  Surface inverted(37, 23), painted(37, 23);
  Canvas invert(inverted), paint(painted);
  invert.SelectPen(Pen::Solid(7, kBlack));
  invert.SetRasterMode(RasterMode::Not);
  invert.Polyline(path, 3);
  paint.SelectPen(Pen::Solid(7, kWhite));
  paint.Polyline(path, 3);
  EXPECT_EQ(Picture(inverted), Picture(painted));
  EXPECT_GT(testing::CountPixels(painted, 255), 200);
}

// Whatever the end points, the pixels drawn inside the surface are the ones
// a bigger surface would get at the same place: clipping never moves pixels.
TEST(Lines, ClippingDoesNotChangeThePixelsInside) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int> coordinate(-60, 100);
  std::uniform_int_distribution<int> widths(0, 9);
  constexpr int kMargin = 80;
  for (int trial = 0; trial < 400; ++trial) {
    const Point a{coordinate(random), coordinate(random)};
    const Point b{coordinate(random), coordinate(random)};
    const int width = widths(random);
    Surface small(37, 23), big(37 + 2 * kMargin, 23 + 2 * kMargin);
    Canvas s(small), g(big);
    s.SelectPen(Pen::Solid(width, kInk));
    g.SelectPen(Pen::Solid(width, kInk));
    s.MoveTo(a.x, a.y);
    s.LineTo(b.x, b.y);
    g.MoveTo(a.x + kMargin, a.y + kMargin);
    g.LineTo(b.x + kMargin, b.y + kMargin);
    Surface crop(37, 23);
    for (int y = 0; y < 23; ++y)
      for (int x = 0; x < 37; ++x) crop.row(y)[x] = big.row(y + kMargin)[x + kMargin];
    ASSERT_EQ(Picture(small), Picture(crop))
        << "width " << width << " from " << a.x << "," << a.y << " to " << b.x << "," << b.y;
  }
}

TEST(Lines, HugeCoordinatesDrawOnlyTheVisiblePart) {
  Surface surface(37, 23);
  Canvas canvas(surface);
  canvas.SelectPen(Pen::Solid(1, kInk));
  canvas.MoveTo(-1000000000, -1000000000);
  canvas.LineTo(1000000000, 1000000000);
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) ASSERT_EQ(surface.row(y)[x], x == y ? 10 : 0) << x << "," << y;

  // A wide pen gives the same picture as a short line through the surface.
  Surface reference(37, 23);
  Canvas short_(reference);
  short_.SelectPen(Pen::Solid(6, kInk));
  short_.MoveTo(-50, -50);
  short_.LineTo(100, 100);
  surface.Fill(0);
  canvas.SelectPen(Pen::Solid(6, kInk));
  canvas.MoveTo(-1000000000, -1000000000);
  canvas.LineTo(1000000000, 1000000000);
  EXPECT_EQ(Picture(surface), Picture(reference));

  // Extreme ends of the 32-bit range, every direction.
  const int32_t m = INT32_MAX, n = INT32_MIN;
  const Point ends[] = {{n, n}, {m, m}, {n, m}, {m, n}, {0, n}, {m, 0}, {5, 5}};
  for (const Point& a : ends)
    for (const Point& b : ends) {
      canvas.SelectPen(Pen::Solid(1, kInk));
      canvas.MoveTo(a.x, a.y);
      canvas.LineTo(b.x, b.y);
      canvas.SelectPen(Pen::Solid(25, kInk));
      canvas.MoveTo(a.x, a.y);
      canvas.LineTo(b.x, b.y);
    }
}

TEST(Lines, NullPenAndDegenerateInputDrawNothing) {
  Surface surface(7, 5);
  Canvas canvas(surface);
  canvas.SelectPen(Pen::Null());
  canvas.MoveTo(0, 0);
  canvas.LineTo(6, 4);
  canvas.SelectPen(Pen::Solid(1, kInk));
  canvas.MoveTo(2, 2);
  canvas.LineTo(2, 2);  // a one-pixel pen draws nothing for a zero-length line
  canvas.Polyline(nullptr, 0);
  const Point one[] = {{1, 1}};
  canvas.Polyline(one, 1);
  canvas.PolyBezier(one, 1);
  canvas.PolyBezier(nullptr, 4);
  EXPECT_EQ(testing::CountPixels(surface, 0), 35);
}

TEST(Bezier, StraightCurveIsTheLine) {
  Surface curve(7, 5), line(7, 5);
  Canvas c(curve), l(line);
  c.SelectPen(Pen::Solid(1, kInk));
  l.SelectPen(Pen::Solid(1, kInk));
  const Point points[] = {{0, 0}, {2, 1}, {4, 2}, {6, 3}};
  c.PolyBezier(points, 4);
  l.MoveTo(0, 0);
  l.LineTo(6, 3);
  EXPECT_EQ(Picture(curve), Picture(line));
}

TEST(Bezier, PassesThroughItsEndPointsAndStaysInItsHull) {
  std::mt19937 random(5);
  std::uniform_int_distribution<int> coordinate(2, 34);
  for (int trial = 0; trial < 200; ++trial) {
    Point p[7];
    for (Point& q : p) q = {coordinate(random), coordinate(random) % 21 + 1};
    Surface surface(37, 23);
    Canvas canvas(surface);
    canvas.SelectPen(Pen::Solid(1, kInk));
    canvas.PolyBezier(p, 7);
    EXPECT_EQ(canvas.GetPixel(p[0].x, p[0].y), 10);
    EXPECT_EQ(canvas.GetPixel(p[3].x, p[3].y), 10);  // where the two curves meet
    int left = 99, right = -1, top = 99, bottom = -1;
    for (const Point& q : p) {
      left = std::min(left, q.x), right = std::max(right, q.x);
      top = std::min(top, q.y), bottom = std::max(bottom, q.y);
    }
    for (int y = 0; y < 23; ++y)
      for (int x = 0; x < 37; ++x)
        if (surface.row(y)[x] != 0) {
          ASSERT_TRUE(x >= left && x <= right && y >= top && y <= bottom) << x << "," << y;
        }
    // With a wide pen the last end point is covered too.
    canvas.SelectPen(Pen::Solid(3, kInk));
    canvas.PolyBezier(p, 7);
    EXPECT_EQ(canvas.GetPixel(p[6].x, p[6].y), 10);
  }
}

TEST(Bezier, AbsurdControlPointsFinish) {
  Surface surface(37, 23);
  Canvas canvas(surface);
  canvas.SelectPen(Pen::Solid(12, kInk));
  const Point points[] = {
      {-1000000000, 5}, {INT32_MAX, INT32_MIN}, {INT32_MIN, INT32_MAX}, {1000000000, 7}};
  canvas.PolyBezier(points, 4);
  // Drawing something is not required; finishing is.
  SUCCEED();
}

std::vector<Point> DdaPoints(int x0, int y0, int x1, int y1) {
  std::vector<Point> points;
  LineDDA(x0, y0, x1, y1, [&](int32_t x, int32_t y) { points.push_back({x, y}); });
  return points;
}

TEST(LineDDA, VisitsEveryPointButTheEnd) {
  // The classic integer DDA: ties stay on the start's side, so the two
  // directions differ; diagonals step on both axes every time.
  using P = std::vector<Point>;
  EXPECT_EQ(DdaPoints(0, 0, 4, 2), (P{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
  EXPECT_EQ(DdaPoints(4, 2, 0, 0), (P{{4, 2}, {3, 2}, {2, 1}, {1, 1}}));
  EXPECT_EQ(DdaPoints(0, 0, 1, 3), (P{{0, 0}, {0, 1}, {1, 2}}));
  EXPECT_EQ(DdaPoints(0, 0, 3, -3), (P{{0, 0}, {1, -1}, {2, -2}}));
  EXPECT_EQ(DdaPoints(2, 5, 2, 2), (P{{2, 5}, {2, 4}, {2, 3}}));
  EXPECT_TRUE(DdaPoints(3, 3, 3, 3).empty());
  // Every point is one step from the previous one, and the count is the
  // longer axis.
  const P long_ = DdaPoints(-7, 3, 30, -9);
  ASSERT_EQ(long_.size(), 37u);
  for (size_t i = 1; i < long_.size(); ++i) {
    EXPECT_EQ(long_[i].x - long_[i - 1].x, 1);
    EXPECT_LE(std::abs(long_[i].y - long_[i - 1].y), 1);
  }
}

}  // namespace
}  // namespace lumox::gfx
