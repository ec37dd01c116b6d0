// Surfaces as ASCII pictures, so a test can state the expected drawing.
//
// One character per pixel: '.' black (0), '#' white (255), 'a'...'z' saver
// entries 0-25 (physical 10-35), 'G' light grey (7), 'D' dark grey (248),
// '?' anything else. Rows are separated by newlines, with a leading newline
// so raw string literals line up.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "gfx/canvas.h"
#include "gfx/surface.h"

namespace lumox::gfx::testing {

inline char PixelChar(uint8_t p) {
  if (p >= 10 && p < 36) return static_cast<char>('a' + (p - 10));
  return p == 0 ? '.' : p == 255 ? '#' : p == 7 ? 'G' : p == 248 ? 'D' : '?';
}

inline uint8_t CharPixel(char c) {
  if (c >= 'a' && c <= 'z') return static_cast<uint8_t>(10 + (c - 'a'));
  return c == '#' ? 255 : c == 'G' ? 7 : c == 'D' ? 248 : 0;
}

inline std::string Picture(const Surface& surface) {
  std::string text;
  for (int y = 0; y < surface.height(); ++y) {
    text += '\n';
    for (int x = 0; x < surface.width(); ++x) text += PixelChar(surface.row(y)[x]);
  }
  return text;
}

inline int CountPixels(const Surface& surface, uint8_t value) {
  int count = 0;
  for (size_t i = 0; i < surface.size(); ++i) count += surface.data()[i] == value;
  return count;
}

// The picture of what draw(canvas) leaves on a black width x height surface.
template <typename Draw>
std::string Drawn(int width, int height, Draw draw) {
  Surface surface(width, height);
  Canvas canvas(surface);
  draw(canvas);
  return Picture(surface);
}

// The ink of the pictures: pens draw 'a', brushes 'b'.
inline const ColorRef kPenInk = PaletteIndex(0);
inline const ColorRef kBrushInk = PaletteIndex(1);

inline Canvas& WithTools(Canvas& canvas, int penWidth = 1) {
  canvas.SelectPen(Pen::Solid(penWidth, kPenInk));
  canvas.SelectBrush(Brush::Solid(kBrushInk));
  return canvas;
}

}  // namespace lumox::gfx::testing
