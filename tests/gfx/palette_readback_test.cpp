// Reading pixels back as the colour they show and as the nearest entry of
// the saver's logical palette.
#include "gfx/palette_readback.h"

#include <gtest/gtest.h>

namespace lumox::gfx {
namespace {

// Entry i is (i, 255 - i, 40): all different, but entry 50 repeats entry 5.
// Black is nearest where i and 255 - i are closest: 127 and 128 tie, and
// the lower of two equals wins. Outside the clip or the surface nothing
// reads.
TEST(PaletteReadback, PixelsReadBackThroughTheirEntrysColourInsideTheClipOnly) {
  LogicalPalette palette{};
  for (int i = 0; i < kSaverColors; ++i)
    palette[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 40};
  palette[50] = palette[5];
  Surface surface(5, 1);
  const uint8_t pixels[] = {kFirstSaverEntry + 7, kFirstSaverEntry + 50, kPhysicalBlack,
                            kPhysicalWhite, kFirstSaverEntry + 3};
  std::copy(std::begin(pixels), std::end(pixels), surface.row(0));
  Canvas canvas(surface);
  canvas.IntersectClipRect(0, 0, 4, 1);
  const struct {
    int x, y;
    ColorRef color;
    int32_t index;
  } cases[] = {{0, 0, MakeRgb(7, 248, 40), 7}, {1, 0, MakeRgb(5, 250, 40), 5},
               {2, 0, kBlack, 127},            {3, 0, kWhite, -2},
               {4, 0, kInvalidColor, -1},      {-1, 0, kInvalidColor, -1},
               {0, 1, kInvalidColor, -1},      {1 << 30, 0, kInvalidColor, -1}};
  for (const auto& c : cases) {
    EXPECT_EQ(GetPixelColor(canvas, c.x, c.y, palette), c.color) << c.x << "," << c.y;
    const int32_t index = GetPixelPaletteIndex(canvas, c.x, c.y, palette);
    EXPECT_TRUE(c.index == -2 || index == c.index) << c.x << "," << c.y << ": " << index;
  }
  // The flag byte of a reference changes nothing; all black: the first.
  EXPECT_EQ(GetNearestPaletteIndex(palette, MakeRgb(200, 55, 40)), 200);
  EXPECT_EQ(GetNearestPaletteIndex(palette, 0x02000000u | MakeRgb(200, 55, 40)), 200);
  EXPECT_EQ(GetNearestPaletteIndex(LogicalPalette{}, kWhite), 0);
}

}  // namespace
}  // namespace lumox::gfx
