// An 8-bit surface: width x height physical palette indices, rows top down.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx/color.h"

namespace lumox::gfx {

class Surface {
 public:
  Surface() = default;
  Surface(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }
  uint8_t* row(int y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
  const uint8_t* row(int y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }
  uint8_t* data() { return pixels_.data(); }
  const uint8_t* data() const { return pixels_.data(); }
  size_t size() const { return pixels_.size(); }

  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  void Fill(PhysicalIndex index);

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint8_t> pixels_;
};

}  // namespace lumox::gfx
