// Plasma: the finished cloud covers the window in saver colours, is held
// for "Image Duration" while Draw yields, and then a new cloud grows.
#include <gtest/gtest.h>

#include "module_harness.h"

namespace lumox::testing {
namespace {

TEST(Plasma, FinishedCloudIsHeldThenRegrown) {
  ModuleHarness h(kPlasma, 37, 23, 7);
  h.surface().Fill(kUntouched);
  h.Set(2, 10);  // "Effect": one smoothing pass, nothing random
  h.Set(3, 2);   // "Image Duration": 2 s
  h.Init();
  h.Start();
  int frames = 0;
  while (h.Draw() != kYield && frames < 100) h.clock().Advance(16), ++frames;
  ASSERT_LT(frames, 100) << "the cloud never finished";
  for (int y = 0; y < 23; ++y) {
    for (int x = 0; x < 37; ++x) {
      const uint8_t p = h.surface().row(y)[x];
      EXPECT_TRUE(p >= PhysicalOf(0) && p <= PhysicalOf(235)) << x << "," << y << ": " << int(p);
    }
  }
  const uint64_t finished = h.Hash();
  h.clock().Advance(1900);
  EXPECT_EQ(h.Draw(), kYield);
  EXPECT_EQ(h.Hash(), finished);
  h.clock().Advance(200);  // past the hold: a new cloud starts and grows
  for (int i = 0; i < 20; ++i) h.Draw(), h.clock().Advance(16);
  EXPECT_NE(h.Hash(), finished);
  h.Stop();
}

}  // namespace
}  // namespace lumox::testing
