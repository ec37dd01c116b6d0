#include "gfx/surface.h"

#include <algorithm>
#include <cstring>

namespace lumox::gfx {

ChangedArea::ChangedArea(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      strips_(static_cast<size_t>((height_ + kStripRows - 1) / kStripRows)) {}

bool ChangedArea::Empty() const {
  return std::all_of(strips_.begin(), strips_.end(), [](const Rect& r) { return r.Empty(); });
}

void ChangedArea::MarkAll() {
  for (size_t i = 0; i < strips_.size(); ++i) {
    const int top = static_cast<int>(i) * kStripRows;
    strips_[i] = {0, top, width_, std::min(top + kStripRows, height_)};
  }
}

void ChangedArea::Include(const ChangedArea& other) {
  const size_t count = std::min(strips_.size(), other.strips_.size());
  for (size_t i = 0; i < count; ++i) {
    const Rect& r = other.strips_[i];
    if (r.Empty()) continue;
    for (int y : {r.top, r.bottom - 1}) Mark(y, r.left, r.right);
  }
}

void ChangedArea::Clear() { std::fill(strips_.begin(), strips_.end(), Rect{}); }

std::vector<Rect> ChangedArea::Rects() const {
  std::vector<Rect> rects;
  for (const Rect& r : strips_)
    if (!r.Empty()) rects.push_back(r);
  return rects;
}

Rect ChangedArea::Bounds() const {
  Rect bounds;
  for (const Rect& r : strips_) {
    if (r.Empty()) continue;
    if (bounds.Empty()) {
      bounds = r;
    } else {
      bounds.left = std::min(bounds.left, r.left);
      bounds.right = std::max(bounds.right, r.right);
      bounds.bottom = r.bottom;
    }
  }
  return bounds;
}

Surface::Surface(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0) {
  if (width_ == 0 || height_ == 0) width_ = height_ = 0;
  changed_ = ChangedArea(width_, height_);
  // A new surface has never been shown.
  changed_.MarkAll();
}

void Surface::Fill(PhysicalIndex index) {
  if (!pixels_.empty()) std::memset(data(), index, pixels_.size());
}

ChangedArea Surface::TakeChangedArea() {
  ChangedArea taken = changed_;
  changed_.Clear();
  return taken;
}

}  // namespace lumox::gfx
