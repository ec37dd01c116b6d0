#include "gfx/surface.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace lumox::gfx {

Surface::Surface(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0) {
  if (width_ == 0 || height_ == 0) width_ = height_ = 0;
  // A new surface has never been shown.
  changed_ = {0, height_};
}

void Surface::Fill(PhysicalIndex index) {
  if (!pixels_.empty()) std::memset(data(), index, pixels_.size());
}

RowBand Surface::TakeChangedRows() { return std::exchange(changed_, RowBand{}); }

}  // namespace lumox::gfx
