// Painting a picture one rectangular ring at a time, for the modules whose
// pictures are computed pixel by pixel (Stain and Pattern). Only a ring's four edges are computed: each edge goes to the
// screen as a one-row or one-column palette-index DIB, and the toolkit's
// TileRectEdges copies the finished ring into the other tiles.
//
// Two ways to paint a ring, both with the ring flipped top to bottom:
// - exact: every pixel of the four edges computed; the ring shows
//   index(x, top + bottom - y) at (x, y);
// - folded: a short sample taken along the top edge and on down the right
//   edge is repeated back and forth (a triangle fold) along the bottom row
//   and the left column, and the top row and right column are copies of
//   those, which gives striped, woven pictures.
//
// The buffers are made once (Allocate), so painting allocates nothing.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "gfx/canvas.h"
#include "gfx/color.h"
#include "modules/toolkit.h"

namespace lumox {

// Where a folded ring's copies are read from.
enum class FoldCopy {
  // The bottom row copied to the top row, the left column to the right one.
  Straight,
  // The same, but the row is read one pixel to the left when the fold along
  // the columns is the longer one, and the column one pixel to the right
  // when the fold along the rows is, so the copies run skewed.
  SkewedTowardsLongerFold,
};

class RingPainter {
 public:
  // Sides larger than any display are refused rather than attempted.
  static constexpr int32_t kMaxSide = 1 << 15;

  // Makes the buffers for a width x height client area; false when that
  // size is empty, too large, or the memory cannot be had.
  bool Allocate(int32_t width, int32_t height) noexcept;

  // Paints the ring exactly; index(x, y) is the palette index (0..235) of a
  // client pixel on the ring. A ring off the client area is ignored.
  template <typename Index>
  void PaintExact(gfx::Canvas& dc, const RingRect& r, Index&& index) {
    if (!Holds(r)) return;
    for (int32_t x = r.left; x <= r.right; ++x) line_[x - r.left] = Byte(index(x, r.top));
    DrawRow(dc, r, r.bottom);
    for (int32_t x = r.left; x <= r.right; ++x) line_[x - r.left] = Byte(index(x, r.bottom));
    DrawRow(dc, r, r.top);
    for (int32_t y = r.top; y <= r.bottom; ++y) line_[4 * (y - r.top)] = Byte(index(r.left, y));
    DrawColumn(dc, r, r.left);
    for (int32_t y = r.top; y <= r.bottom; ++y) line_[4 * (y - r.top)] = Byte(index(r.right, y));
    DrawColumn(dc, r, r.right);
  }

  // Paints the ring folded with fold length `fold` (> 0): the sample holds
  // (right - left) / fold + 1 or (bottom - top) / fold + 1 values, whichever
  // is more, and one more read by the fold's turning point.
  template <typename Index>
  void PaintFolded(gfx::Canvas& dc, const RingRect& r, int32_t fold, FoldCopy copy,
                   Index&& index) {
    if (!Holds(r) || fold <= 0) return;
    const Fold f = FoldLengths(r, fold);
    std::fill_n(sample_.begin(), f.longer + 1, uint8_t{0});
    int32_t i = 0;
    for (int32_t x = r.left; x < r.right && i <= f.longer; ++x) sample_[i++] = Byte(index(x, r.top));
    for (int32_t y = r.top; y < r.bottom && i <= f.longer; ++y) {
      sample_[i++] = Byte(index(r.right, y));
    }
    DrawFolded(dc, r, f, copy);
  }

 private:
  struct Fold {
    int32_t alongRow = 1, alongColumn = 1, longer = 1;
  };

  static uint8_t Byte(int32_t index) { return static_cast<uint8_t>(index); }
  // Whether the ring lies on the client area (a buffer holds one edge).
  bool Holds(const RingRect& r) const;
  Fold FoldLengths(const RingRect& r, int32_t fold) const;
  void DrawRow(gfx::Canvas& dc, const RingRect& r, int32_t y) const;
  void DrawColumn(gfx::Canvas& dc, const RingRect& r, int32_t x) const;
  void DrawFolded(gfx::Canvas& dc, const RingRect& r, const Fold& f, FoldCopy copy);
  gfx::DibView RowDib() const;
  gfx::DibView ColumnDib() const;

  int32_t width_ = 0, height_ = 0;
  // One ring edge of palette indices; a column holds one index every 4
  // bytes (the stride of a one-pixel-wide DIB).
  std::vector<uint8_t> line_;
  std::vector<uint8_t> sample_;
  std::array<uint16_t, gfx::kSaverColors> colorTable_{};
};

}  // namespace lumox
