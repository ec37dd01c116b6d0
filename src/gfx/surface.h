// An 8-bit surface: width x height physical palette indices, rows top down.
//
// The surface remembers which rows may have changed since the last
// TakeChangedRows: every row handed out for writing (the non-const row()
// and data()) counts as changed, so no writer can forget to say so, and a
// presenter converts and sends only those rows. Readers use the const
// accessors, which mark nothing.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx/color.h"

namespace lumox::gfx {

// Rows top (included) to bottom (excluded); empty when top >= bottom.
struct RowBand {
  int top = 0;
  int bottom = 0;

  bool Empty() const { return top >= bottom; }
  int Height() const { return Empty() ? 0 : bottom - top; }
  // Grows the band to cover rows from..to-1 as well.
  void Include(int from, int to) {
    if (from >= to) return;
    if (Empty()) {
      top = from;
      bottom = to;
    } else {
      top = std::min(top, from);
      bottom = std::max(bottom, to);
    }
  }
  void Include(const RowBand& other) { Include(other.top, other.bottom); }
  bool operator==(const RowBand&) const = default;
};

class Surface {
 public:
  Surface() = default;
  Surface(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }
  uint8_t* row(int y) {
    MarkRow(y);
    return pixels_.data() + static_cast<size_t>(y) * width_;
  }
  const uint8_t* row(int y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }
  uint8_t* data() {
    changed_ = {0, height_};
    return pixels_.data();
  }
  const uint8_t* data() const { return pixels_.data(); }
  size_t size() const { return pixels_.size(); }

  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  void Fill(PhysicalIndex index);

  // The rows written since the last call; starts afresh.
  RowBand TakeChangedRows();

 private:
  void MarkRow(int y) {
    if (y < changed_.top || y >= changed_.bottom) changed_.Include(y, y + 1);
  }

  int width_ = 0;
  int height_ = 0;
  std::vector<uint8_t> pixels_;
  RowBand changed_;
};

}  // namespace lumox::gfx
