// The three display modules under bad, extreme and ordinary settings, and
// the behaviour their descriptions promise.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "module_harness.h"
#include "resources/strings.h"

namespace lumox::testing {
namespace {

using Preset = ModuleHarness::Preset;

constexpr int kMargin = 2;

// Every drawing module (the Random module draws nothing of its own and has
// its own tests).
std::vector<int> DrawingModules() {
  std::vector<int> modules;
  for (int i = 0; i < kModuleCount; ++i) {
    if (i != kRandom) modules.push_back(i);
  }
  return modules;
}
const std::vector<int> kDrawnModules = DrawingModules();

struct Size {
  int width, height;
};
constexpr Size kSizes[] = {{64, 48}, {37, 23}};

std::string Describe(int module, Size size, const std::string& what) {
  return std::string(kModuleNames[module]) + " " + std::to_string(size.width) + "x" +
         std::to_string(size.height) + " " + what;
}

// Init, Start, `frames` Draws and Stop on a canvas clipped `kMargin` pixels
// inside its edges; nothing may land outside the clip.
void RunClipped(ModuleHarness& h, int frames, const std::string& what) {
  h.ClipInside(kMargin);
  h.Run(frames);
  h.Stop();
  EXPECT_FALSE(h.TouchedOutside(kMargin)) << what;
}

TEST(Modules, PresetsRunCleanly) {
  for (int module : kDrawnModules) {
    for (Size size : kSizes) {
      for (auto [preset, name, frames] :
           {std::tuple{Preset::Minimum, "minimum", 300}, std::tuple{Preset::Default, "default", 300},
            std::tuple{Preset::Maximum, "maximum", 1}}) {
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
        RunClipped(h, frames, Describe(module, size, name));
      }
    }
  }
}

// A single pixel, a strip as wide as a row of large monitors, and the
// settings dialog's preview: no size may divide by zero or draw outside.
// The single pixel has no room for a clip margin: it runs unclipped, for
// the arithmetic (the sanitizer build checks it).
TEST(Modules, OddWindowSizes) {
  for (int module : kDrawnModules) {
    for (Size size : {Size{1, 1}, Size{16384, 16}, Size{152, 112}}) {
      for (auto [preset, name] : {std::pair{Preset::Minimum, "minimum"},
                                  std::pair{Preset::Default, "default"}}) {
        ModuleHarness h(module, size.width, size.height);
        h.SetAll(preset);
        if (size.width == 1) {
          h.Run(60);
          h.Stop();
        } else {
          RunClipped(h, 60, Describe(module, size, name));
        }
      }
    }
  }
}

// Each control in turn at its limits and far beyond them (a hand-edited
// registry before validation), the others at their defaults.
TEST(Modules, EachControlAtAndBeyondItsLimits) {
  for (int module : kDrawnModules) {
    for (const ControlRow& row : GetModuleDefinition(module).controls) {
      if (row.index == 9) continue;  // "Strength" is the render thread's
      const int32_t values[] = {row.minimum, row.maximum, row.minimum - 1, row.maximum + 1,
                                0, -1000, 100000, INT32_MIN, INT32_MAX};
      for (int32_t value : values) {
        const Size size = kSizes[(row.index ^ value) & 1];
        ModuleHarness h(module, size.width, size.height);
        h.Set(row.index, value);
        RunClipped(h, 40,
                   Describe(module, size, "control " + std::to_string(row.index) + " = " +
                                              std::to_string(value)));
      }
    }
  }
}

// Live controls re-read every frame, one at a time (all of them live at
// once at their largest would cost seconds per frame): oscillating through a
// range far past the limits, and sound far above full scale with AutoGain
// off. Start's one-shot evaluation hands the module the same wild values.
TEST(Modules, LiveSourcesPastTheirLimits) {
  for (int module : kDrawnModules) {
    for (const ControlRow& row : GetModuleDefinition(module).controls) {
      if (row.index == 9) continue;
      for (int32_t source : {int32_t{kSourceOscillate}, int32_t{kSourceVolume}}) {
        ModuleHarness h(module, 64, 48);
        h.sound().SetU32(share_offset::ModuleSoundEnabled, 1);
        h.sound().SetU32(share_offset::PlayerActive, 1);
        h.sound().SetF32(share_offset::LeftLevel, 1e6f);
        h.sound().SetF32(share_offset::RightLevel, 1e6f);
        h.sound().SetF32(share_offset::LevelFullScale, 1.0f);
        ModuleControl& c = h.control(row.index);
        c.Source = source;
        c.Sense = 10;
        c.RangeLo = c.Minimum - 500;
        c.RangeHi = c.Maximum * 50 + 7;
        RunClipped(h, 30,
                   Describe(module, {64, 48}, "control " + std::to_string(row.index) +
                                                  " from source " + std::to_string(source)));
      }
    }
  }
}

// The render thread's restart (Stop, Init, Start) may run any number of
// times, and Draw after Stop finds the module idle.
TEST(Modules, RestartCyclesAndDrawAfterStop) {
  for (int module : kDrawnModules) {
    ModuleHarness h(module, 37, 23);
    h.ClipInside(kMargin);
    h.Run(20);
    for (int cycle = 0; cycle < 5; ++cycle) {
      h.Stop();
      h.Init();
      h.Start();
      h.DrawFrames(20);
    }
    h.Stop();
    h.surface().Fill(kUntouched);
    EXPECT_EQ(h.Draw(), kYield) << kModuleNames[module];
    EXPECT_TRUE(h.Untouched()) << kModuleNames[module];
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
      for (const ControlRow& row : GetModuleDefinition(module).controls) {
        const std::string label = LoadResourceString(row.labelId);
        if (label.find("Duration") != std::string::npos) h.Set(row.index, 1);
      }
      h.Run(400);
      hashes[run] = h.Hash();
      h.Stop();
    }
    EXPECT_EQ(hashes[0], hashes[1]) << kModuleNames[module];
  }
}

// Count of pixels that are not black.
int Painted(const gfx::Surface& s) {
  int n = 0;
  for (size_t i = 0; i < s.size(); ++i) n += s.data()[i] != 0 ? 1 : 0;
  return n;
}

// With a trail, Stop during a run (a restart) erases every frame still on
// the screen by replaying the recorded frames in black; at the end of the
// run the picture stays.
TEST(Modules, StopOnRestartErasesTheTrail) {
  for (int module : {kBezier, kCyclic}) {
    for (bool running : {true, false}) {
      ModuleHarness h(module, 64, 48);
      h.surface().Fill(0);
      const int trailSlot = 2;
      h.Set(trailSlot, 5);  // 15 frames
      h.Set(module == kBezier ? 1 : 4, 3);  // symmetry
      // Small figures: a frame must not cover the whole screen, or the
      // first erase step would black it all out at once.
      h.Set(3, 2);  // Bezier's pen width, Cyclic's dot diameter
      h.Run(40);
      const int before = Painted(h.surface());
      ASSERT_GT(before, 0) << kModuleNames[module];
      Saver().runFlag = running ? 1 : 0;
      h.Stop();
      if (running) {
        EXPECT_EQ(Painted(h.surface()), 0) << kModuleNames[module];
      } else {
        EXPECT_GT(Painted(h.surface()), 0) << kModuleNames[module];
      }
    }
  }
}

TEST(Modules, ShortTrailKeepsTheScreenSparse) {
  ModuleHarness longTrail(kBezier, 64, 48);
  longTrail.surface().Fill(0);
  longTrail.Set(1, 1);
  longTrail.Run(200);
  ModuleHarness shortTrail(kBezier, 64, 48);
  shortTrail.surface().Fill(0);
  shortTrail.Set(1, 1);
  shortTrail.Set(2, 1);  // 3 frames
  shortTrail.Run(200);
  EXPECT_LT(Painted(shortTrail.surface()), Painted(longTrail.surface()));
}

TEST(Bezier, TileTypeOneOnASingleTileDrawsNothing) {
  ModuleHarness h(kBezier, 64, 48);
  h.Set(8, 1);
  h.Run(50);
  EXPECT_TRUE(h.Untouched());
}

TEST(Bezier, StartsOverAfterItsDuration) {
  ModuleHarness h(kBezier, 64, 48);
  h.Set(5, 1);  // one second
  h.Set(2, 1);  // a trail of three frames, wiped at the end of the duration
  h.surface().Fill(0);
  h.Run(10, 90);  // 900 ms: not yet
  EXPECT_GT(Painted(h.surface()), 0);
  h.clock().Advance(200);
  h.Draw();  // past the end: this frame, then the whole trail erased; start over
  EXPECT_EQ(Painted(h.surface()), 0);
  h.Stop();
}

TEST(Cyclic, TilingDrawsInEverySelectedTile) {
  ModuleHarness h(kCyclic, 64, 48);
  h.surface().Fill(0);
  h.Set(10, 2);
  h.Set(11, 2);
  h.Set(12, 2);  // tiles (0,0) and (1,1)
  h.Run(30);
  const auto paintedIn = [&](int tx, int ty) {
    for (int y = ty * 24; y < ty * 24 + 24; ++y) {
      for (int x = tx * 32; x < tx * 32 + 32; ++x) {
        if (h.surface().row(y)[x] != 0) return true;
      }
    }
    return false;
  };
  EXPECT_TRUE(paintedIn(0, 0));
  EXPECT_TRUE(paintedIn(1, 1));
}

// Draws until the first picture is complete (Draw yields while holding it).
void PaintOnePicture(ModuleHarness& h) {
  h.Init();
  h.Start();
  for (int frame = 0; frame < 200; ++frame) {
    if (h.Draw() == kYield) return;
  }
  FAIL() << "the picture never finished";
}

TEST(Pattern, FoldingMakesOppositeEdgesOfEveryRingEqual) {
  constexpr int kW = 37, kH = 23;
  for (int type = 0; type <= 20; type += 4) {
    ModuleHarness h(kPattern, kW, kH, 99 + type);
    h.Set(7, 3);   // folding 6
    h.Set(2, type);
    h.Set(1, 60);  // with turbulence
    PaintOnePicture(h);
    const gfx::Surface& s = h.surface();
    // Ring k: its top and bottom rows are copies (apart from the corners,
    // which the columns paint last), and so are its left and right columns.
    for (int k = 0; 2 * k <= kH - 1; ++k) {
      for (int x = k + 1; x < kW - 1 - k; ++x) {
        ASSERT_EQ(s.row(k)[x], s.row(kH - 1 - k)[x]) << "type " << type << " ring " << k;
      }
      for (int y = k; y <= kH - 1 - k; ++y) {
        ASSERT_EQ(s.row(y)[k], s.row(y)[kW - 1 - k]) << "type " << type << " ring " << k;
      }
    }
    for (size_t i = 0; i < s.size(); ++i) ASSERT_NE(s.data()[i], kUntouched) << i;
  }
}

TEST(Pattern, TileTypeOneOnASingleTilePaintsNothingAndRestarts) {
  ModuleHarness h(kPattern, 64, 48);
  h.Set(12, 1);
  h.Set(3, 2);  // hold two seconds
  h.Init();
  h.Start();
  EXPECT_EQ(h.Draw(), 0);         // nothing to paint: the picture is "finished"
  EXPECT_EQ(h.Draw(), kYield);    // and held
  h.clock().Advance(2001);
  EXPECT_EQ(h.Draw(), 0);
  h.Stop();
  EXPECT_TRUE(h.Untouched());
}

TEST(Pattern, TiledPictureIsMirroredIntoEveryTile) {
  ModuleHarness h(kPattern, 40, 24);
  h.Set(10, 2);
  h.Set(11, 2);
  PaintOnePicture(h);
  const gfx::Surface& s = h.surface();
  // Tiles of 20 x 12: the right column is the left mirrored, the bottom
  // row the top mirrored.
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 20; ++x) {
      ASSERT_EQ(s.row(y)[x], s.row(y)[39 - x]) << x << "," << y;
      ASSERT_EQ(s.row(y)[x], s.row(23 - y)[x]) << x << "," << y;
    }
  }
}

TEST(Pattern, HoldTimeZeroStartsTheNextPictureAtOnce) {
  ModuleHarness h(kPattern, 37, 23);
  h.Set(3, 0);
  h.Init();
  h.Start();
  for (int frame = 0; frame < 60; ++frame) ASSERT_EQ(h.Draw(), 0) << frame;
  h.Stop();
}

TEST(Pattern, FailedAllocationLeavesTheModuleIdle) {
  for (Size size : {Size{0, 48}, Size{64, 0}, Size{-5, -5}, Size{1 << 20, 4}}) {
    ModuleHarness h(kPattern, 16, 16);
    h.module().width = size.width;
    h.module().height = size.height;
    h.Init();
    h.Start();
    EXPECT_EQ(h.Draw(), kYield);
    h.Stop();
    const auto lines = h.system().debugLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "Could not allocate buffers");
    EXPECT_TRUE(h.Untouched());
  }
}

}  // namespace
}  // namespace lumox::testing
