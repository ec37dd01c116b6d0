// Text through GDI's stock variable-pitch font, as the overlays use it.
#include <gtest/gtest.h>

#include <algorithm>

#include "gfx/canvas.h"
#include "gfx/gdi_font.h"
#include "gfx/surface.h"

namespace lumox::gfx {
namespace {

TEST(GdiFont, MeasuresAndRasterisesLinesThatTheCanvasCentres) {
  auto font = OpenGdiFont();
  ASSERT_NE(font, nullptr);
  EXPECT_GT(font->LineHeight(), 6);
  EXPECT_EQ(font->TextWidth(""), 0);
  int32_t narrow = font->TextWidth("i");
  int32_t wide = font->TextWidth("Lumoxic WWW");
  EXPECT_GT(narrow, 0);
  EXPECT_GT(wide, narrow * 5);

  CoverageMask mask;
  font->RasterizeLine("Lumoxic WWW", mask);
  ASSERT_EQ(mask.width, wide);
  ASSERT_EQ(mask.height, font->LineHeight());
  ASSERT_EQ(mask.coverage.size(), static_cast<size_t>(mask.width * mask.height));
  size_t inked = std::count_if(mask.coverage.begin(), mask.coverage.end(),
                               [](uint8_t c) { return c >= 128; });
  EXPECT_GT(inked, mask.coverage.size() / 20);
  EXPECT_LT(inked, mask.coverage.size() / 2);

  // A second rendering of the same line comes from the cache, unchanged.
  CoverageMask again;
  font->RasterizeLine("Lumoxic WWW", again);
  EXPECT_EQ(again.coverage, mask.coverage);

  Surface surface(101, 31);
  Canvas canvas(surface);
  canvas.SetFont(font.get());
  canvas.DrawCenteredText(0, 0, 101, 31, "Lumox", PaletteIndex(5));
  int left = 101, right = -1;
  for (int y = 0; y < 31; ++y) {
    for (int x = 0; x < 101; ++x) {
      if (surface.row(y)[x] == 15) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
    }
  }
  ASSERT_GE(right, left) << "no text drawn";
  // Centred: the margins left and right differ by a pixel or two at most.
  EXPECT_LE(std::abs(left - (100 - right)), 3);
}

}  // namespace
}  // namespace lumox::gfx
