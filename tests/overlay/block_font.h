// A font for tests: every character is a solid block, so a text's size and
// place follow from its length alone, and the lines asked for are recorded.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "gfx/font_rasterizer.h"

namespace lumox::testing {

class BlockFont final : public gfx::FontRasterizer {
 public:
  static constexpr int32_t kAdvance = 6;  // per character
  static constexpr int32_t kLineHeight = 10;

  int32_t LineHeight() const override { return kLineHeight; }
  int32_t TextWidth(std::string_view line) override {
    return static_cast<int32_t>(line.size()) * kAdvance;
  }
  // Each character inks the middle 4 x 6 of its 6 x 10 cell.
  void RasterizeLine(std::string_view line, gfx::CoverageMask& mask) override {
    lines.emplace_back(line);
    mask.width = TextWidth(line);
    mask.height = kLineHeight;
    mask.coverage.assign(static_cast<size_t>(mask.width) * kLineHeight, 0);
    for (int32_t y = 2; y < 8; ++y)
      for (int32_t x = 0; x < mask.width; ++x)
        if (x % kAdvance >= 1 && x % kAdvance < 5) mask.coverage[y * mask.width + x] = 255;
  }

  std::vector<std::string> lines;  // every line rasterised, in order
};

}  // namespace lumox::testing
