#include "gfx/color.h"

#include <array>

namespace lumox::gfx {
namespace {

// The twenty static colours of a 256-colour display, in physical order:
// ten at the bottom of the palette, ten at the top.
constexpr std::array<Rgb, 10> kLowStatics{{
    {0, 0, 0},        // 0 black
    {128, 0, 0},      // 1 dark red
    {0, 128, 0},      // 2 dark green
    {128, 128, 0},    // 3 dark yellow
    {0, 0, 128},      // 4 dark blue
    {128, 0, 128},    // 5 dark magenta
    {0, 128, 128},    // 6 dark cyan
    {192, 192, 192},  // 7 light grey
    {192, 220, 192},  // 8 money green
    {166, 202, 240},  // 9 sky blue
}};
constexpr std::array<Rgb, 10> kHighStatics{{
    {255, 251, 240},  // 246 cream
    {160, 160, 164},  // 247 medium grey
    {128, 128, 128},  // 248 dark grey
    {255, 0, 0},      // 249 red
    {0, 255, 0},      // 250 green
    {255, 255, 0},    // 251 yellow
    {0, 0, 255},      // 252 blue
    {255, 0, 255},    // 253 magenta
    {0, 255, 255},    // 254 cyan
    {255, 255, 255},  // 255 white
}};

constexpr int kFirstHighStatic = kFirstSaverEntry + kSaverColors;  // 246

int DistanceSquared(const Rgb& a, const Rgb& b) {
  const int dr = a.red - b.red, dg = a.green - b.green, db = a.blue - b.blue;
  return dr * dr + dg * dg + db * db;
}

}  // namespace

bool IsStaticEntry(int physicalIndex) {
  return (physicalIndex >= 0 && physicalIndex < kFirstSaverEntry) ||
         (physicalIndex >= kFirstHighStatic && physicalIndex < kPaletteSize);
}

Rgb StaticColor(int physicalIndex) {
  if (physicalIndex >= 0 && physicalIndex < kFirstSaverEntry) return kLowStatics[physicalIndex];
  if (physicalIndex >= kFirstHighStatic && physicalIndex < kPaletteSize)
    return kHighStatics[physicalIndex - kFirstHighStatic];
  return {};  // saver entries have no fixed colour
}

PhysicalIndex NearestStatic(Rgb color) {
  int best = 0;
  int bestDistance = DistanceSquared(color, kLowStatics[0]);
  for (int i = 1; i < 10; ++i) {
    const int distance = DistanceSquared(color, kLowStatics[i]);
    if (distance < bestDistance) best = i, bestDistance = distance;
  }
  for (int i = 0; i < 10; ++i) {
    const int distance = DistanceSquared(color, kHighStatics[i]);
    if (distance < bestDistance) best = kFirstHighStatic + i, bestDistance = distance;
  }
  return static_cast<PhysicalIndex>(best);
}

PhysicalIndex ToPhysical(ColorRef color) {
  if ((color >> 24) == 0x01) {
    const uint32_t index = color & 0xFFFFu;
    return static_cast<PhysicalIndex>(kFirstSaverEntry + index % kSaverColors);
  }
  const Rgb rgb{static_cast<uint8_t>(color), static_cast<uint8_t>(color >> 8),
                static_cast<uint8_t>(color >> 16)};
  return NearestStatic(rgb);
}

}  // namespace lumox::gfx
