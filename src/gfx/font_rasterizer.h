// Text for the canvas: a font that turns one line of text into a coverage
// mask. The canvas centres and thresholds the mask (an 8-bit indexed screen
// cannot blend), so a font only has to measure and rasterise.
//
// Text is 8-bit, in the Windows-1252 code page the saver's strings use.
// Implementations keep a glyph cache: the overlays draw the same few strings
// many times.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace lumox::gfx {

// Coverage of one line: height rows of width bytes, top down, 0 = none,
// 255 = full.
struct CoverageMask {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> coverage;
};

class FontRasterizer {
 public:
  virtual ~FontRasterizer() = default;
  // Distance from one line's top to the next line's top, in pixels.
  virtual int32_t LineHeight() const = 0;
  // The advance width of one line of text (no line breaks), in pixels.
  virtual int32_t TextWidth(std::string_view line) = 0;
  // Renders one line, LineHeight() high and at least TextWidth(line) wide:
  // columns past the advance hold what the last glyph overhangs it by.
  virtual void RasterizeLine(std::string_view line, CoverageMask& mask) = 0;
};

}  // namespace lumox::gfx
