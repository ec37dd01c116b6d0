// Edges and centred text.
#include <gtest/gtest.h>

#include <cstdio>

#include "gfx/canvas.h"
#include "gfx/font_rasterizer.h"
#include "gfx/picture.h"
#ifdef LUMOX_HAS_FREETYPE
#include "gfx/freetype_font.h"
#endif

namespace lumox::gfx {
namespace {

using testing::Paint;
using testing::Picture;

TEST(DrawEdge, RaisedSunkenAndEtchedFrames) {
  Surface surface(7, 5);
  Canvas canvas(surface);
  surface.Fill(10);
  canvas.DrawEdge(0, 0, 7, 5, EdgeStyle::Raised);
  EXPECT_EQ(Picture(surface), R"(
GGGGGG.
G####D.
G#aaaD.
GDDDDD.
.......)");
  canvas.DrawEdge(0, 0, 7, 5, EdgeStyle::Sunken, true);
  EXPECT_EQ(Picture(surface), R"(
DDDDDD#
D....G#
D.GGGG#
DGGGGG#
#######)");
  surface.Fill(10);
  canvas.DrawEdge(0, 0, 7, 5, EdgeStyle::Etched);
  EXPECT_EQ(Picture(surface), R"(
DDDDDD#
D####D#
D#aaaD#
DDDDDD#
#######)");
}

TEST(DrawEdge, TinyAndInvertedBoxesAreSafe) {
  Surface surface(7, 5);
  Canvas canvas(surface);
  canvas.DrawEdge(3, 3, 3, 3, EdgeStyle::Raised, true);
  canvas.DrawEdge(5, 4, 1, 1, EdgeStyle::Raised, true);
  EXPECT_EQ(testing::CountPixels(surface, 0), 35);
  canvas.DrawEdge(2, 2, 3, 3, EdgeStyle::Sunken, true);  // one pixel: bottom-right colour
  EXPECT_EQ(surface.row(2)[2], 255);
  canvas.DrawEdge(-1000000000, -1000000000, 1000000000, 1000000000, EdgeStyle::Etched, true);
  EXPECT_EQ(testing::CountPixels(surface, 7), 35);
}

// A font of 3 x 3 blocks in 4 x 5 cells; 'l' is drawn at low coverage.
class BlockFont final : public FontRasterizer {
 public:
  int32_t LineHeight() const override { return 5; }
  int32_t TextWidth(std::string_view line) override {
    return 4 * static_cast<int32_t>(line.size());
  }
  void RasterizeLine(std::string_view line, CoverageMask& mask) override {
    mask.width = TextWidth(line);
    mask.height = 5;
    mask.coverage.assign(static_cast<size_t>(mask.width) * 5, 0);
    for (size_t i = 0; i < line.size(); ++i)
      for (int y = 1; y < 4; ++y)
        for (int x = 0; x < 3; ++x)
          mask.coverage[y * mask.width + 4 * i + x] = line[i] == 'l' ? 100 : 200;
  }
};

TEST(Text, LinesAreCentredBothWaysAndCoverageIsThresholded) {
  BlockFont font;
  Surface surface(20, 12);
  Canvas canvas(surface);
  canvas.SetFont(&font);
  canvas.DrawCenteredText(0, 0, 20, 12, "ab\ncdl", PaletteIndex(0));
  EXPECT_EQ(Picture(surface), R"(
....................
....................
......aaa.aaa.......
......aaa.aaa.......
......aaa.aaa.......
....................
....................
....aaa.aaa.........
....aaa.aaa.........
....aaa.aaa.........
....................
....................)");
  const Canvas::TextExtent extent = canvas.MeasureText("ab\ncdl");
  EXPECT_EQ(extent.width, 12);
  EXPECT_EQ(extent.height, 10);
}

TEST(Text, IsClippedToItsRectangleAndTheClipRegion) {
  BlockFont font;
  Surface surface(20, 7);
  Canvas canvas(surface);
  canvas.SetFont(&font);
  canvas.ExcludeClipRect(0, 0, 20, 3);
  canvas.DrawCenteredText(6, 0, 10, 7, "cde", kWhite);
  EXPECT_EQ(Picture(surface), R"(
....................
....................
....................
......###...........
......###...........
....................
....................)");
  Canvas noFont(surface);
  noFont.DrawCenteredText(0, 0, 20, 7, "abc", kWhite);
  EXPECT_EQ(noFont.MeasureText("abc").width, 0);
}

#ifdef LUMOX_HAS_FREETYPE
TEST(FreeTypeFont, RendersCentredTextWithTheSystemFont) {
  if (std::FILE* f = std::fopen(kDefaultFontPath, "rb")) {
    std::fclose(f);
  } else {
    GTEST_SKIP() << "no " << kDefaultFontPath;
  }
  const auto font = OpenFreeTypeFont(kDefaultFontPath, 13);
  ASSERT_NE(font, nullptr);
  EXPECT_GE(font->LineHeight(), 13);
  EXPECT_LE(font->LineHeight(), 18);
  EXPECT_GT(font->TextWidth("Lumox"), 25);
  EXPECT_GT(font->TextWidth("\x80"), 0);  // the euro sign of code page 1252
  CoverageMask first, second;
  font->RasterizeLine("Lumox 3.5", first);
  font->RasterizeLine("Lumox 3.5", second);
  EXPECT_EQ(first.coverage, second.coverage);
  EXPECT_EQ(first.width, font->TextWidth("Lumox 3.5"));

  Surface surface(120, 40);
  Canvas canvas(surface);
  canvas.SetFont(font.get());
  canvas.DrawCenteredText(10, 5, 110, 35, "Lumox", kWhite);
  int left = 999, right = -1, top = 999, bottom = -1, count = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x)
      if (surface.row(y)[x] == 255) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
        ++count;
      }
  EXPECT_GT(count, 40);
  EXPECT_NEAR((left + right) / 2.0, 60, 3);
  EXPECT_NEAR((top + bottom) / 2.0, 20, 4);
  EXPECT_EQ(testing::CountPixels(surface, 0) + count, 120 * 40);  // no blending: two values only
  EXPECT_EQ(OpenFreeTypeFont("/nonexistent/font.ttf", 13), nullptr);
}
#endif

}  // namespace
}  // namespace lumox::gfx
