// An 8-bit surface: width x height physical palette indices, rows top down.
//
// The surface remembers what may have changed since the last
// TakeChangedArea, so that a presenter converts and sends only that. Every
// row handed out for writing counts as changed: the whole row through the
// non-const row() and data(), only the columns named through RowToWrite
// (which the canvas uses, so a thin curve across the screen does not mark
// whole rows). Readers use the const accessors, which mark nothing.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx/color.h"
#include "gfx/geometry.h"

namespace lumox::gfx {

// The changed part of a surface, kept as one bounding rectangle per strip
// of kStripRows rows: a few dozen rectangles at most, tight enough that
// scattered small changes stay small.
class ChangedArea {
 public:
  static constexpr int kStripRows = 32;

  ChangedArea() = default;
  ChangedArea(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }
  bool Empty() const;
  // Pixels [left, right) of row y; callers clip to the surface.
  void Mark(int y, int left, int right) {
    Rect& r = strips_[static_cast<size_t>(y / kStripRows)];
    if (r.Empty()) {
      r = {left, y, right, y + 1};
    } else {
      r.left = std::min(r.left, left);
      r.right = std::max(r.right, right);
      r.top = std::min(r.top, y);
      r.bottom = std::max(r.bottom, y + 1);
    }
  }
  void MarkAll();
  void Include(const ChangedArea& other);
  void Clear();
  // The changed rectangles, top down (empty strips left out).
  std::vector<Rect> Rects() const;
  // The smallest rectangle holding every change.
  Rect Bounds() const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<Rect> strips_;
};

class Surface {
 public:
  Surface() = default;
  Surface(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }
  uint8_t* row(int y) {
    changed_.Mark(y, 0, width_);
    return pixels_.data() + static_cast<size_t>(y) * width_;
  }
  const uint8_t* row(int y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }
  // Row y, about to have pixels [left, right) written (within the surface).
  uint8_t* RowToWrite(int y, int left, int right) {
    changed_.Mark(y, left, right);
    return pixels_.data() + static_cast<size_t>(y) * width_;
  }
  uint8_t* data() {
    changed_.MarkAll();
    return pixels_.data();
  }
  const uint8_t* data() const { return pixels_.data(); }
  size_t size() const { return pixels_.size(); }

  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  void Fill(PhysicalIndex index);

  // What was written since the last call; starts afresh.
  ChangedArea TakeChangedArea();

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint8_t> pixels_;
  ChangedArea changed_;
};

}  // namespace lumox::gfx
