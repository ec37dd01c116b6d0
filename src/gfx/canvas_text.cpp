// Framed edges and centred text for the overlay boxes.
#include <algorithm>
#include <vector>

#include "gfx/canvas.h"
#include "gfx/canvas_internal.h"
#include "gfx/font_rasterizer.h"

namespace lumox::gfx {
namespace {

// One-pixel border: the first colour on the top and left sides, the second
// on the bottom and right sides (which take the top-right and bottom-left
// corner pixels).
struct BorderColors {
  PhysicalIndex topLeft, bottomRight;
};

// The classic 3-D scheme: highlight white, light edge and face light grey,
// shadow dark grey, dark shadow black. Outer border first.
void EdgeBorders(EdgeStyle style, BorderColors (&borders)[2]) {
  switch (style) {
    case EdgeStyle::Raised:
      borders[0] = {kPhysicalLightGrey, kPhysicalBlack};
      borders[1] = {kPhysicalWhite, kPhysicalDarkGrey};
      break;
    case EdgeStyle::Sunken:
      borders[0] = {kPhysicalDarkGrey, kPhysicalWhite};
      borders[1] = {kPhysicalBlack, kPhysicalLightGrey};
      break;
    case EdgeStyle::Etched:
      borders[0] = {kPhysicalDarkGrey, kPhysicalWhite};
      borders[1] = {kPhysicalWhite, kPhysicalDarkGrey};
      break;
  }
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (true) {
    const size_t end = text.find('\n', start);
    std::string_view line =
        text.substr(start, end == std::string_view::npos ? text.npos : end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return lines;
}

}  // namespace

void Canvas::DrawEdge(int32_t left, int32_t top, int32_t right, int32_t bottom, EdgeStyle style,
                      bool fillMiddle) {
  if (!PrepareClip()) return;
  int64_t l = left, t = top, r = right, b = bottom;
  BorderColors borders[2];
  EdgeBorders(style, borders);
  for (const BorderColors& border : borders) {
    if (l >= r || t >= b) return;
    const Ink topLeft{border.topLeft, false}, bottomRight{border.bottomRight, false};
    FillRectangle(l, t, r - 1, t + 1, topLeft);
    FillRectangle(l, t, l + 1, b - 1, topLeft);
    FillRectangle(l, b - 1, r, b, bottomRight);
    FillRectangle(r - 1, t, r, b, bottomRight);
    ++l, ++t, --r, --b;
  }
  if (fillMiddle) FillRectangle(l, t, r, b, {kPhysicalLightGrey, false});
}

Canvas::TextExtent Canvas::MeasureText(std::string_view text) const {
  if (font_ == nullptr) return {};
  TextExtent extent;
  for (std::string_view line : SplitLines(text))
    extent.width = std::max(extent.width, font_->TextWidth(line));
  extent.height = static_cast<int32_t>(SplitLines(text).size()) * font_->LineHeight();
  return extent;
}

void Canvas::DrawCenteredText(int32_t left, int32_t top, int32_t right, int32_t bottom,
                              std::string_view text, ColorRef color) {
  if (font_ == nullptr || !PrepareClip()) return;
  const std::vector<std::string_view> lines = SplitLines(text);
  const int64_t lineHeight = font_->LineHeight();
  const int64_t l = std::min(left, right), r = std::max(left, right);
  const int64_t t = std::min(top, bottom), b = std::max(top, bottom);
  const int64_t boxTop = std::max<int64_t>(t, clipBox_.top);
  const int64_t boxBottom = std::min<int64_t>(b, clipBox_.bottom);
  int64_t lineTop = t + (b - t - lineHeight * static_cast<int64_t>(lines.size())) / 2;
  const Ink ink = CopyInk(color);
  CoverageMask mask;
  for (std::string_view line : lines) {
    const int64_t lineBottom = lineTop + lineHeight;
    if (lineBottom > boxTop && lineTop < boxBottom && !line.empty()) {
      font_->RasterizeLine(line, mask);
      // Centred on the advance width; an overhang past it may show.
      const int64_t x0 = l + (r - l - font_->TextWidth(line)) / 2;
      for (int32_t row = 0; row < mask.height; ++row) {
        const int64_t y = lineTop + row;
        if (y < boxTop || y >= boxBottom) continue;
        const uint8_t* coverage = mask.coverage.data() + static_cast<size_t>(row) * mask.width;
        ForEachClipped(y, std::max(x0, l), std::min(x0 + mask.width, r),
                       [&](int32_t line, int32_t from, int32_t to) {
                         uint8_t* pixels = surface_.RowToWrite(line, from, to);
                         for (int32_t x = from; x < to; ++x)
                           if (coverage[x - x0] >= 128) pixels[x] = ink.color;
                       });
      }
    }
    lineTop = lineBottom;
  }
}

}  // namespace lumox::gfx
