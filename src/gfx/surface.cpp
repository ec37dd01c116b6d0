#include "gfx/surface.h"

#include <algorithm>
#include <cstring>

namespace lumox::gfx {

Surface::Surface(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0) {
  if (width_ == 0 || height_ == 0) width_ = height_ = 0;
}

void Surface::Fill(PhysicalIndex index) {
  if (!pixels_.empty()) std::memset(pixels_.data(), index, pixels_.size());
}

}  // namespace lumox::gfx
