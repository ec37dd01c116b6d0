// Colours of the 256-colour screen.
//
// The screen keeps one physical palette index per pixel. Its palette is laid
// out like a 256-colour display with the twenty static system colours:
// entries 0-9 and 246-255 are fixed, entries 10-245 are the saver's 236
// animated colours. Drawing code names colours with Win32-style colour
// references: PaletteIndex(i) is entry i of the saver's palette (physical
// i + 10); a plain RGB reference maps to the nearest static colour.
//
// An index of 236 or more wraps modulo 236: the saver runs its colour
// indices modulo 236 anyway, and wrapping keeps a stray index on an animated
// entry instead of landing on a fixed system colour.
#pragma once

#include <cstdint>

namespace lumox::gfx {

using ColorRef = uint32_t;  // 0x00BBGGRR, or 0x01000000 | index
using PhysicalIndex = uint8_t;

constexpr int kSaverColors = 236;
constexpr int kFirstSaverEntry = 10;
constexpr int kPaletteSize = 256;

constexpr ColorRef MakeRgb(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<ColorRef>(r) | (static_cast<ColorRef>(g) << 8) |
         (static_cast<ColorRef>(b) << 16);
}
constexpr ColorRef PaletteIndex(uint32_t index) { return 0x01000000u | (index & 0xFFFFu); }

constexpr ColorRef kBlack = MakeRgb(0, 0, 0);
constexpr ColorRef kWhite = MakeRgb(255, 255, 255);

struct Rgb {
  uint8_t red = 0, green = 0, blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Physical entry numbers of the static colours used by name.
constexpr PhysicalIndex kPhysicalBlack = 0;
constexpr PhysicalIndex kPhysicalLightGrey = 7;
constexpr PhysicalIndex kPhysicalDarkGrey = 248;
constexpr PhysicalIndex kPhysicalWhite = 255;

// Whether a physical entry is one of the twenty static colours.
bool IsStaticEntry(int physicalIndex);

// The fixed colour of a static entry (0-9, 246-255); black for any other.
Rgb StaticColor(int physicalIndex);

// The static entry closest to a colour (squared RGB distance; ties go to the
// lower entry).
PhysicalIndex NearestStatic(Rgb color);

// The physical index a colour reference draws with.
PhysicalIndex ToPhysical(ColorRef color);

// What inversion (DSTINVERT, R2_NOT) does on palette hardware: saver
// entries stay saver entries, black and white swap.
constexpr PhysicalIndex Invert(PhysicalIndex p) { return static_cast<PhysicalIndex>(p ^ 0xFF); }

}  // namespace lumox::gfx
