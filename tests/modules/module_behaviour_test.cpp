// What single modules promise beyond their golden frames: colours and
// timing given as numbers, and the shapes their descriptions name.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "module_harness.h"
#include "overlay/block_font.h"
#include "overlay/overlays.h"

namespace lumox::testing {
namespace {

TEST(Pattern, FoldingMakesOppositeEdgesOfEveryRingEqual) {
  constexpr int kW = 37, kH = 23;
  for (int type = 0; type <= 20; type += 4) {
    ModuleHarness h(kPattern, kW, kH, 99 + type);
    h.Set(7, 3);   // folding 6
    h.Set(2, type);
    h.Set(1, 60);  // with turbulence
    ASSERT_GT(h.FinishPicture(200), 0);
    const gfx::Surface& s = h.surface();
    // Ring k: its top and bottom rows are copies (apart from the corners,
    // which the columns paint last), and so are its left and right columns.
    for (int k = 0; 2 * k <= kH - 1; ++k) {
      for (int x = k + 1; x < kW - 1 - k; ++x)
        ASSERT_EQ(s.row(k)[x], s.row(kH - 1 - k)[x]) << "type " << type << " ring " << k;
      for (int y = k; y <= kH - 1 - k; ++y)
        ASSERT_EQ(s.row(y)[k], s.row(y)[kW - 1 - k]) << "type " << type << " ring " << k;
    }
    for (size_t i = 0; i < s.size(); ++i) ASSERT_NE(s.data()[i], kUntouched) << i;
  }
}

// The first frame after Start fills in palette index 2 (the index starts at
// 1 and steps before drawing); the outline takes the complementary index
// 236 - 2. After 100 seconds the module starts over at index 2.
TEST(Polygon, FirstFrameColoursAndTheRestartAfterOneHundredSeconds) {
  for (int outline : {0, 1}) {
    ModuleHarness h(kPolygon, 64, 48);
    h.surface().Fill(0);
    h.Set(0, 5);  // vertices
    h.Set(3, outline);
    h.Run(1);
    std::set<uint8_t> expected{PhysicalOf(2)};
    if (outline) expected.insert(PhysicalOf(234));
    EXPECT_EQ(ColoursOn(h.surface()), expected) << "outline " << outline;
    h.DrawFrames(30, 100);  // 3 s: colour index 32
    h.clock().Advance(100000);
    h.Draw();  // past the restart time: this frame, then Start
    h.surface().Fill(0);
    h.Draw();
    EXPECT_EQ(ColoursOn(h.surface()), expected) << "outline " << outline;
    h.Stop();
  }
}

// The picture is held "Image Duration" seconds after the collapse, then the
// next vortex starts; with 0 it starts in the first frame after it.
TEST(Vortex, HoldsTheCollapsedPictureForTheImageDuration) {
  int framesUntilTheNext[2] = {};
  for (int seconds : {0, 1}) {
    ModuleHarness h(kVortex, 64, 48);
    h.Set(3, seconds);
    h.Init();
    h.Start();
    int frame = 1;
    while (frame < 1000 && h.Draw() == kYield) h.clock().Advance(16), ++frame;
    framesUntilTheNext[seconds] = frame;
    h.Stop();
  }
  EXPECT_GT(framesUntilTheNext[0], 1);
  EXPECT_LT(framesUntilTheNext[0], 20);  // a 40-pixel radius collapsing at least 5 pixels a frame
  // With 1000 ms at 16 ms a frame, the 63rd frame after the last drawn one.
  EXPECT_EQ(framesUntilTheNext[1] - framesUntilTheNext[0], 62);
}

// The first effect comes one interval after Start. Type 0 with a step of
// half the screen's width inverts one rectangle only, W - 1 by H - 1: the
// right column and the bottom row stay as they were.
TEST(Effect, FirstEffectOneIntervalAfterStartAndASingleRectangle) {
  ModuleHarness h(kEffect, 640, 480);
  h.surface().Fill(0);
  h.Set(0, 0);    // type
  h.Set(1, 320);  // "X Strength"
  h.Set(3, 1);    // "Display Interval"
  h.Init();
  h.Start();
  h.clock().Advance(999);
  EXPECT_EQ(h.Draw(), 0);
  EXPECT_TRUE(ColoursOn(h.surface()).empty());
  h.clock().Advance(1);
  EXPECT_EQ(h.Draw(), 0);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x)
      ASSERT_EQ(h.surface().row(y)[x], x < 639 && y < 479 ? gfx::kPhysicalWhite : 0)
          << x << "," << y;
  h.Stop();
}

// Sphere selects a clip region of its own for every ball, yet leaves the
// visible overlay boxes alone.
TEST(Sphere, VisibleOverlayBoxesStayIntact) {
  BlockFont font;
  auto saver = std::make_unique<SaverState>();
  saver->options.ShowName = 1000;
  std::strcpy(saver->displayName, "[D] Sphere");
  std::strcpy(saver->slogan, "Kaleidoscope");
  // Wedges, doubled balls and tile clipping each select their own clip.
  for (int32_t type : {0, 1 | 2, 32 | 1, 4 | 8}) {
    ModuleHarness h(kSphere, 400, 300);
    h.Set(0, 250);  // size
    h.Set(2, type);
    SetUpOverlays(h.canvas(), *saver, false, &font);
    DrawOverlays(h.canvas(), *saver);
    gfx::Rect boxes[kOverlayBoxCount];
    ASSERT_EQ(VisibleOverlayBoxes(boxes), 2);
    const gfx::Surface before = h.surface();
    h.Run(60);
    h.Stop();
    for (const gfx::Rect& box : boxes)
      for (int y = box.top; y < box.bottom; ++y)
        ASSERT_TRUE(std::equal(before.row(y) + box.left, before.row(y) + box.right,
                               h.surface().row(y) + box.left))
            << "type " << type << ": box row " << y << " overdrawn";
    EXPECT_FALSE(h.Untouched());
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
        h.Set(2, kind);
        h.Set(0, 4);  // nodes
        h.Set(1, folding);
        ASSERT_GT(h.FinishPicture(), 0);
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

// A new picture is set up each time the duration has passed; on a single
// tile of type 1 there is nothing to paint, so each is finished at once.
TEST(Stain, StartsANewPictureAfterItsDuration) {
  ModuleHarness h(kStain, 64, 48);
  h.Set(12, 1);  // tile type
  h.Set(3, 2);   // duration
  h.Init();
  h.Start();
  const std::pair<uint32_t, int32_t> advanceAndResult[] = {
      {0, 0}, {0, kYield}, {1999, kYield}, {1, 0}, {0, kYield}};
  for (auto [advance, result] : advanceAndResult) {
    h.clock().Advance(advance);
    EXPECT_EQ(h.Draw(), result) << h.clock().TickCount();
  }
  h.Stop();
}

}  // namespace
}  // namespace lumox::testing
