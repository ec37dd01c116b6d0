#include "modules/toolkit.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/random.h"
#include "gfx/canvas.h"
#include "gfx/surface.h"
#include "module_harness.h"

namespace lumox::testing {
namespace {

std::vector<uint8_t> Snapshot(const gfx::Surface& s) {
  return std::vector<uint8_t>(s.data(), s.data() + s.size());
}

// A surface whose every pixel differs from its neighbours, so any copy that
// lands in the wrong place shows.
void FillDistinct(gfx::Surface& s) {
  for (int y = 0; y < s.height(); ++y)
    for (int x = 0; x < s.width(); ++x) s.row(y)[x] = PhysicalOf((x * 7 + y * 31) % 236);
}

// A 2 x 2 grid of 8 x 6 tiles; the ring is the whole first tile. Type 2
// (even sums) copies it into tile (1,1) only, mirrored both ways; the odd
// tiles and the inside keep what they had. (Type 0's copies into the odd
// tiles show in the golden Stain frames.)
TEST(TileRectEdges, OddColumnsAndRowsAreMirroredInTheSelectedTiles) {
  gfx::Surface surface{16, 12};
  gfx::Canvas dc{surface};
  const RingRect ring{0, 0, 7, 5};
  const auto At = [&](int x, int y) { return surface.row(y)[x]; };
  FillDistinct(surface);
  const auto before = Snapshot(surface);
  const auto src = [&](int x, int y) { return before[y * 16 + x]; };
  TileRectEdges(dc, 2, 2, 8, 6, 2, 8, 6, ring, ring);
  for (int k = 0; k < 8; ++k) {
    // Top and bottom swapped, each reversed left-right.
    EXPECT_EQ(At(8 + k, 6), src(7 - k, 5)) << k;
    EXPECT_EQ(At(8 + k, 11), src(7 - k, 0)) << k;
    EXPECT_EQ(At(8 + k, 0), src(8 + k, 0)) << k;
    EXPECT_EQ(At(k, 6), src(k, 6)) << k;
  }
  for (int k = 1; k < 5; ++k) {
    // Left and right swapped, each reversed top-bottom.
    EXPECT_EQ(At(8, 6 + k), src(7, 5 - k)) << k;
    EXPECT_EQ(At(15, 6 + k), src(0, 5 - k)) << k;
  }
  EXPECT_EQ(At(11, 9), src(11, 9));
}

TEST(InitStamp, SmallAndTwoSidedFiguresCollapse) {
  SeedRandom(1);
  Stamp stamp;
  for (int size : {1, 2, 3}) {
    InitStamp(nullptr, 7, 0, 1, size, 0.0f, stamp);
    EXPECT_EQ(stamp.sides, 1) << size;
  }
  const struct {
    int sides, type, size, expectedType;
  } cases[] = {
      {5, 0, 1, 1}, {5, 2, 2, 1}, {5, 3, 1, 4}, {5, 5, 2, 4}, {5, 6, 1, 7}, {5, 8, 2, 7},
      {2, 0, 50, 1}, {2, 2, 50, 1}, {2, 3, 50, 4}, {2, 5, 50, 4}, {2, 8, 50, 7},
      // Size 3 is a dot but keeps its type; larger polygons keep theirs.
      {5, 2, 3, 2}, {5, 5, 40, 5}, {3, 8, 40, 8},
  };
  for (const auto& c : cases) {
    InitStamp(nullptr, c.sides, c.type, 1, c.size, 0.0f, stamp);
    EXPECT_EQ(stamp.type, c.expectedType) << c.sides << " " << c.type << " " << c.size;
  }
  // The vertex buffer holds ten points; stamps never ask for more.
  InitStamp(nullptr, 15, 0, 1, 40, 0.0f, stamp);
  EXPECT_EQ(stamp.sides, kMaxStampSides);
  InitStamp(nullptr, 0, 0, 1, 40, 0.0f, stamp);
  EXPECT_EQ(stamp.sides, 1);
  InitStamp(nullptr, 3, 40, 1, 40, 0.0f, stamp);
  EXPECT_LE(stamp.type, 8);
}

TEST(InitStamp, ChildScaleBetweenOneFifthAndTwoThirds) {
  SeedRandom(7);
  Stamp stamp;
  for (int i = 0; i < 200; ++i) {
    InitStamp(nullptr, 4, 3, 2, 30, 0.5f, stamp);
    EXPECT_GE(stamp.childScale, 1.0f / 5.5f);
    EXPECT_LE(stamp.childScale, 1.0f / 1.5f);
  }
}

TEST(StampLine, FiguresEverySpacingPlusOnePoints) {
  gfx::Surface surface(40, 9);
  gfx::Canvas dc(surface);
  Stamp stamp;
  InitStamp(&dc, 4, 1, 4, 4, 0.0f, stamp);  // spacing 4: every fifth point
  stamp.size = 1.0f;  // figures of one pixel's reach, so they stay apart
  SelectStampTools(stamp, gfx::PaletteIndex(20));
  StampLine(0, 4, 30, 4, stamp);
  ReleaseStampTools(stamp);
  // Walked from x = 30 down, the end point x = 0 not visited: small
  // diamonds centred at 30, 25, ..., 5, nothing in between.
  const auto columnPainted = [&surface](int x) {
    for (int y = 0; y < 9; ++y)
      if (surface.row(y)[x] != 0) return true;
    return false;
  };
  for (int x = 0; x < 40; ++x) {
    const bool figure = x >= 5 && x <= 30 && x % 5 == 0;
    const bool gap = x % 5 == 2 || x % 5 == 3 || x == 0 || x > 31;
    EXPECT_TRUE(!(figure || gap) || columnPainted(x) == figure) << x;
  }
}

// A line running billions of pixels past the canvas paints on the canvas
// what the same line stopped just past its edge paints, without walking
// the billions of points (it would take minutes). Both ends far away on
// opposite sides: the part across the canvas is drawn, in the spacing
// cycle the whole line has there.
TEST(StampLine, FarEndPointsDrawWhatTheCanvasShows) {
  struct Case {
    int32_t x0, x1, nearX0, nearX1;
  };
  // The walk goes from x1 towards x0; a near copy keeps x1 (and the cycle)
  // or moves it by a multiple of the spacing cycle (5 points).
  for (const Case& c : {Case{2000000000, 20, 200, 20}, Case{-2000000000, 20, -200, 20},
                        Case{-2000000000, 2000000005, -200, 205}}) {
    std::vector<uint8_t> pictures[2];
    for (int far = 0; far < 2; ++far) {
      gfx::Surface surface(61, 21);
      gfx::Canvas dc(surface);
      Stamp stamp;
      InitStamp(&dc, 4, 0, 4, 5, 0.0f, stamp);
      SelectStampTools(stamp, gfx::PaletteIndex(20));
      StampLine(far ? c.x0 : c.nearX0, 10, far ? c.x1 : c.nearX1, 10, stamp);
      pictures[far] = Snapshot(surface);
    }
    EXPECT_EQ(pictures[0], pictures[1]) << c.x0 << " " << c.x1;
    EXPECT_NE(pictures[1], std::vector<uint8_t>(61 * 21, 0));
  }
}

TEST(ConcentricFill, IndicesWrapFrom235ToZeroAndSmallDiametersDrawNothing) {
  gfx::Surface surface(21, 21);
  gfx::Canvas dc(surface);
  for (int diameter : {0, 1, -5})
    for (int style : {0, 8, 16, 24}) ConcentricFill(dc, 7, 7, 3, diameter, style);
  ASSERT_EQ(ColoursOn(surface), std::set<uint8_t>{});
  ConcentricFill(dc, 10, 10, 235, 8, 8);  // squares, R = 4
  // k = 0: the outer square (n = 3) in 235; k = 1 (n = 2) in 0; k = 2 in 1.
  EXPECT_EQ(surface.row(7)[7], PhysicalOf(235));
  EXPECT_EQ(surface.row(8)[8], PhysicalOf(0));
  EXPECT_EQ(surface.row(9)[9], PhysicalOf(1));
  EXPECT_EQ(surface.row(3)[3], 0);
}

TEST(ConcentricFill, BarsStepThreePixels) {
  gfx::Surface surface(30, 30);
  gfx::Canvas dc(surface);
  ConcentricFill(dc, 15, 15, 100, 12, 16 + 32);  // style taken mod 32: vertical bars
  // Bar k starts at x = 15 - 6 + 3k; later bars overlap earlier ones.
  EXPECT_EQ(surface.row(15)[9], PhysicalOf(100));
  EXPECT_EQ(surface.row(15)[12], PhysicalOf(101));
  EXPECT_EQ(surface.row(15)[15], PhysicalOf(102));
  EXPECT_EQ(surface.row(15)[5], 0);
}

}  // namespace
}  // namespace lumox::testing
