// Golden frames: each module with a fixed seed, its default controls and a
// manual clock (16 ms per frame) on a small canvas. A mismatch writes the
// frame as a PNG into the build directory and names it; look at it, and if
// the new picture is right, replace the hash with the one printed.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "module_harness.h"

namespace lumox::testing {
namespace {

struct Golden {
  int module;
  std::map<int, uint64_t> frames;  // frame number -> FNV-1a of the surface
};

void CheckGolden(const Golden& golden) {
  ModuleHarness h(golden.module, 64, 48, 20261206);
  h.Init();
  h.Start();
  int drawn = 0;
  for (const auto& [frame, expected] : golden.frames) {
    h.DrawFrames(frame - drawn);
    drawn = frame;
    const uint64_t actual = h.Hash();
    if (actual != expected) {
      const std::string name = std::string("golden_") + kModuleNames[golden.module] + "_" +
                               std::to_string(frame);
      const std::string path = h.WritePng(name);
      ADD_FAILURE() << kModuleNames[golden.module] << " frame " << frame << ": hash 0x"
                    << std::hex << actual << ", expected 0x" << expected << std::dec
                    << "; picture written to " << (path.empty() ? "(failed)" : path);
    }
  }
  h.Stop();
}

TEST(Golden, FramesOfEachDrawnModule) {
  CheckGolden({kBezier,
               {{10, 0x5f64f267e6753f49ull}, {100, 0x21d9c5c46ecc08c2ull}, {300, 0xddb900a44895b60bull}}});
  CheckGolden({kCyclic,
               {{10, 0x8e3da04243654325ull}, {100, 0xf2f615113ca85325ull}, {300, 0x3b1fc72e40d54325ull}}});
  CheckGolden({kPattern, {{3, 0x400095621820a8b6ull}, {10, 0x7d1a241928b7782dull}}});
}

}  // namespace
}  // namespace lumox::testing
