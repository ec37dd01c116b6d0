// The present step (8-bit indices -> 32-bit pixels through the palette)
// against a plain memcpy of the same 32-bit frame, at 1920x1080 and
// 3840x2160, with cold caches.
//
// Caches are kept cold by rotating through enough frames that together they
// are several times the size of the last-level cache: each iteration touches
// buffers that were evicted since their last use. After the run the ratios
// present / memcpy are printed for each path, measured in the same process.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "gfx/screen.h"

namespace lumox::gfx {
namespace {

constexpr size_t kColdBytes = size_t{192} << 20;  // several times any LLC here

struct Frames {
  std::vector<std::vector<uint8_t>> indices;
  std::vector<std::vector<uint32_t>> pixels;
  std::vector<std::vector<uint32_t>> copies;  // memcpy sources
  std::vector<uint32_t> table = std::vector<uint32_t>(256);

  Frames(int width, int height, bool forMemcpy) {
    const size_t count = static_cast<size_t>(width) * height;
    const size_t bytesPerFrame = count * (forMemcpy ? 8 : 5);
    const size_t frames = std::max<size_t>(2, kColdBytes / bytesPerFrame + 1);
    std::mt19937 random(1);
    for (uint32_t& word : table) word = random() & 0xFFFFFF;
    for (size_t f = 0; f < frames; ++f) {
      pixels.emplace_back(count, 1);  // touched, so no page faults are timed
      if (forMemcpy) {
        copies.emplace_back(count);
        for (uint32_t& p : copies.back()) p = random();
      } else {
        indices.emplace_back(count);
        for (uint8_t& p : indices.back()) p = static_cast<uint8_t>(random());
      }
    }
  }
};

void BM_Present(benchmark::State& state, PresentPath path) {
  const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
  if (!PresentPathAvailable(path)) {
    state.SkipWithError("path not available on this CPU");
    return;
  }
  Frames frames(width, height, false);
  size_t f = 0;
  for (auto _ : state) {
    ConvertIndexedImage(path, frames.indices[f].data(), width, frames.pixels[f].data(), width * 4,
                        width, height, frames.table.data());
    benchmark::DoNotOptimize(frames.pixels[f].data());
    benchmark::ClobberMemory();
    f = (f + 1) % frames.pixels.size();
  }
  state.SetBytesProcessed(state.iterations() * int64_t{width} * height * 4);
}

void BM_Memcpy(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
  Frames frames(width, height, true);
  const size_t bytes = size_t{4} * width * height;
  size_t f = 0;
  for (auto _ : state) {
    std::memcpy(frames.pixels[f].data(), frames.copies[f].data(), bytes);
    benchmark::DoNotOptimize(frames.pixels[f].data());
    benchmark::ClobberMemory();
    f = (f + 1) % frames.pixels.size();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}

// The whole Screen::Present, palette snapshot and lock included, warm.
void BM_ScreenPresent(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
  Screen screen(width, height);
  std::mt19937 random(2);
  for (size_t i = 0; i < screen.surface().size(); ++i)
    screen.surface().data()[i] = static_cast<uint8_t>(random());
  screen.Publish();
  std::vector<uint32_t> out(static_cast<size_t>(width) * height);
  for (auto _ : state) {
    screen.Present(out.data(), width * 4);
    benchmark::DoNotOptimize(out.data());
  }
}

#define FRAME_SIZES Args({1920, 1080})->Args({3840, 2160})
BENCHMARK(BM_Memcpy)->FRAME_SIZES->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Present, dispatch, ActivePresentPath())
    ->FRAME_SIZES->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Present, avx2, PresentPath::Avx2)
    ->FRAME_SIZES->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Present, portable, PresentPath::Portable)
    ->FRAME_SIZES->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScreenPresent)->FRAME_SIZES->Unit(benchmark::kMicrosecond);

const char* PathName(PresentPath path) {
  switch (path) {
    case PresentPath::BytePermute:
      return "AVX-512 VBMI byte permute";
    case PresentPath::Avx2:
      return "AVX2";
    case PresentPath::Portable:
      break;
  }
  return "portable";
}

// Prints the usual table and remembers each run's time for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (!run.error_occurred && run.run_type == Run::RT_Iteration)
        times_[run.benchmark_name()] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
  }
  void PrintRatios() const {
    std::printf(
        "\npresent / memcpy (cold caches, same run; dispatch path = %s;\n"
        "wall time is the fair one on an idle machine, cpu time on a busy one)\n",
        PathName(ActivePresentPath()));
    for (const char* size : {"1920/1080", "3840/2160"}) {
      const auto memcpyTime = times_.find(std::string("BM_Memcpy/") + size);
      if (memcpyTime == times_.end()) continue;
      for (const char* path : {"dispatch", "avx2", "portable"}) {
        const auto t = times_.find(std::string("BM_Present/") + path + "/" + size);
        if (t == times_.end()) continue;
        const Times& p = t->second;
        const Times& m = memcpyTime->second;
        std::printf("  %-10s %-9s %.2fx wall (%.0f vs %.0f us), %.2fx cpu (%.0f vs %.0f us)\n",
                    size, path, p.wall / m.wall, p.wall, m.wall, p.cpu / m.cpu, p.cpu, m.cpu);
      }
    }
  }

 private:
  struct Times {
    double wall, cpu;
  };
  std::map<std::string, Times> times_;
};

}  // namespace
}  // namespace lumox::gfx

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  lumox::gfx::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
