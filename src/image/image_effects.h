// Pixel operations on 8-bit buffers: a 3x3 smoothing pass and ten mirror and
// fold effects. The plasma module runs them on its own pixel buffer, the
// slide show on each picture.
//
// Every operation takes the buffer's real row size: an image of width w has
// rows of (w + 3) & ~3 bytes. (Deriving the row size from the last column,
// as (lastColumn + 3) & ~3, would be one byte short for widths 4k + 1 and
// skew every row.)
#pragma once

#include <cstdint>
#include <vector>

namespace lumox {

// An 8-bit buffer: rows of `stride` bytes, `height` of them.
struct PixelBuffer {
  uint8_t* pixels = nullptr;
  int32_t width = 0, height = 0;
  int32_t stride = 0;
};

// One smoothing pass over columns 1 .. width - 3 and rows 1 .. height - 3,
// column by column: each pixel becomes the mean of its 3x3 block, taken
// with the new values of the pixels already smoothed. Nothing happens when
// width or height is 3 or less. `width` and `height` may be smaller than the
// buffer's (the effects smooth one column and row less).
void SmoothImage(const PixelBuffer& buffer, int32_t width, int32_t height);

// Effect 1..20 on the whole buffer (0: one chosen at random, which may be
// none; 11..20: a smoothing pass, then effect - 10; other numbers: nothing):
//   1 checkered half turn, 2 checkered left-right mirror, 3 checkered
//   top-bottom mirror, 4 bright half turn, 5 bright left-right mirror,
//   6 bright top-bottom mirror, 7..9 effect 4..6 and then effect 1,
//   10 a smoothing pass.
// Effects 4 to 9 read from a copy kept in `scratch`, which grows when it
// is too small (a caller that sizes it first makes the call allocate
// nothing); when it cannot grow, the effect does nothing.
void ApplyImageEffect(const PixelBuffer& buffer, int32_t effect, std::vector<uint8_t>& scratch);

}  // namespace lumox
