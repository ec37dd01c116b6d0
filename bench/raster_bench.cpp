// Rasteriser costs on an 8-bit 1920x1080 surface: the operations the
// modules use most, one call per iteration.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "gfx/canvas.h"
#ifdef LUMOX_HAS_FREETYPE
#include "gfx/freetype_font.h"
#endif

namespace lumox::gfx {
namespace {

constexpr int kWidth = 1920, kHeight = 1080;

struct Scene {
  Surface surface{kWidth, kHeight};
  Canvas canvas{surface};
};

void BM_FilledCircleR200(benchmark::State& state) {
  Scene s;
  s.canvas.SelectPen(Pen::Null());
  s.canvas.SelectBrush(Brush::Solid(PaletteIndex(7)));
  for (auto _ : state) {
    s.canvas.Ellipse(760, 340, 1161, 741);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FilledCircleR200);

void BM_OutlinedCircleR200(benchmark::State& state) {
  Scene s;
  s.canvas.SelectPen(Pen::Solid(1, PaletteIndex(3)));
  s.canvas.SelectBrush(Brush::Solid(PaletteIndex(7)));
  for (auto _ : state) {
    s.canvas.Ellipse(760, 340, 1161, 741);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_OutlinedCircleR200);

void BM_WideLine12x500(benchmark::State& state) {
  Scene s;
  s.canvas.SelectPen(Pen::Solid(12, PaletteIndex(9)));
  for (auto _ : state) {
    s.canvas.MoveTo(500, 300);
    s.canvas.LineTo(900, 600);  // 500 pixels long
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_WideLine12x500);

void BM_ThinLine500(benchmark::State& state) {
  Scene s;
  s.canvas.SelectPen(Pen::Solid(0, PaletteIndex(9)));
  for (auto _ : state) {
    s.canvas.MoveTo(500, 300);
    s.canvas.LineTo(900, 600);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ThinLine500);

void BM_Polygon100x100(benchmark::State& state) {
  Scene s;
  s.canvas.SelectPen(Pen::Solid(0, kBlack));
  s.canvas.SelectBrush(Brush::Solid(PaletteIndex(20)));
  const Point points[] = {{900, 500}, {1000, 520}, {980, 600}, {910, 590}, {930, 550}};
  for (auto _ : state) {
    s.canvas.Polygon(points, 5);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Polygon100x100);

void BM_BezierWidth12(benchmark::State& state) {
  Scene s;
  s.canvas.SelectPen(Pen::Solid(12, PaletteIndex(30)));
  const Point points[] = {{200, 900}, {600, 100}, {1300, 1000}, {1700, 200}};
  for (auto _ : state) {
    s.canvas.PolyBezier(points, 4);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_BezierWidth12);

void BM_MirroredFullFrameStretchBlt(benchmark::State& state) {
  Scene from, to;
  for (size_t i = 0; i < from.surface.size(); ++i)
    from.surface.data()[i] = static_cast<uint8_t>(i * 7);
  for (auto _ : state) {
    to.canvas.StretchBlt(kWidth - 1, 0, -kWidth, kHeight, from.canvas, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MirroredFullFrameStretchBlt)->Unit(benchmark::kMicrosecond);

void BM_ClippedCircleUnderOverlayExclusions(benchmark::State& state) {
  // Three excluded boxes, as while the overlays are visible.
  Scene s;
  s.canvas.ExcludeClipRect(800, 0, 1100, 60);
  s.canvas.ExcludeClipRect(0, 980, 400, 1080);
  s.canvas.ExcludeClipRect(1500, 990, 1920, 1080);
  s.canvas.SelectPen(Pen::Null());
  s.canvas.SelectBrush(Brush::Solid(PaletteIndex(7)));
  for (auto _ : state) {
    s.canvas.Ellipse(760, -100, 1161, 301);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ClippedCircleUnderOverlayExclusions);

#ifdef LUMOX_HAS_FREETYPE
void BM_CentredText40Chars(benchmark::State& state) {
  const std::unique_ptr<FontRasterizer> font =
      OpenFreeTypeFont(kDefaultFontPath, kDefaultFontPixels);
  if (!font) {
    state.SkipWithError("no font");
    return;
  }
  Scene s;
  s.canvas.SetFont(font.get());
  const std::string line = "The Lumoxic Screen Saver - Main Setting";
  for (auto _ : state) {
    s.canvas.DrawCenteredText(600, 500, 1300, 540, line, kWhite);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CentredText40Chars);
#endif

}  // namespace
}  // namespace lumox::gfx

BENCHMARK_MAIN();
