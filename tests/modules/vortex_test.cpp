// The Vortex module: how long a collapse is held, and where its colours start.
#include <gtest/gtest.h>

#include "module_harness.h"

namespace lumox::testing {
namespace {

enum Slot { kPoints = 0, kImageDuration = 3, kType = 4, kCollapseRate = 5 };

// Frames (16 ms apart) until Draw first returns something other than a
// yield: the frame that starts the next vortex. Every frame before it
// yields, the drawing ones included.
int FramesUntilTheNextVortex(int imageDuration) {
  ModuleHarness h(kVortex, 64, 48);
  h.Set(kImageDuration, imageDuration);
  h.Init();
  h.Start();
  for (int frame = 1; frame <= 1000; ++frame) {
    if (h.Draw() != kYield) return frame;
    h.clock().Advance(16);
  }
  return -1;
}

// The picture is held "Image Duration" seconds after the collapse, then the
// next vortex starts; with 0 it starts in the first frame after it.
TEST(Vortex, HoldsTheCollapsedPictureForTheImageDuration) {
  const int atOnce = FramesUntilTheNextVortex(0);
  const int afterOneSecond = FramesUntilTheNextVortex(1);
  ASSERT_GT(atOnce, 1);
  EXPECT_LT(atOnce, 20);  // a 40-pixel radius collapsing at least 5 pixels a frame
  // With 0 the first frame after the last drawn one is past the end; with
  // 1000 ms at 16 ms a frame, the 63rd.
  EXPECT_EQ(afterOneSecond - atOnce, 62);
}

// The first frame fills each stretch in its point's colour index plus one,
// wrapping at 236: type 3 squares the odd indices.
TEST(Vortex, FirstFrameColoursFollowTheType) {
  ModuleHarness h(kVortex, 64, 48);
  h.surface().Fill(0);
  h.Set(kPoints, 40);
  h.Set(kType, 3);
  h.Run(1);
  std::set<uint8_t> allowed;
  for (int k = 0; k < 40; ++k) allowed.insert(PhysicalOf(((k % 2 != 0 ? k * k : k) + 1) % 236));
  const std::set<uint8_t> drawn = ColoursOn(h.surface());
  ASSERT_FALSE(drawn.empty());
  for (uint8_t p : drawn) EXPECT_TRUE(allowed.count(p)) << int{p};
  // Only the squares reach past the indices 0-40 of the even points.
  EXPECT_GT(*drawn.rbegin(), PhysicalOf(41));
  h.Stop();
}

}  // namespace
}  // namespace lumox::testing
