// The Star module: its colour sequence, the tunnel's ring and its
// rotational copies.
#include <gtest/gtest.h>

#include <cmath>

#include "module_harness.h"

namespace lumox::testing {
namespace {

enum Slot {
  kStars = 0,
  kSymmetry = 13,
};

// Frame 1 after Start draws in palette index 1; the index steps once per
// frame and 235 is followed by 0.
TEST(Star, ColourStepsPerFrameAndWrapsAfter235) {
  ModuleHarness h(kStar, 160, 120);
  h.Set(kStars, 99);
  h.Init();
  h.Start();
  for (int frame = 1; frame <= 237; ++frame) {
    h.surface().Fill(0);
    h.Draw();
    const std::set<uint8_t> colours = ColoursOn(h.surface());
    if (colours.empty()) continue;  // no point in view this frame
    EXPECT_EQ(colours, std::set<uint8_t>{PhysicalOf(frame % 236)}) << "frame " << frame;
  }
  h.Stop();
}

// "Stars" 0 is a tunnel: the points re-enter on a ring of radius 90 around
// the axis of view, 200 to 350 in front of the origin, and with no turn
// they fly straight at the camera (125 behind the origin, focal length
// 200). So every streak lies at least 90 * 200 / 475 = 37.9 pixels from
// the screen centre.
TEST(Star, TunnelLeavesTheMiddleOfTheScreenEmpty) {
  ModuleHarness h(kStar, 240, 180);
  h.surface().Fill(0);
  h.Set(kStars, 0);
  h.Run(400);
  int inner = 0, outer = 0;
  for (int y = 0; y < 180; ++y) {
    for (int x = 0; x < 240; ++x) {
      if (h.surface().row(y)[x] == 0) continue;
      const double r = std::hypot(x - 120, y - 90);
      (r < 36 ? inner : outer) += 1;
    }
  }
  EXPECT_EQ(inner, 0);
  EXPECT_GT(outer, 500);
  h.Stop();
}

// Whether the picture looks the same turned a quarter turn about (c, c):
// each painted pixel has a painted one within a pixel of its turned place
// (the copies are turned with integer truncation).
bool QuarterTurnSymmetric(const gfx::Surface& s, int c) {
  const auto painted = [&s](int x, int y) {
    return x >= 0 && y >= 0 && x < s.width() && y < s.height() && s.row(y)[x] != 0;
  };
  for (int y = 0; y < s.height(); ++y) {
    for (int x = 0; x < s.width(); ++x) {
      if (!painted(x, y)) continue;
      const int tx = c + (y - c), ty = c - (x - c);
      bool near = false;
      for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) near = near || painted(tx + dx, ty + dy);
      }
      if (!near) return false;
    }
  }
  return true;
}

TEST(Star, SymmetryFourDrawsEveryStreakInFourQuarterTurns) {
  for (int symmetry : {4, 1}) {
    ModuleHarness h(kStar, 121, 121);
    h.surface().Fill(0);
    h.Set(kSymmetry, symmetry);
    h.Run(60);
    EXPECT_EQ(QuarterTurnSymmetric(h.surface(), 60), symmetry == 4) << symmetry;
    h.Stop();
  }
}

}  // namespace
}  // namespace lumox::testing
