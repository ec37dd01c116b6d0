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

// The changed part of a surface. Rows are grouped in strips of kStripRows;
// each strip keeps which of (at most) 64 column tiles were written, and the
// rows and columns its writes reached. Its rectangles are the runs of
// written tiles, trimmed to those rows and outer columns: a curve that
// crosses a strip in several places gives several small rectangles instead
// of one that spans them all. Marking costs a few shifts and compares.
class ChangedArea {
 public:
  static constexpr int kStripRows = 32;
  static constexpr int kMaxTileColumns = 64;

  ChangedArea() = default;
  ChangedArea(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }
  bool Empty() const;
  // Pixels [left, right) of row y, left < right; callers clip to the surface.
  void Mark(int y, int left, int right) {
    Strip& s = strips_[static_cast<size_t>(y / kStripRows)];
    const int first = left >> tileShift_, last = (right - 1) >> tileShift_;
    s.tiles |= (~uint64_t{0} >> (kMaxTileColumns - 1 - (last - first))) << first;
    s.bounds.left = std::min(s.bounds.left, left);
    s.bounds.right = std::max(s.bounds.right, right);
    s.bounds.top = std::min(s.bounds.top, y);
    s.bounds.bottom = std::max(s.bounds.bottom, y + 1);
  }
  void MarkAll();
  void Include(const ChangedArea& other);
  void Clear();
  // The changed rectangles, top down and left to right; runs of the same
  // columns in touching strips come as one.
  std::vector<Rect> Rects() const;
  // The smallest rectangle holding every change.
  Rect Bounds() const;

 private:
  struct Strip {
    uint64_t tiles = 0;  // bit i: columns [i << tileShift_, (i + 1) << tileShift_)
    Rect bounds{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  };

  int width_ = 0;
  int height_ = 0;
  int tileShift_ = 0;  // tiles are 1 << tileShift_ columns wide
  std::vector<Strip> strips_;
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
