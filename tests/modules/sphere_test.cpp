// The Sphere module: where its balls land, and that it leaves the overlay
// boxes alone although it selects a clip region of its own for every ball.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "gfx/geometry.h"
#include "module_harness.h"
#include "overlay/block_font.h"
#include "overlay/overlays.h"

namespace lumox::testing {
namespace {

enum : int { kSize = 0, kSymmetry = 1, kType = 2, kXTiling = 4, kYTiling = 5, kTileType = 6 };

// The bounds of every pixel the module touched.
gfx::Rect TouchedBounds(const gfx::Surface& surface) {
  gfx::Rect bounds{surface.width(), surface.height(), 0, 0};
  for (int y = 0; y < surface.height(); ++y) {
    for (int x = 0; x < surface.width(); ++x) {
      if (surface.row(y)[x] == kUntouched) continue;
      bounds = {std::min(bounds.left, x), std::min(bounds.top, y), std::max(bounds.right, x + 1),
                std::max(bounds.bottom, y + 1)};
    }
  }
  return bounds;
}

TEST(Sphere, VisibleOverlayBoxesStayIntact) {
  BlockFont font;
  auto saver = std::make_unique<SaverState>();
  saver->options.ShowName = 1000;
  std::strcpy(saver->displayName, "[D] Sphere");
  std::strcpy(saver->slogan, "Kaleidoscope");
  // Wedges, doubled balls and tile clipping each select their own clip.
  for (int32_t type : {0, 1 | 2, 32 | 1, 4 | 8}) {
    ModuleHarness h(kSphere, 400, 300);
    h.Set(kSize, 250);
    h.Set(kType, type);
    SetUpOverlays(h.canvas(), *saver, false, &font);
    DrawOverlays(h.canvas(), *saver);
    gfx::Rect boxes[kOverlayBoxCount];
    ASSERT_EQ(VisibleOverlayBoxes(boxes), 2);
    const gfx::Surface before = h.surface();
    h.Run(60);
    h.Stop();
    for (const gfx::Rect& box : boxes) {
      for (int y = box.top; y < box.bottom; ++y)
        ASSERT_EQ(std::memcmp(h.surface().row(y) + box.left, before.row(y) + box.left,
                              box.right - box.left),
                  0)
            << "type " << type << ": box row " << y << " overdrawn";
    }
    EXPECT_FALSE(h.Untouched());
  }
}

TEST(Sphere, TileClippingKeepsBallsInTheSelectedTiles) {
  ModuleHarness h(kSphere, 96, 64);  // 3 x 2 tiles of 32 x 32
  h.Set(kXTiling, 3);
  h.Set(kYTiling, 2);
  h.Set(kTileType, 1);  // column + row odd
  h.Set(kType, 32);
  h.Run(50);
  h.Stop();
  for (int row = 0; row < 2; ++row) {
    for (int column = 0; column < 3; ++column) {
      const gfx::Rect tile{column * 32, row * 32, column * 32 + 32, row * 32 + 32};
      bool touched = false;
      for (int y = tile.top; y < tile.bottom; ++y)
        for (int x = tile.left; x < tile.right; ++x)
          touched = touched || h.surface().row(y)[x] != kUntouched;
      EXPECT_EQ(touched, (column + row) % 2 == 1) << "tile " << column << "," << row;
    }
  }
}

// Two balls make no wedge: the wedge clip is ignored below three.
TEST(Sphere, SymmetryTwoDrawsWholeBallsEvenWithWedgeClipping) {
  ModuleHarness h(kSphere, 64, 48);
  h.Set(kSymmetry, 2);
  h.Set(kType, 1);
  h.Run(10);
  h.Stop();
  EXPECT_FALSE(h.Untouched());
}

// With the player running but silent, every ball sits one pixel from the
// centre; without it, balls jump up to the half diagonal (40) away.
TEST(Sphere, SilenceKeepsTheBallsOnTheCentre) {
  for (bool player : {true, false}) {
    ModuleHarness h(kSphere, 64, 48);
    h.Set(kSize, 15);  // balls 15 across: a radius of 7
    if (player) {
      h.sound().SetU32(share_offset::PlayerActive, 1);
      h.sound().SetU32(share_offset::ModuleSoundEnabled, 1);
      h.sound().SetF32(share_offset::LevelFullScale, 1.0f);
    }
    h.Run(30);
    h.Stop();
    const gfx::Rect bounds = TouchedBounds(h.surface());
    const gfx::Rect nearCentre{32 - 9, 24 - 9, 32 + 10, 24 + 10};
    const bool inside = bounds.left >= nearCentre.left && bounds.top >= nearCentre.top &&
                        bounds.right <= nearCentre.right && bounds.bottom <= nearCentre.bottom;
    EXPECT_EQ(inside, player) << "drawn from (" << bounds.left << "," << bounds.top << ") to ("
                              << bounds.right << "," << bounds.bottom << ")";
  }
}

}  // namespace
}  // namespace lumox::testing
