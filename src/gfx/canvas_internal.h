// Helpers shared by the canvas's source files.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "gfx/canvas.h"
#include "gfx/scan_convert.h"

namespace lumox::gfx {

// Span fills go through a call to the library memset: inlined `rep stos`
// sequences are several times slower for the short spans shapes are made of.
[[gnu::noinline]] void FillBytes(uint8_t* destination, uint8_t value, size_t count);
void InvertBytes(uint8_t* destination, size_t count);

// A blit extent: a negative length runs leftwards (upwards) from its origin,
// which it includes, so (x, -w) covers x - w + 1 ... x.
struct Extent {
  int64_t start, length;
  bool reversed;
};
inline Extent NormalizeExtent(int64_t origin, int64_t length) {
  if (length < 0) return {origin + length + 1, -length, true};
  return {origin, length, false};
}

// A wide round pen's dot, the ellipse of the box (0, 0, width, width), its
// rows looked up in a table: every segment of a path asks for them. A pen
// wider than any screen works out each row it is asked for instead.
class PenDot {
 public:
  explicit PenDot(int32_t width) : shape_(0, 0, width, width) {
    if (width <= kTableLimit) shape_.Rows(0, width, rows_);
  }
  // The span of the dot's row `row` (0 at the top of its box).
  RowSpan Row(int64_t row) const {
    if (rows_.empty()) return shape_.Row(row);
    return row >= 0 && row < static_cast<int64_t>(rows_.size()) ? rows_[static_cast<size_t>(row)]
                                                                 : RowSpan{};
  }

 private:
  static constexpr int32_t kTableLimit = 4096;
  EllipseRows shape_;
  std::vector<RowSpan> rows_;
};

// The pixels a wide round pen covers over rows [from, to), collected piece
// by piece and united, so that a pixel several pieces cover is drawn once
// (which matters when the ink inverts).
class WidePenCoverage {
 public:
  WidePenCoverage(int32_t width, int64_t from, int64_t to);
  // The pen drawn from a to b: a dot at each end and the band between.
  void AddSegment(Point a, Point b);
  // Dots centred on pixels [left, right) of row y.
  void AddDots(int64_t y, int64_t left, int64_t right);
  // Visits the covered spans (y, left, right) top down, left to right, each
  // pixel once.
  template <typename Visit>
  void ForEachSpan(Visit visit) {
    Sort();
    for (size_t i = 0; i < spans_.size();) {
      Piece run = spans_[i++];
      while (i < spans_.size() && spans_[i].y == run.y && spans_[i].left <= run.right)
        run.right = std::max(run.right, spans_[i++].right);
      visit(run.y, run.left, run.right);
    }
  }

 private:
  struct Piece {
    int64_t y, left, right;
  };
  void Add(int64_t y, int64_t left, int64_t right) {
    if (left < right && y >= from_ && y < to_) spans_.push_back({y, left, right});
  }
  void Sort();

  int32_t width_;
  int64_t from_, to_;
  PenDot dot_;
  std::vector<Piece> spans_;
};

template <typename Write>
void Canvas::ForEachClipped(int64_t y, int64_t left, int64_t right, Write&& write) const {
  left = std::max<int64_t>(left, clipBox_.left);
  right = std::min<int64_t>(right, clipBox_.right);
  if (left >= right) return;
  if (!clip_) {
    write(static_cast<int32_t>(y), static_cast<int32_t>(left), static_cast<int32_t>(right));
    return;
  }
  const auto& spans = clip_->spans();
  for (uint32_t i = clipRows_[y], end = clipRows_[y + 1]; i < end; ++i) {
    const Region::Span& s = spans[i];
    if (s.left >= right) break;
    const int64_t l = std::max<int64_t>(left, s.left);
    const int64_t r = std::min<int64_t>(right, s.right);
    if (l < r) write(static_cast<int32_t>(y), static_cast<int32_t>(l), static_cast<int32_t>(r));
  }
}

// Inline: shapes fill a short span per row, and the calls cost as much as the
// filling.
inline void Canvas::FillRow(int64_t y, int64_t left, int64_t right, Ink ink) {
  ForEachClipped(y, left, right, [&](int32_t line, int32_t l, int32_t r) {
    uint8_t* row = surface_.RowToWrite(line, l, r);
    if (ink.invert)
      InvertBytes(row + l, static_cast<size_t>(r - l));
    else
      FillBytes(row + l, ink.color, static_cast<size_t>(r - l));
  });
}

}  // namespace lumox::gfx
