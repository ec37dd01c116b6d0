#include "gfx/palette_readback.h"

namespace lumox::gfx {

ColorRef GetPixelColor(const Canvas& dc, int32_t x, int32_t y, const LogicalPalette& palette) {
  const int32_t physical = dc.GetPixel(x, y);
  if (physical < 0) return kInvalidColor;
  const Rgb c = IsStaticEntry(physical) ? StaticColor(physical)
                                        : palette[static_cast<size_t>(physical - kFirstSaverEntry)];
  return MakeRgb(c.red, c.green, c.blue);
}

int32_t GetNearestPaletteIndex(const LogicalPalette& palette, ColorRef color) {
  const int red = static_cast<int>(color & 0xFF);
  const int green = static_cast<int>((color >> 8) & 0xFF);
  const int blue = static_cast<int>((color >> 16) & 0xFF);
  int32_t best = 0;
  int bestDistance = 0x7FFFFFFF;
  for (int32_t i = 0; i < kSaverColors && bestDistance != 0; ++i) {
    const int dr = palette[static_cast<size_t>(i)].red - red;
    const int dg = palette[static_cast<size_t>(i)].green - green;
    const int db = palette[static_cast<size_t>(i)].blue - blue;
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) best = i, bestDistance = distance;
  }
  return best;
}

int32_t GetPixelPaletteIndex(const Canvas& dc, int32_t x, int32_t y,
                             const LogicalPalette& palette) {
  const ColorRef color = GetPixelColor(dc, x, y, palette);
  if (color == kInvalidColor) return -1;
  return GetNearestPaletteIndex(palette, color);
}

}  // namespace lumox::gfx
