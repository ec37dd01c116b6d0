// Reading pixels back against the platform's own GDI (Windows builds only):
// GetPixel on an 8-bit DIB whose colour table is the screen's layout (the
// static colours at their entries, the saver's palette between them), and
// GetNearestPaletteIndex on a logical palette of the saver's 236 colours,
// duplicates included, for the palette's own colours and any others.
#include <gtest/gtest.h>
#include <windows.h>

#include <random>
#include <vector>

#include "gfx/gdi_dib.h"
#include "gfx/palette_readback.h"

namespace lumox::gfx {
namespace {

// A random palette whose colours repeat now and then, as an animated
// palette's do (ramps, blackouts).
LogicalPalette RandomPalette(std::mt19937& random) {
  LogicalPalette palette{};
  std::uniform_int_distribution<int> level(0, 255), entry(0, kSaverColors - 1);
  for (Rgb& c : palette) {
    c = {static_cast<uint8_t>(level(random)), static_cast<uint8_t>(level(random)),
         static_cast<uint8_t>(level(random))};
  }
  for (int k = 0; k < 20; ++k) palette[entry(random)] = palette[entry(random)];
  return palette;
}

TEST(GdiReadback, NearestPaletteIndexMatchesGdi) {
  std::mt19937 random(77);
  std::uniform_int_distribution<uint32_t> colour(0, 0xFFFFFF);
  for (int round = 0; round < 20; ++round) {
    const LogicalPalette palette = RandomPalette(random);
    std::vector<uint8_t> bytes(sizeof(LOGPALETTE) + kSaverColors * sizeof(PALETTEENTRY));
    auto* logical = reinterpret_cast<LOGPALETTE*>(bytes.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = kSaverColors;
    for (int i = 0; i < kSaverColors; ++i) {
      logical->palPalEntry[i] = {palette[i].red, palette[i].green, palette[i].blue, PC_RESERVED};
    }
    HPALETTE gdiPalette = CreatePalette(logical);
    ASSERT_NE(gdiPalette, nullptr);
    for (int k = 0; k < 200; ++k) {
      // Colours of the palette itself (exact matches, the lower of equals)
      // and anything else.
      const Rgb own = palette[k % kSaverColors];
      const ColorRef c = k % 2 == 0 ? MakeRgb(own.red, own.green, own.blue) : colour(random);
      EXPECT_EQ(GetNearestPaletteIndex(palette, c),
                static_cast<int32_t>(::GetNearestPaletteIndex(gdiPalette, c)))
          << "round " << round << " colour " << std::hex << c;
      // A PALETTERGB reference's flag byte changes nothing.
      EXPECT_EQ(GetNearestPaletteIndex(palette, c | 0x02000000u),
                static_cast<int32_t>(::GetNearestPaletteIndex(gdiPalette, c | 0x02000000u)));
    }
    DeleteObject(gdiPalette);
  }
}

TEST(GdiReadback, GetPixelMatchesGdiInsideAndOutsideTheClip) {
  constexpr int kWidth = 37, kHeight = 23;
  std::mt19937 random(78);
  const LogicalPalette palette = RandomPalette(random);
  Surface surface(kWidth, kHeight);
  std::uniform_int_distribution<int> index(0, 255);
  for (size_t i = 0; i < surface.size(); ++i) surface.data()[i] = static_cast<uint8_t>(index(random));
  testing::GdiDib gdi(surface, testing::DibColours::Static, &palette);
  const HDC dc = gdi.dc();
  Canvas canvas(surface);
  canvas.IntersectClipRect(3, 2, 30, 19);
  IntersectClipRect(dc, 3, 2, 30, 19);
  // Windows documents CLR_INVALID for a pixel outside the clip region;
  // Wine reads it anyway, so those pixels are held to the documentation.
  for (int y = -2; y < kHeight + 2; ++y) {
    for (int x = -2; x < kWidth + 2; ++x) {
      const bool onSurface = surface.Contains(x, y);
      const bool inClip = x >= 3 && x < 30 && y >= 2 && y < 19;
      const COLORREF expected = onSurface && !inClip ? CLR_INVALID : ::GetPixel(dc, x, y);
      ASSERT_EQ(GetPixelColor(canvas, x, y, palette), expected) << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace lumox::gfx
