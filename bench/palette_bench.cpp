// The palette thread's step against the present step it feeds.
//
// One AnimateStep (cycling three entries per channel, or cross-fading) plus
// the RandomEvents that follow it, next to one Screen::Present of a
// 1920x1080 frame: the palette step should be a small fraction of the cost
// of showing its result.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "gfx/canvas.h"
#include "gfx/screen.h"
#include "palette/palette.h"
#include "palette/palette_thread.h"
#include "platform/clock.h"

namespace lumox {
namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

struct PaletteScene {
  ManualClock clock{1000};
  gfx::Screen screen{kWidth, kHeight};
  gfx::Canvas dc{screen};
  PaletteState* state = nullptr;
  std::vector<uint32_t> pixels = std::vector<uint32_t>(size_t{kWidth} * kHeight);

  explicit PaletteScene(int32_t direction) {
    InstallClock(&clock);
    state = CreatePaletteState(&dc);
    for (PaletteValue& v : state->settings.values[kDirection]) v.Value = direction;
    PaletteThreadBegin(*state);
    // A frame using every saver colour, as a module would draw it.
    for (int y = 0; y < kHeight; ++y) {
      uint8_t* row = screen.surface().row(y);
      for (int x = 0; x < kWidth; ++x) {
        row[x] = static_cast<uint8_t>(gfx::kFirstSaverEntry + (x + y) % kPaletteEntries);
      }
    }
    screen.Publish();
  }
  ~PaletteScene() {
    ReleasePaletteState(state);
    InstallClock(nullptr);
  }
};

// Cycling: three entries per channel regenerated each step.
void BM_PaletteStepCycling(benchmark::State& bench) {
  PaletteScene scene(3);
  for (auto _ : bench) {
    PaletteThreadStep(*scene.state);
    benchmark::DoNotOptimize(scene.state->entries[0].red.load());
  }
}
BENCHMARK(BM_PaletteStepCycling);

// Cycling at the limit: every entry regenerated each step.
void BM_PaletteStepFullRow(benchmark::State& bench) {
  PaletteScene scene(236);
  for (auto _ : bench) {
    PaletteThreadStep(*scene.state);
    benchmark::DoNotOptimize(scene.state->entries[0].red.load());
  }
}
BENCHMARK(BM_PaletteStepFullRow);

// Cross-fading all three channels.
void BM_PaletteStepMorphing(benchmark::State& bench) {
  PaletteScene scene(3);
  for (auto _ : bench) {
    for (ChannelAnimation& a : scene.state->channels) {
      a.Morphing = 1;
      a.MorphPos = 0;
      a.MorphStep = 1;
    }
    PaletteThreadStep(*scene.state);
    benchmark::DoNotOptimize(scene.state->entries[0].red.load());
  }
}
BENCHMARK(BM_PaletteStepMorphing);

// A new effect (wave fill, possibly coarse smoothing, 236 entries).
void BM_NewChannelEffect(benchmark::State& bench) {
  PaletteScene scene(3);
  for (auto _ : bench) {
    NewChannelEffect(*scene.state, kRed);
    benchmark::DoNotOptimize(scene.state->channels[kRed].Current[0]);
  }
}
BENCHMARK(BM_NewChannelEffect);

// The present step alone, 1920x1080, the yardstick for the others.
void BM_Present1080p(benchmark::State& bench) {
  PaletteScene scene(3);
  for (auto _ : bench) {
    scene.screen.Present(scene.pixels.data(), kWidth * 4);
    benchmark::DoNotOptimize(scene.pixels.data());
  }
}
BENCHMARK(BM_Present1080p);

// One palette step followed by presenting its colours at 1920x1080.
void BM_PaletteStepAndPresent1080p(benchmark::State& bench) {
  PaletteScene scene(3);
  for (auto _ : bench) {
    PaletteThreadStep(*scene.state);
    scene.screen.Present(scene.pixels.data(), kWidth * 4);
    benchmark::DoNotOptimize(scene.pixels.data());
  }
}
BENCHMARK(BM_PaletteStepAndPresent1080p);

}  // namespace
}  // namespace lumox
