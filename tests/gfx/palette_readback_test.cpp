// Reading pixels back as the colour they show and as the nearest entry of
// the saver's logical palette.
#include "gfx/palette_readback.h"

#include <gtest/gtest.h>

namespace lumox::gfx {
namespace {

// Entry i is (i, 255 - i, 40): all different. Entry 50 repeats entry 5.
LogicalPalette DistinctPalette() {
  LogicalPalette palette{};
  for (int i = 0; i < kSaverColors; ++i) {
    palette[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 40};
  }
  palette[50] = palette[5];
  return palette;
}

TEST(PaletteReadback, PixelsShowTheirEntrysColourAndReadBackThroughIt) {
  const LogicalPalette palette = DistinctPalette();
  Surface surface(4, 1);
  surface.row(0)[0] = kFirstSaverEntry + 7;   // saver entry 7
  surface.row(0)[1] = kFirstSaverEntry + 50;  // shares its colour with entry 5
  surface.row(0)[2] = kPhysicalBlack;
  surface.row(0)[3] = kPhysicalWhite;
  Canvas canvas(surface);
  EXPECT_EQ(GetPixelColor(canvas, 0, 0, palette), MakeRgb(7, 248, 40));
  EXPECT_EQ(GetPixelColor(canvas, 2, 0, palette), kBlack);
  EXPECT_EQ(GetPixelColor(canvas, 3, 0, palette), kWhite);
  EXPECT_EQ(GetPixelPaletteIndex(canvas, 0, 0, palette), 7);
  EXPECT_EQ(GetPixelPaletteIndex(canvas, 1, 0, palette), 5);  // the lower of two equals
  // Black is nearest where i and 255 - i are closest: 127 and 128 tie, and
  // the lower wins.
  EXPECT_EQ(GetPixelPaletteIndex(canvas, 2, 0, palette), 127);
}

TEST(PaletteReadback, UnreadablePixelsAreInvalid) {
  const LogicalPalette palette = DistinctPalette();
  Surface surface(5, 4);
  surface.Fill(kFirstSaverEntry + 3);
  Canvas canvas(surface);
  canvas.IntersectClipRect(1, 1, 4, 3);
  for (auto [x, y] : {std::pair{0, 0}, {4, 1}, {1, 3}, {-1, 2}, {5, 5}, {1 << 30, 0}}) {
    EXPECT_EQ(GetPixelColor(canvas, x, y, palette), kInvalidColor) << x << "," << y;
    EXPECT_EQ(GetPixelPaletteIndex(canvas, x, y, palette), -1) << x << "," << y;
  }
  EXPECT_EQ(GetPixelPaletteIndex(canvas, 3, 2, palette), 3);
}

TEST(PaletteReadback, NearestEntryIgnoresTheFlagByte) {
  const LogicalPalette palette = DistinctPalette();
  EXPECT_EQ(GetNearestPaletteIndex(palette, MakeRgb(200, 55, 40)), 200);
  EXPECT_EQ(GetNearestPaletteIndex(palette, 0x02000000u | MakeRgb(200, 55, 40)), 200);
  EXPECT_EQ(GetNearestPaletteIndex(LogicalPalette{}, kWhite), 0);  // all black: the first
}

}  // namespace
}  // namespace lumox::gfx
