// Frames per second of the display modules at 1920x1080 and 3840x2160, one
// core: with default controls and with heavy settings (maximum symmetry and
// tiling). One iteration is one Draw; the module's clock moves 16 ms per
// frame, as at 60 Hz. Pattern is measured while it paints (hold time 0):
// a held picture costs nothing. Stain holds a picture at least a second, so
// its clock moves a second per frame, past every hold.
#include <benchmark/benchmark.h>

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
  ModuleRun(int index, int width, int height, const Settings& settings, uint32_t frameMs)
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
      ModuleControl& c = module.controls[row.index];
      c.Defined = 1;
      c.Value = c.Default = row.defaultValue;
      c.RangeLo = c.Minimum = row.minimum;
      c.RangeHi = c.Maximum = row.maximum;
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
LUMOX_MODULE_BENCH(BM_StainDefault);
LUMOX_MODULE_BENCH(BM_StainHeavy);

}  // namespace
}  // namespace lumox

BENCHMARK_MAIN();
