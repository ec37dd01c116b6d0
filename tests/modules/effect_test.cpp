// The Effect module: when its effects come, and what a few of them leave on
// a known picture.
#include <gtest/gtest.h>

#include <memory>

#include "module_harness.h"
#include "state/palette_state.h"

namespace lumox::testing {
namespace {

enum Slot { kType = 0, kXStrength = 1, kYStrength = 2, kDisplayInterval = 3 };

// The first effect comes one interval after Start. Type 0 with a step of
// half the screen's width inverts one rectangle only, W - 1 by H - 1: the
// right column and the bottom row stay as they were.
TEST(Effect, FirstEffectOneIntervalAfterStartAndASingleRectangle) {
  ModuleHarness h(kEffect, 640, 480);
  h.surface().Fill(0);
  h.Set(kType, 0);
  h.Set(kXStrength, 320);
  h.Set(kDisplayInterval, 1);
  h.Init();
  h.Start();
  h.clock().Advance(999);
  EXPECT_EQ(h.Draw(), 0);
  EXPECT_EQ(ColoursOn(h.surface()), std::set<uint8_t>{});
  h.clock().Advance(1);
  EXPECT_EQ(h.Draw(), 0);
  const gfx::Surface& s = h.surface();
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      const uint8_t expected = (x < 639 && y < 479) ? gfx::kPhysicalWhite : 0;
      ASSERT_EQ(s.row(y)[x], expected) << x << "," << y;
    }
  }
  h.Stop();
}

// A fold of depth 1 mirrors the top-left quarter over the other three: of
// four differently coloured quarters only the first is left.
TEST(Effect, FoldOfDepthOneLeavesTheTopLeftQuarterEverywhere) {
  for (int type : {6, 12}) {  // 12: seeded, a random piece of the screen first
    ModuleHarness h(kEffect, 40, 30);
    for (int y = 0; y < 30; ++y) {
      for (int x = 0; x < 40; ++x) h.surface().row(y)[x] = PhysicalOf((x >= 20) + 2 * (y >= 15));
    }
    h.Set(kType, type);
    h.Set(kDisplayInterval, 0);
    h.Run(1);
    // The whole screen shows what the top-left quarter shows.
    std::set<uint8_t> quarter;
    for (int y = 0; y < 15; ++y) {
      for (int x = 0; x < 20; ++x) quarter.insert(h.surface().row(y)[x]);
    }
    EXPECT_EQ(ColoursOn(h.surface()), quarter) << type;
    if (type == 6) {
      EXPECT_EQ(quarter, std::set<uint8_t>{PhysicalOf(0)});
    }
    h.Stop();
  }
}

// Palette stamps count up from the palette index of the pixel under their
// centre, found by its colour: a saver colour reads back as itself when the
// palette's colours are all different (its outermost ring then does not
// show), black as the entry nearest black. A stamp over an earlier one
// starts higher.
TEST(Effect, PaletteStampsStartFromThePixelUnderThem) {
  auto palette = std::make_unique<PaletteState>();
  for (int i = 0; i < kPaletteEntries; ++i) {
    palette->entries[i].Set({static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 128});
  }
  palette->entries[77].Set({0, 0, 0});
  struct Case {
    uint8_t background;
    int lowestShown;
  };
  for (const Case& c : {Case{PhysicalOf(40), 41}, Case{0, 77}}) {
    ModuleHarness h(kEffect, 64, 48, 7 + c.lowestShown);
    h.module().palette = palette.get();
    h.surface().Fill(c.background);
    h.Set(kType, 21);        // circles
    h.Set(kXStrength, 21);   // 1 to 8 stamps
    h.Set(kYStrength, 37);   // radii 3 to 7
    h.Set(kDisplayInterval, 0);
    h.Run(3);
    std::set<uint8_t> colours = ColoursOn(h.surface());
    colours.erase(c.background);
    ASSERT_FALSE(colours.empty());
    EXPECT_EQ(*colours.begin(), PhysicalOf(c.lowestShown));
    h.Stop();
  }
}

}  // namespace
}  // namespace lumox::testing
