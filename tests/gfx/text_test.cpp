// Edges and text on bad input, and where a bitmap font's glyphs land
// (gdi_reference_overlay_test compares frames and text with GDI's on Windows).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "gfx/canvas.h"
#include "gfx/picture.h"
#ifdef LUMOX_HAS_FREETYPE
#include "gfx/freetype_font.h"
#endif

namespace lumox::gfx {
namespace {

// Degenerate frames draw nothing, a one-pixel frame is its bottom-right
// colour, a huge one stays inside the surface; without a font there is no
// text and no extent.
TEST(DrawEdge, TinyAndInvertedBoxesAndMissingFontAreSafe) {
  Surface surface(7, 5);
  Canvas canvas(surface);
  canvas.DrawEdge(3, 3, 3, 3, EdgeStyle::Raised, true);
  canvas.DrawEdge(5, 4, 1, 1, EdgeStyle::Raised, true);
  canvas.DrawCenteredText(0, 0, 7, 5, "abc", kWhite);
  EXPECT_EQ(canvas.MeasureText("abc").width, 0);
  EXPECT_EQ(testing::CountPixels(surface, 0), 35);
  canvas.DrawEdge(2, 2, 3, 3, EdgeStyle::Sunken, true);
  EXPECT_EQ(surface.row(2)[2], 255);
  canvas.DrawEdge(-1000000000, -1000000000, 1000000000, 1000000000, EdgeStyle::Etched, true);
  EXPECT_EQ(testing::CountPixels(surface, 7), 35);
}

#ifdef LUMOX_HAS_FREETYPE
// A bitmap font in 8-bit grey (the BDF format with a depth on its SIZE
// line): ascent 6, descent 2; 'H' is 3 x 4 on the baseline one pixel right
// of the pen, advance 5, its bar at half coverage (drawn); 'g' is 2 x 3
// hanging two pixels below the baseline, advance 4, one pixel just under
// half coverage (not drawn).
constexpr const char* kTestFont = R"(STARTFONT 2.1
FONT -lumox-test-medium-r-normal--8-80-75-75-c-50-iso8859-1
SIZE 8 75 75 8
FONTBOUNDINGBOX 4 6 0 -2
STARTPROPERTIES 3
PIXEL_SIZE 8
FONT_ASCENT 6
FONT_DESCENT 2
ENDPROPERTIES
CHARS 2
STARTCHAR H
ENCODING 72
SWIDTH 625 0
DWIDTH 5 0
BBX 3 4 1 0
BITMAP
FF00FF
FF8080
FF00FF
FF00FF
ENDCHAR
STARTCHAR g
ENCODING 103
SWIDTH 500 0
DWIDTH 4 0
BBX 2 3 0 -2
BITMAP
FFFF
7FFF
FFFF
ENDCHAR
ENDFONT
)";

TEST(FreeTypeFont, GlyphsLandOnTheBaselineAtTheirBearings) {
  const std::string path = ::testing::TempDir() + "lumox_test_font.bdf";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fputs(kTestFont, file);
  std::fclose(file);
  const auto font = OpenFreeTypeFont(path, 8);
  std::remove(path.c_str());
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->LineHeight(), 8);
  EXPECT_EQ(font->TextWidth("HgH"), 14);
  // "HgH" centred in a box from column 1 to 20 and row `top` to `bottom`.
  auto drawn = [&](int32_t top, int32_t bottom) {
    return testing::Drawn(20, 12, [&](Canvas& c) {
      c.SetFont(font.get());
      c.DrawCenteredText(1, top, 20, bottom, "HgH", kWhite);
    });
  };
  // The line's top is 1 + (11 - 8) / 2 = 2, so the baseline is row 8; the
  // text starts at 1 + (19 - 14) / 2 = 3.
  EXPECT_EQ(drawn(1, 12), R"(
....................
....................
....................
....................
....#.#......#.#....
....###......###....
....#.#......#.#....
....#.#.##...#.#....
.........#..........
........##..........
....................
....................)");
  // A box lower than the line shows only the line's rows inside it: the
  // baseline falls on row 9, and the descender's rows 9 and 10 stay out.
  EXPECT_EQ(drawn(5, 9), R"(
....................
....................
....................
....................
....................
....#.#......#.#....
....###......###....
....#.#......#.#....
....#.#.##...#.#....
....................
....................
....................)");
}

#endif

}  // namespace
}  // namespace lumox::gfx
