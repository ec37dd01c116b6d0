#include "gfx/surface.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace lumox::gfx {

ChangedArea::ChangedArea(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      strips_(static_cast<size_t>((height_ + kStripRows - 1) / kStripRows)) {
  // The narrowest power-of-two tiles that fit the width in 64.
  while ((width_ >> tileShift_) >= kMaxTileColumns) ++tileShift_;
}

bool ChangedArea::Empty() const {
  return std::all_of(strips_.begin(), strips_.end(), [](const Strip& s) { return s.tiles == 0; });
}

void ChangedArea::MarkAll() {
  if (width_ == 0) return;
  for (size_t i = 0; i < strips_.size(); ++i) {
    const int top = static_cast<int>(i) * kStripRows;
    Mark(top, 0, width_);
    Mark(std::min(top + kStripRows, height_) - 1, 0, width_);
  }
}

void ChangedArea::Include(const ChangedArea& other) {
  const size_t count = std::min(strips_.size(), other.strips_.size());
  for (size_t i = 0; i < count; ++i) {
    const Strip& from = other.strips_[i];
    if (from.tiles == 0) continue;
    Strip& to = strips_[i];
    to.tiles |= from.tiles;
    to.bounds.left = std::min(to.bounds.left, from.bounds.left);
    to.bounds.right = std::max(to.bounds.right, from.bounds.right);
    to.bounds.top = std::min(to.bounds.top, from.bounds.top);
    to.bounds.bottom = std::max(to.bounds.bottom, from.bounds.bottom);
  }
}

void ChangedArea::Clear() { std::fill(strips_.begin(), strips_.end(), Strip{}); }

std::vector<Rect> ChangedArea::Rects() const {
  std::vector<Rect> rects;
  for (const Strip& s : strips_) {
    uint64_t tiles = s.tiles;
    while (tiles != 0) {
      const int first = std::countr_zero(tiles);
      const int end = first + std::countr_one(tiles >> first);
      tiles &= end < kMaxTileColumns ? ~uint64_t{0} << end : 0;
      const Rect r{std::max(first << tileShift_, s.bounds.left), s.bounds.top,
                   std::min(end << tileShift_, s.bounds.right), s.bounds.bottom};
      // A run that continues the one above it with the same columns (whole
      // rows, as a palette change marks them) grows that one instead.
      if (!rects.empty() && rects.back().bottom == r.top && rects.back().left == r.left &&
          rects.back().right == r.right)
        rects.back().bottom = r.bottom;
      else
        rects.push_back(r);
    }
  }
  return rects;
}

Rect ChangedArea::Bounds() const {
  Rect bounds;
  for (const Strip& s : strips_) {
    if (s.tiles == 0) continue;
    if (bounds.Empty()) {
      bounds = s.bounds;
    } else {
      bounds.left = std::min(bounds.left, s.bounds.left);
      bounds.right = std::max(bounds.right, s.bounds.right);
      bounds.bottom = s.bounds.bottom;
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
