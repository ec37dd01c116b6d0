// Reading the screen back in the saver's own colours, as GDI does on a
// palette device: GetPixel gives the colour a pixel shows now, and
// GetNearestPaletteIndex finds the entry of a logical palette closest to a
// colour. Together they turn a pixel back into a palette index a module can
// draw with again.
//
// The surface holds physical indices; the colours of the saver's 236
// entries change all the time, so the caller passes the palette's colours
// as they are now. Like GDI, the round trip goes through the colour: a
// pixel whose entry shares its colour with a lower entry reads back as the
// lower one, and a static colour (black, white, the greys) reads back as
// the saver entry nearest to it.
#pragma once

#include <array>
#include <cstdint>

#include "gfx/canvas.h"
#include "gfx/color.h"

namespace lumox::gfx {

// CLR_INVALID: what GetPixel returns for a pixel it cannot read.
constexpr ColorRef kInvalidColor = 0xFFFFFFFFu;

// The colours of the saver's logical palette, entry i drawn by PaletteIndex(i).
using LogicalPalette = std::array<Rgb, kSaverColors>;

// The colour pixel (x, y) shows as a plain RGB reference: a static entry's
// fixed colour, a saver entry's colour in `palette`. kInvalidColor outside
// the surface or the clip region.
ColorRef GetPixelColor(const Canvas& dc, int32_t x, int32_t y, const LogicalPalette& palette);

// The entry of `palette` nearest to an RGB reference (squared distance of
// the three channels; the lowest entry among equals). The flag byte of the
// reference is ignored, as GDI ignores it.
int32_t GetNearestPaletteIndex(const LogicalPalette& palette, ColorRef color);

// Both in one: the saver palette index nearest the colour pixel (x, y)
// shows, or -1 where the pixel cannot be read.
int32_t GetPixelPaletteIndex(const Canvas& dc, int32_t x, int32_t y,
                             const LogicalPalette& palette);

}  // namespace lumox::gfx
