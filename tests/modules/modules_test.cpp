// Every drawing module under bad, extreme and ordinary settings, and the
// behaviour they all share.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>
#include <vector>

#include "module_harness.h"

namespace lumox::testing {
namespace {

using Preset = ModuleHarness::Preset;

constexpr int kMargin = 2;

// Every drawing module (the Random module draws nothing of its own and has
// its own tests).
const std::vector<int> kDrawnModules = [] {
  std::vector<int> modules;
  for (int i = 0; i < kModuleCount; ++i)
    if (i != kRandom) modules.push_back(i);
  return modules;
}();

struct Size {
  int width, height;
};
constexpr Size kSizes[] = {{64, 48}, {37, 23}};

std::string Describe(int module, Size size, const std::string& what) {
  return std::string(kModuleNames[module]) + " " + std::to_string(size.width) + "x" +
         std::to_string(size.height) + " " + what;
}

// Init, Start, `frames` Draws and Stop on a canvas clipped `kMargin` pixels
// inside its edges; nothing may land outside the clip. A Draw after Stop
// (the render thread's restart) finds the module idle.
void RunClipped(ModuleHarness& h, int frames, const std::string& what) {
  h.ClipInside(kMargin);
  h.Run(frames);
  h.Stop();
  EXPECT_FALSE(h.TouchedOutside(kMargin)) << what;
  h.surface().Fill(kUntouched);
  EXPECT_EQ(h.Draw(), kYield) << what;
  EXPECT_TRUE(h.Untouched()) << what;
}

// The presets on small canvases, then a single pixel, a strip as wide as a
// row of large monitors and the settings dialog's preview: no size may
// divide by zero or draw outside. The single pixel has no room for a clip
// margin: it runs unclipped, for the arithmetic (the sanitizer build checks
// it).
TEST(Modules, PresetsAndOddWindowSizesRunCleanly) {
  // The small canvases run 300 frames of the minimum and default presets and
  // one of the maximum; the odd sizes 60 frames of the minimum and default.
  const Size sizes[] = {kSizes[0], kSizes[1], {1, 1}, {16384, 16}, {152, 112}};
  for (int module : kDrawnModules)
    for (int s = 0; s < 5; ++s)
      for (Preset preset : {Preset::Minimum, Preset::Default, Preset::Maximum}) {
        const Size size = sizes[s];
        const bool small = s < 2;
        if (preset == Preset::Maximum && !small) continue;
        ModuleHarness h(module, size.width, size.height);
        h.SetAll(preset);
        if (preset == Preset::Maximum && module != kPattern) {
          // Everything at its maximum costs seconds per frame (10 curves or
          // 99 nested figures, times 32 symmetric copies, times 400 tiles);
          // the figure counts and nesting stay at their defaults here, and
          // the per-control sweep below covers their maxima.
          h.Set(0, h.control(0).Default);
          if (module == kCyclic) h.Set(7, h.control(7).Default);
        }
        const int frames = preset == Preset::Maximum ? 1 : small ? 300 : 60;
        if (size.width == 1) {
          h.Run(frames);
          h.Stop();
        } else {
          RunClipped(h, frames,
                     Describe(module, size, "preset " + std::to_string(static_cast<int>(preset))));
        }
      }
}

// Each control in turn at its limits and far beyond them (a hand-edited
// registry before validation), the others at their defaults; then live,
// re-read every frame (all of them live at once at their largest would cost
// seconds per frame), oscillating through a range far past the limits or
// following sound far above full scale with AutoGain off. Start's one-shot
// evaluation hands the module the same wild values.
TEST(Modules, EachControlAtAndBeyondItsLimits) {
  for (int module : kDrawnModules) {
    for (const ControlRow& row : GetModuleDefinition(module).controls) {
      if (row.index == 9) continue;  // "Strength" is the render thread's
      const int32_t values[] = {row.minimum, row.maximum, row.minimum - 1, row.maximum + 1,
                                0, -1000, 100000, INT32_MIN, INT32_MAX};
      const std::string control = "control " + std::to_string(row.index);
      for (int32_t value : values) {
        const Size size = kSizes[(row.index ^ value) & 1];
        ModuleHarness h(module, size.width, size.height);
        h.Set(row.index, value);
        RunClipped(h, 40, Describe(module, size, control + " = " + std::to_string(value)));
      }
      for (int32_t source : {int32_t{kSourceOscillate}, int32_t{kSourceVolume}}) {
        ModuleHarness h(module, 64, 48);
        h.sound().SetU32(share_offset::ModuleSoundEnabled, 1);
        h.sound().SetU32(share_offset::PlayerActive, 1);
        h.sound().SetF32(share_offset::LeftLevel, 1e6f);
        h.sound().SetF32(share_offset::RightLevel, 1e6f);
        h.sound().SetF32(share_offset::LevelFullScale, 1.0f);
        ModuleControl& c = h.control(row.index);
        std::tie(c.Source, c.Sense, c.RangeLo, c.RangeHi) =
            std::tuple(source, 10, c.Minimum - 500, c.Maximum * 50 + 7);
        RunClipped(h, 30,
                   Describe(module, {64, 48}, control + " from source " + std::to_string(source)));
      }
    }
  }
}

// A module's behaviour must not depend on the absolute tick count: the same
// run started just before the tick count wraps round (after 49.7 days) draws
// the same pictures as one started at an ordinary time. Durations are short
// so that deadlines fall on both sides of the wrap.
TEST(Modules, TheTickCountWrapChangesNothing) {
  for (int module : kDrawnModules) {
    uint64_t hashes[2] = {};
    for (int run = 0; run < 2; ++run) {
      ModuleHarness h(module, 37, 23);
      h.clock().Set(run == 0 ? 1000u : 0xFFFFFFFFu - 1500u);
      for (const char* label : {"Duration", "Image Duration"})
        if (const int slot = h.SlotLabelled(label); slot >= 0) h.Set(slot, 1);
      h.Run(400);
      hashes[run] = h.Hash();
      h.Stop();
    }
    EXPECT_EQ(hashes[0], hashes[1]) << kModuleNames[module];
  }
}

// Tile type 1 leaves out tile (0, 0): on a single tile nothing is drawn. On
// a 2 x 2 grid of type 0 every tile gets its copy of the picture.
TEST(Modules, TileTypeOneOnASingleTileDrawsNothingAndAGridPaintsEveryTile) {
  for (int module : kDrawnModules) {
    for (int tiles : {1, 2}) {
      ModuleHarness h(module, 64, 48);
      const int slot = h.SlotLabelled("Tile Type");
      if (slot < 0) break;
      h.Set(slot, tiles == 1 ? 1 : 0);
      h.Set(h.SlotLabelled("X Tiling"), tiles);
      h.Set(h.SlotLabelled("Y Tiling"), tiles);
      if (module == kStar) h.Set(0, 99);  // stars: the default twenty leave tiles empty
      h.Run(50);
      h.Stop();
      if (tiles == 1) {
        EXPECT_TRUE(h.Untouched()) << kModuleNames[module];
        continue;
      }
      // Something lands well inside each 32 x 24 tile, not only on its border.
      for (int tile = 0; tile < 4; ++tile) {
        bool painted = false;
        for (int y = tile / 2 * 24 + 4; y < tile / 2 * 24 + 20; ++y)
          for (int x = tile % 2 * 32 + 4; x < tile % 2 * 32 + 28; ++x)
            painted = painted || h.surface().row(y)[x] != kUntouched;
        EXPECT_TRUE(painted) << kModuleNames[module] << " tile " << tile;
      }
    }
  }
}

// With a trail, Stop during a run (a restart) erases every frame still on
// the screen by replaying the recorded frames in black; at the end of the
// run the picture stays.
TEST(Modules, StopOnRestartErasesTheTrail) {
  for (int module : {kBezier, kCyclic}) {
    for (bool running : {true, false}) {
      ModuleHarness h(module, 64, 48);
      h.surface().Fill(0);
      h.Set(2, 5);  // a trail of 15 frames
      h.Set(module == kBezier ? 1 : 4, 3);  // symmetry
      // Small figures: a frame must not cover the whole screen, or the
      // first erase step would black it all out at once.
      h.Set(3, 2);  // Bezier's pen width, Cyclic's dot diameter
      h.Run(40);
      ASSERT_FALSE(ColoursOn(h.surface()).empty()) << kModuleNames[module];
      Saver().runFlag = running ? 1 : 0;
      h.Stop();
      EXPECT_EQ(ColoursOn(h.surface()).empty(), running) << kModuleNames[module];
    }
  }
}

// Sizes the buffers cannot be made for: the module reports it once and
// stays idle.
TEST(Modules, FailedAllocationLeavesTheModuleIdle) {
  for (int module : {kPattern, kStain}) {
    for (Size size : {Size{0, 48}, Size{64, 0}, Size{-5, -5}, Size{1 << 20, 4}}) {
      ModuleHarness h(module, 16, 16);
      std::tie(h.module().width, h.module().height) = std::pair(size.width, size.height);
      h.Init();
      h.Start();
      EXPECT_EQ(h.Draw(), kYield);
      h.Stop();
      EXPECT_EQ(h.system().debugLines(), std::vector<std::string>{"Could not allocate buffers"});
      EXPECT_TRUE(h.Untouched()) << kModuleNames[module];
    }
  }
}

}  // namespace
}  // namespace lumox::testing
