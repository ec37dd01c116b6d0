// Frames per second of the display modules at 1920x1080 and 3840x2160, one
// core: with default controls and with heavy settings (maximum symmetry and
// tiling). One iteration is one Draw; the module's clock moves 16 ms per
// frame, as at 60 Hz. Pattern is measured while it paints (hold time 0):
// a held picture costs nothing. Stain holds a picture at least a second, so
// its clock moves a second per frame, past every hold.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <utility>
#include <vector>

#include "base/random.h"
#include "gfx/canvas.h"
#include "gfx/surface.h"
#include "modules/module_catalog.h"
#include "platform/clock.h"
#include "state/module.h"
#include "state/saver_state.h"

namespace lumox {
namespace {

using Settings = std::vector<std::pair<int, int32_t>>;  // slot, value

struct ModuleRun {
  ModuleRun(int index, int width, int height, const Settings& settings, uint32_t frameMs = 16)
      : surface(width, height), canvas(surface), frameMs(frameMs) {
    InstallClock(&clock);
    SeedRandom(2026);
    Saver().runFlag = 1;
    table[0].table = table.data();
    module.width = width;
    module.height = height;
    module.dc = &canvas;
    const ModuleDefinition& d = GetModuleDefinition(index);
    for (const ControlRow& row : d.controls) {
      module.controls[row.index] =
          DefinedControl(row.labelId, row.defaultValue, row.minimum, row.maximum);
    }
    for (auto [slot, value] : settings) module.controls[slot].Value = value;
    module.Draw = d.Draw;
    module.Stop = d.Stop;
    d.Init(module);
    d.Start(module);
  }
  ~ModuleRun() {
    module.Stop(module);
    Saver().runFlag = 0;
    InstallClock(nullptr);
  }

  void Frame() {
    module.Draw(module);
    clock.Advance(frameMs);
  }

  ModuleTable table{};
  ModuleDescriptor& module = table[0];
  gfx::Surface surface;
  gfx::Canvas canvas;
  ManualClock clock{1000};
  uint32_t frameMs;
};

void RunModule(benchmark::State& state, int index, const Settings& settings,
               uint32_t frameMs = 16) {
  ModuleRun run(index, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                settings, frameMs);
  for (auto _ : state) {
    run.Frame();
    benchmark::ClobberMemory();
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                             benchmark::Counter::kIsRate);
}

// Heavy: maximum symmetry and tiling, the rest at defaults.
const Settings kBezierHeavy = {{1, 32}, {6, 20}, {7, 20}};
const Settings kCyclicHeavy = {{4, 32}, {10, 20}, {11, 20}};
const Settings kPatternPainting = {{3, 0}};
const Settings kPatternHeavy = {{3, 0}, {10, 20}, {11, 20}, {7, 20}};
const Settings kPolygonHeavy = {{1, 50}, {4, 20}, {5, 20}};
const Settings kStarHeavy = {{13, 128}, {10, 20}, {11, 20}};
// Sphere: wedges and doubled balls as well (Type 3).
const Settings kSphereHeavy = {{1, 128}, {2, 3}, {4, 20}, {5, 20}};
// Vortex without the hold after each collapse (a held picture costs
// nothing); heavy: the most points, in 20 x 20 tiles.
const Settings kVortexDrawing = {{3, 0}};
const Settings kVortexHeavy = {{3, 0}, {0, 199}, {10, 20}, {11, 20}};
// Effect once every frame instead of every 20 seconds: the default nested
// rectangles, and ellipse rings both ways at the smallest steps (the most
// rings, the widest screen-sized outlines).
const Settings kEffectEveryFrame = {{3, 0}};
const Settings kEffectHeavy = {{3, 0}, {0, 3}, {1, 2}, {2, 2}};
// Stain: four nodes and the field kind (the most arithmetic per pixel) on
// the finest tiling (every ring copied into 399 more tiles).
const Settings kStainHeavy = {{0, 4}, {2, 5}, {10, 20}, {11, 20}};
constexpr uint32_t kPastEveryHold = 1000;

void BM_BezierDefault(benchmark::State& s) { RunModule(s, kBezier, {}); }
void BM_BezierHeavy(benchmark::State& s) { RunModule(s, kBezier, kBezierHeavy); }
void BM_CyclicDefault(benchmark::State& s) { RunModule(s, kCyclic, {}); }
void BM_CyclicHeavy(benchmark::State& s) { RunModule(s, kCyclic, kCyclicHeavy); }
void BM_PatternDefault(benchmark::State& s) { RunModule(s, kPattern, kPatternPainting); }
void BM_PatternHeavy(benchmark::State& s) { RunModule(s, kPattern, kPatternHeavy); }
void BM_PolygonDefault(benchmark::State& s) { RunModule(s, kPolygon, {}); }
void BM_PolygonHeavy(benchmark::State& s) { RunModule(s, kPolygon, kPolygonHeavy); }
void BM_StarDefault(benchmark::State& s) { RunModule(s, kStar, {}); }
void BM_StarHeavy(benchmark::State& s) { RunModule(s, kStar, kStarHeavy); }
void BM_SphereDefault(benchmark::State& s) { RunModule(s, kSphere, {}); }
void BM_SphereHeavy(benchmark::State& s) { RunModule(s, kSphere, kSphereHeavy); }
// Plasma at its defaults grows, shows and holds its clouds as it would run;
// "Image Duration" 1 s and "Update Interval" 1 s make the costly steps (the
// quarter views, the effect and the full picture) come as often as they can.
void BM_PlasmaDefault(benchmark::State& s) { RunModule(s, kPlasma, {}); }
void BM_PlasmaHeavy(benchmark::State& s) { RunModule(s, kPlasma, {{1, 1}, {3, 1}}); }
// One whole Plasma cloud per iteration, from Start until it is held: the
// frames it takes and its slowest frame (the effect and the full picture).
void BM_PlasmaCloud(benchmark::State& state) {
  ModuleRun run(kPlasma, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), {});
  double slowest = 0, frames = 0;
  for (auto _ : state) {
    run.module.Stop(run.module);
    GetModuleDefinition(kPlasma).Start(run.module);
    for (;;) {
      const auto begin = std::chrono::steady_clock::now();
      const int32_t result = run.module.Draw(run.module);
      const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - begin;
      if (result == kYield) break;
      slowest = std::max(slowest, took.count());
      ++frames;
      run.clock.Advance(16);
    }
  }
  state.counters["frames"] = frames / static_cast<double>(state.iterations());
  state.counters["slowest_ms"] = slowest;
}
void BM_VortexDefault(benchmark::State& s) { RunModule(s, kVortex, kVortexDrawing); }
void BM_VortexHeavy(benchmark::State& s) { RunModule(s, kVortex, kVortexHeavy); }
void BM_EffectDefault(benchmark::State& s) { RunModule(s, kEffect, kEffectEveryFrame); }
void BM_EffectHeavy(benchmark::State& s) { RunModule(s, kEffect, kEffectHeavy); }

void BM_SlideShowDefault(benchmark::State& s) { RunModule(s, kBitmap, {}); }

// A 24-bit BMP of the given size (a diagonal ramp), written once per size.
std::string ScreenSizedBmp(int width, int height) {
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("lumox_bench_" + std::to_string(width) + "x" +
                             std::to_string(height) + ".bmp")).string();
  const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  std::vector<uint8_t> bytes(54 + static_cast<size_t>(stride) * height, 0);
  auto put = [&](size_t at, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  bytes[0] = 'B', bytes[1] = 'M';
  put(2, static_cast<uint32_t>(bytes.size()), 4), put(10, 54, 4), put(14, 40, 4);
  put(18, static_cast<uint32_t>(width), 4), put(22, static_cast<uint32_t>(height), 4);
  put(26, 1, 2), put(28, 24, 2);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::memset(&bytes[54 + static_cast<size_t>(y) * stride + 3 * x], (x + y) & 0xFF, 3);
    }
  }
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

// One whole picture of the slide show at its defaults: a screen-sized
// 24-bit file read, turned grey, smoothed twice and stretched onto the
// screen by the loader thread, from Start until it is drawn.
void BM_SlideShowPicture(benchmark::State& s) {
  const int width = static_cast<int>(s.range(0)), height = static_cast<int>(s.range(1));
  const std::string path = ScreenSizedBmp(width, height);
  for (auto _ : s) {
    ModuleRun run(kBitmap, width, height, {});
    run.module.Stop(run.module);  // started on the default pictures: start again on this one
    std::strncpy(run.module.text, path.c_str(), kModuleTextSize - 1);
    const ModuleDefinition& d = GetModuleDefinition(kBitmap);
    d.Init(run.module);
    d.Start(run.module);
    run.surface.Fill(0);
    while (run.surface.row(height / 2)[width / 2] == 0) {
      run.Frame();
      std::this_thread::yield();
    }
  }
  std::filesystem::remove(path);
}
void BM_StainDefault(benchmark::State& s) { RunModule(s, kStain, {}, kPastEveryHold); }
void BM_StainHeavy(benchmark::State& s) { RunModule(s, kStain, kStainHeavy, kPastEveryHold); }

#define LUMOX_MODULE_BENCH(name)                                            \
  BENCHMARK(name)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond)
LUMOX_MODULE_BENCH(BM_BezierDefault);
LUMOX_MODULE_BENCH(BM_BezierHeavy);
LUMOX_MODULE_BENCH(BM_CyclicDefault);
LUMOX_MODULE_BENCH(BM_CyclicHeavy);
LUMOX_MODULE_BENCH(BM_PatternDefault);
LUMOX_MODULE_BENCH(BM_PatternHeavy);
LUMOX_MODULE_BENCH(BM_PolygonDefault);
LUMOX_MODULE_BENCH(BM_PolygonHeavy);
LUMOX_MODULE_BENCH(BM_StarDefault);
LUMOX_MODULE_BENCH(BM_StarHeavy);
LUMOX_MODULE_BENCH(BM_SphereDefault);
LUMOX_MODULE_BENCH(BM_SphereHeavy);
LUMOX_MODULE_BENCH(BM_VortexDefault);
LUMOX_MODULE_BENCH(BM_VortexHeavy);
LUMOX_MODULE_BENCH(BM_EffectDefault);
LUMOX_MODULE_BENCH(BM_EffectHeavy);
LUMOX_MODULE_BENCH(BM_PlasmaDefault);
LUMOX_MODULE_BENCH(BM_PlasmaHeavy);
LUMOX_MODULE_BENCH(BM_PlasmaCloud)->Iterations(3);
// The picture first: the idle frames below leave the next picture's due
// time far ahead on their clock.
LUMOX_MODULE_BENCH(BM_SlideShowPicture);
LUMOX_MODULE_BENCH(BM_SlideShowDefault);
LUMOX_MODULE_BENCH(BM_StainDefault);
LUMOX_MODULE_BENCH(BM_StainHeavy);

}  // namespace
}  // namespace lumox

BENCHMARK_MAIN();
