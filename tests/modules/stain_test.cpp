// The Stain module: where its pictures grow, how they fill the screen and
// the tiles, folding, live tiling, and the sizes where its formulas would
// divide by zero.
#include <gtest/gtest.h>

#include "module_harness.h"

namespace lumox::testing {
namespace {

enum Slot { kNodes = 0, kFolding = 1, kType = 2, kDuration = 3, kXTiling = 10, kYTiling = 11,
            kTileType = 12 };

// Whether the picture is its own mirror image left-right (or top-bottom).
bool Mirrored(const gfx::Surface& s, bool leftRight) {
  for (int y = 0; y < s.height(); ++y) {
    for (int x = 0; x < s.width(); ++x) {
      const uint8_t mirror = leftRight ? s.row(y)[s.width() - 1 - x] : s.row(s.height() - 1 - y)[x];
      if (s.row(y)[x] != mirror) return false;
    }
  }
  return true;
}

// Draws until the first picture is held (Draw yields); returns the frames.
int PaintOnePicture(ModuleHarness& h) {
  h.Init();
  h.Start();
  for (int frame = 1; frame <= 400; ++frame) {
    if (h.Draw() == kYield) return frame;
  }
  ADD_FAILURE() << "the picture never finished";
  return 0;
}

// Rings grow four per frame from a segment through the middle of the
// screen along its longer side. 64 x 25: the segment runs from (12, 12) to
// (51, 12); after one frame rings 0-3 cover x 9..54, y 9..15. The
// thirteenth ring, in the fourth frame, reaches every edge of the (even)
// tile height, and the picture is held from the fifth Draw on.
TEST(Stain, PictureGrowsFromTheMiddleAndFillsTheScreen) {
  struct Case {
    int width, height;
    gfx::Rect afterOneFrame;
  };
  for (const Case& c : {Case{64, 25, {9, 9, 55, 16}}, Case{25, 64, {9, 9, 16, 55}}}) {
    ModuleHarness h(kStain, c.width, c.height);
    h.Init();
    h.Start();
    ASSERT_EQ(h.Draw(), 0);
    const gfx::Surface& s = h.surface();
    for (int y = 0; y < c.height; ++y) {
      for (int x = 0; x < c.width; ++x) {
        const bool inside = x >= c.afterOneFrame.left && x < c.afterOneFrame.right &&
                            y >= c.afterOneFrame.top && y < c.afterOneFrame.bottom;
        ASSERT_EQ(s.row(y)[x] != kUntouched, inside) << c.width << "x" << c.height << " " << x << "," << y;
      }
    }
    EXPECT_EQ(h.Draw(), 0);
    EXPECT_EQ(h.Draw(), 0);
    EXPECT_EQ(h.Draw(), 0);  // the thirteenth ring; finished: the next picture is set up
    EXPECT_EQ(h.Draw(), kYield);
    for (size_t i = 0; i < s.size(); ++i) ASSERT_NE(s.data()[i], kUntouched) << i;
    h.Stop();
  }
}

// Every kind, with and without folding, on ordinary and tiny screens:
// every pixel ends up a saver palette entry (physical 10..245). Sides of 9
// and less leave no room for the nodes' margins, and a single pixel has no
// diagonal to scale distances by.
TEST(Stain, EveryKindFillsTheScreenWithPaletteEntries) {
  for (int kind = 0; kind <= 10; ++kind) {
    for (int folding : {0, 3}) {
      for (auto [w, hgt] : {std::pair{37, 23}, std::pair{9, 10}, std::pair{1, 1}}) {
        ModuleHarness h(kStain, w, hgt, 500 + kind);
        h.Set(kType, kind);
        h.Set(kNodes, 4);
        h.Set(kFolding, folding);
        PaintOnePicture(h);
        for (size_t i = 0; i < h.surface().size(); ++i) {
          const uint8_t p = h.surface().data()[i];
          ASSERT_TRUE(p >= 10 && p < 246) << "kind " << kind << " folding " << folding << " "
                                          << w << "x" << hgt << " pixel " << i << " = " << int{p};
        }
        h.Stop();
      }
    }
  }
}

// A folded ring on a screen wider than high: its bottom row is the folded
// sample and its top row a straight copy, so every ring's rows mirror each
// other about the middle row (the corner pixels belong to the columns).
TEST(Stain, FoldingMirrorsEveryRingTopToBottom) {
  constexpr int kW = 61, kH = 21;  // the middle row is 10
  for (int folding : {1, 4, 20}) {
    ModuleHarness h(kStain, kW, kH, 77 + folding);
    h.Set(kFolding, folding);
    PaintOnePicture(h);
    const gfx::Surface& s = h.surface();
    for (int k = 1; k <= 10; ++k) {
      for (int x = 10 - k + 1; x < kW - 1 - (10 - k); ++x) {
        ASSERT_EQ(s.row(10 - k)[x], s.row(10 + k)[x]) << "folding " << folding << " ring " << k
                                                        << " x " << x;
      }
    }
  }
}

// 2 x 2 tiles of 41 x 25: tiles 20 x 12 pixels apart, sharing their edge
// pixels; odd columns mirror left-right, odd rows top-bottom.
TEST(Stain, TiledPictureIsMirroredIntoEveryTile) {
  for (int folding : {0, 2}) {
    ModuleHarness h(kStain, 41, 25);
    h.Set(kXTiling, 2);
    h.Set(kYTiling, 2);
    h.Set(kFolding, folding);
    PaintOnePicture(h);
    EXPECT_TRUE(Mirrored(h.surface(), true)) << "folding " << folding;
    EXPECT_TRUE(Mirrored(h.surface(), false)) << "folding " << folding;
  }
}

// Tile type 1 leaves out tile (0, 0): on a single tile nothing is painted,
// and a new picture is set up each time the duration has passed.
TEST(Stain, TileTypeOneOnASingleTilePaintsNothingAndStartsOver) {
  ModuleHarness h(kStain, 64, 48);
  h.Set(kTileType, 1);
  h.Set(kDuration, 2);
  h.Init();
  h.Start();
  const std::pair<uint32_t, int32_t> advanceAndResult[] = {
      {0, 0}, {0, kYield}, {1999, kYield}, {1, 0}, {0, kYield}};
  for (auto [advance, result] : advanceAndResult) {
    h.clock().Advance(advance);
    EXPECT_EQ(h.Draw(), result) << h.clock().TickCount();
  }
  h.Stop();
  EXPECT_TRUE(h.Untouched());
}

// "X Tiling" follows the sound each frame: silent at Start (one column),
// then at full level (two), the picture is mirrored into two tiles.
TEST(Stain, LiveTilingIsReadEveryFrame) {
  ModuleHarness h(kStain, 41, 21);
  h.sound().SetU32(share_offset::PlayerActive, 1);
  h.sound().SetU32(share_offset::ModuleSoundEnabled, 1);
  h.sound().SetF32(share_offset::LevelFullScale, 1.0f);
  ModuleControl& c = h.control(kXTiling);
  c.Source = kSourceVolume;
  c.RangeLo = 1;
  c.RangeHi = 2;
  h.Init();
  h.Start();
  h.sound().SetF32(share_offset::LeftLevel, 1.0f);
  h.sound().SetF32(share_offset::RightLevel, 1.0f);
  while (h.Draw() != kYield) {
  }
  EXPECT_TRUE(Mirrored(h.surface(), true));
  h.Stop();
}

TEST(Stain, FailedAllocationLeavesTheModuleIdle) {
  for (auto [w, hgt] : {std::pair{0, 48}, std::pair{-5, -5}, std::pair{1 << 20, 4}}) {
    ModuleHarness h(kStain, 16, 16);
    h.module().width = w;
    h.module().height = hgt;
    h.Init();
    h.Start();
    EXPECT_EQ(h.Draw(), kYield);
    h.Stop();
    ASSERT_EQ(h.system().debugLines().size(), 1u);
    EXPECT_EQ(h.system().debugLines()[0], "Could not allocate buffers");
    EXPECT_TRUE(h.Untouched());
  }
}

}  // namespace
}  // namespace lumox::testing
