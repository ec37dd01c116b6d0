// Regions and clipping.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

#include "gfx/canvas.h"
#include "gfx/picture.h"

namespace lumox::gfx {
namespace {

Region RandomRegion(std::mt19937& random) {
  std::uniform_int_distribution<int> c(-8, 45);
  switch (random() % 3) {
    case 0:
      return Region::FromRect(c(random), c(random), c(random), c(random));
    case 1:
      return Region::FromEllipse(c(random), c(random), c(random), c(random));
    default: {
      Point points[5];
      for (Point& p : points) p = {c(random), c(random)};
      return Region::FromPolygon(points, 5, random() % 2 == 0);
    }
  }
}

TEST(Region, BoundsOffsetAndLimits) {
  Region r = Region::FromRect(10, 8, 3, 2);  // corners in either order
  r.Offset(-5, 4);
  EXPECT_EQ(r.Bounds(), (Rect{-2, 6, 5, 12}));
  EXPECT_TRUE(Region::FromRect(4, 4, 4, 9).Empty());
  EXPECT_EQ(Region().Bounds(), Rect{});
  // Absurd sizes are cut to the coordinate limit instead of exhausting memory.
  Region huge = Region::FromRect(-1000000000, -1000000000, 1000000000, 1000000000);
  EXPECT_TRUE(Region::FromEllipse(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX).Contains(0, 0));
  huge.Offset(INT32_MAX, INT32_MAX);
  EXPECT_FALSE(huge.Contains(0, 0));
}

// Draws the same operations with and without a clip region on a patterned
// surface: inside the clip the pictures agree, outside the clipped one is
// untouched.
TEST(Clip, NothingIsDrawnOutsideTheClipAndInsideIsUnchanged) {
  std::mt19937 random(23);
  std::uniform_int_distribution<int> c(-20, 60);
  std::uniform_int_distribution<int> huge(-1000000000, 1000000000);
  Surface source(37, 23);
  for (size_t i = 0; i < source.size(); ++i) source.data()[i] = static_cast<uint8_t>(i * 7);
  std::vector<uint8_t> bits(40 * 9);
  for (size_t i = 0; i < bits.size(); ++i) bits[i] = static_cast<uint8_t>(i % 13);
  const DibView dib{bits.data(), 37, 9, nullptr, 0};

  auto r = [&] { return c(random); };
  auto point = [&] { return Point{r(), r()}; };
  auto far = [&] { return Point{huge(random), huge(random)}; };
  using Operation = std::function<void(Canvas&)>;
  const std::vector<Operation> operations = {
      [&](Canvas& k) { k.MoveTo(r(), r()), k.LineTo(r(), r()); },
      [&](Canvas& k) {
        k.MoveTo(huge(random), huge(random)), k.LineTo(huge(random), huge(random));
      },
      [&](Canvas& k) { k.Ellipse(r(), r(), r(), r()); },
      [&](Canvas& k) { k.Rectangle(r(), r(), r(), r()); },
      [&](Canvas& k) { const Point p[] = {point(), point(), point(), far()}; k.Polygon(p, 4); },
      [&](Canvas& k) {
        const Point p[] = {point(), point(), point(), point(), point(), point(), point()};
        k.PolyBezier(p, 7);
      },
      [&](Canvas& k) { k.PatBlt(r(), r(), r() - 20, r() - 20, RasterOp::DstInvert); },
      [&](Canvas& k) { k.FillRect(r(), r(), r(), r(), Brush::Solid(PaletteIndex(9))); },
      [&](Canvas& k) {
        k.StretchBlt(r(), r(), r() - 20, r() - 20, Canvas(source), r(), r(), r() - 20, r() - 20);
      },
      [&](Canvas& k) { k.BitBlt(r(), r(), r(), r(), k, r(), r()); },
      [&](Canvas& k) {
        k.StretchDIBits(r(), r(), r() - 20, r() - 20, r() % 40, r() % 10, r() % 40, r() % 10, dib);
      },
      [&](Canvas& k) { k.SetDIBitsToDevice(r(), r(), 30, 9, 0, 0, 0, 9, dib); },
      [&](Canvas& k) { k.SetPixel(r(), r(), PaletteIndex(4)); },
      [&](Canvas& k) { k.DrawEdge(r(), r(), r(), r(), EdgeStyle::Etched, true); },
  };
  for (int trial = 0; trial < 600; ++trial) {
    const Operation& operation = operations[trial % operations.size()];
    Region clip = RandomRegion(random);
    const int penWidth = static_cast<int>(random() % 8);
    const bool invert = random() % 3 == 0;
    Surface plain(37, 23), clipped(37, 23);
    for (size_t i = 0; i < plain.size(); ++i) plain.data()[i] = static_cast<uint8_t>(i * 31);
    clipped = plain;
    Canvas a(plain), b(clipped);
    b.SelectClipRegion(&clip);
    // Narrow the clip further the way the modules and overlays do.
    const Rect narrow{r(), r(), r(), r()};
    if (trial % 4 == 1) b.IntersectClipRect(narrow.left, narrow.top, narrow.right, narrow.bottom);
    if (trial % 4 == 2) b.ExcludeClipRect(narrow.left, narrow.top, narrow.right, narrow.bottom);
    if (trial % 4 == 1 || trial % 4 == 2) {
      clip.Combine(Region::FromRect(narrow.left, narrow.top, narrow.right, narrow.bottom),
                   trial % 4 == 1 ? RegionOp::And : RegionOp::Diff);
    }
    for (Canvas* k : {&a, &b}) {
      k->SelectPen(Pen::Solid(penWidth, PaletteIndex(3)));
      k->SelectBrush(Brush::Solid(PaletteIndex(5)));
      if (invert) k->SetRasterMode(RasterMode::Not);
    }
    const std::mt19937 saved = random;
    operation(a);
    random = saved;
    operation(b);
    for (int y = 0; y < 23; ++y)
      for (int x = 0; x < 37; ++x) {
        const uint8_t original = static_cast<uint8_t>((y * 37 + x) * 31);
        const uint8_t expected = clip.Contains(x, y) ? plain.row(y)[x] : original;
        ASSERT_EQ(clipped.row(y)[x], expected)
            << "operation " << trial % operations.size() << " at " << x << "," << y;
      }
  }
}

}  // namespace
}  // namespace lumox::gfx
