// Lines, curves and LineDDA on bad input, and LineDDA's points
// (gdi_reference_test compares their pictures with GDI's on Windows).
#include <gtest/gtest.h>

#include <vector>

#include "gfx/canvas.h"
#include "gfx/picture.h"

namespace lumox::gfx {
namespace {

using testing::Drawn;
using testing::kPenInk;
using testing::Picture;

void Line(Canvas& canvas, int width, Point a, Point b) {
  canvas.SelectPen(Pen::Solid(width, kPenInk));
  canvas.MoveTo(a.x, a.y);
  canvas.LineTo(b.x, b.y);
}

TEST(Lines, HugeCoordinatesDrawOnlyTheVisiblePart) {
  Surface surface(37, 23);
  Canvas canvas(surface);
  Line(canvas, 1, {-1000000000, -1000000000}, {1000000000, 1000000000});
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) ASSERT_EQ(surface.row(y)[x], x == y ? 10 : 0) << x << "," << y;
  // A wide pen gives the same picture as a short line through the surface.
  surface.Fill(0);
  Line(canvas, 6, {-1000000000, -1000000000}, {1000000000, 1000000000});
  EXPECT_EQ(Picture(surface), Drawn(37, 23, [](Canvas& c) { Line(c, 6, {-50, -50}, {100, 100}); }));
  const Point path[] = {{-50, -50}, {100, 100}};  // as a polyline of two points
  EXPECT_EQ(Picture(surface), Drawn(37, 23, [&](Canvas& c) {
              c.SelectPen(Pen::Solid(6, kPenInk));
              c.Polyline(path, 2);
            }));
  // Extreme ends of the 32-bit range, every direction: no crash, no write
  // outside the surface (the sanitizer build checks).
  const int32_t m = INT32_MAX, n = INT32_MIN;
  const Point ends[] = {{n, n}, {m, m}, {n, m}, {m, n}, {0, n}, {m, 0}, {5, 5}};
  for (const Point& a : ends)
    for (const Point& b : ends)
      for (int width : {1, 25}) Line(canvas, width, a, b);
}

TEST(Lines, NullPenAndDegenerateInputDrawNothing) {
  const Point one[] = {{1, 1}};
  EXPECT_EQ(Drawn(7, 5,
                  [&](Canvas& c) {
                    c.SelectPen(Pen::Null());
                    c.LineTo(6, 4);
                    Line(c, 1, {2, 2}, {2, 2});  // a zero-length thin line
                    c.Polyline(nullptr, 0);
                    c.Polyline(one, 1);
                    c.PolyBezier(one, 1);
                    c.PolyBezier(nullptr, 4);
                    const Point five[] = {{0, 0}, {6, 0}, {6, 4}, {0, 4}, {3, 2}};
                    c.PolyBezier(five, 5);  // not 3n + 1 points
                  }),
            Drawn(7, 5, [](Canvas&) {}));
  // Absurd control points: the curve still ends on its end points.
  Surface surface(37, 23);
  Canvas canvas(surface);
  canvas.SelectPen(Pen::Solid(3, kPenInk));
  const Point absurd[] = {{3, 5}, {INT32_MAX, INT32_MIN}, {INT32_MIN, INT32_MAX}, {30, 17}};
  canvas.PolyBezier(absurd, 4);
  EXPECT_EQ(canvas.GetPixel(3, 5), 10);
  EXPECT_EQ(canvas.GetPixel(30, 17), 10);
}

std::vector<Point> DdaPoints(int x0, int y0, int x1, int y1) {
  std::vector<Point> points;
  LineDDA(x0, y0, x1, y1, [&](int32_t x, int32_t y) { points.push_back({x, y}); });
  return points;
}

TEST(LineDDA, VisitsEveryPointButTheEnd) {
  // Ties stay on the start's side, so the two directions differ.
  using P = std::vector<Point>;
  EXPECT_EQ(DdaPoints(0, 0, 4, 2), (P{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
  EXPECT_EQ(DdaPoints(4, 2, 0, 0), (P{{4, 2}, {3, 2}, {2, 1}, {1, 1}}));
  EXPECT_EQ(DdaPoints(0, 0, 2, 7), (P{{0, 0}, {0, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}, {2, 6}}));
  EXPECT_TRUE(DdaPoints(3, 3, 3, 3).empty());
}

}  // namespace
}  // namespace lumox::gfx
