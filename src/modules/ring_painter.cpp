#include "modules/ring_painter.h"

#include <new>

namespace lumox {

bool RingPainter::Allocate(int32_t width, int32_t height) noexcept {
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return false;
  const size_t longerSide = static_cast<size_t>(std::max(width, height));
  try {
    line_.assign(4 * longerSide + 16, 0);
    sample_.assign(longerSide + 10, 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  width_ = width;
  height_ = height;
  for (int i = 0; i < gfx::kSaverColors; ++i) colorTable_[i] = static_cast<uint16_t>(i);
  return true;
}

bool RingPainter::Holds(const RingRect& r) const {
  return r.left >= 0 && r.top >= 0 && r.left <= r.right && r.top <= r.bottom &&
         r.right < width_ && r.bottom < height_;
}

RingPainter::Fold RingPainter::FoldLengths(const RingRect& r, int32_t fold) const {
  Fold f;
  f.alongRow = (r.right - r.left) / fold + 1;
  f.alongColumn = (r.bottom - r.top) / fold + 1;
  f.longer = std::max(f.alongRow, f.alongColumn);
  return f;
}

// The line as a one-row DIB W wide, or a bottom-up one-column DIB H high.
gfx::DibView RingPainter::RowDib() const {
  return {line_.data(), width_, 1, colorTable_.data(), gfx::kSaverColors};
}
gfx::DibView RingPainter::ColumnDib() const {
  return {line_.data(), 1, height_, colorTable_.data(), gfx::kSaverColors};
}

void RingPainter::DrawRow(gfx::Canvas& dc, const RingRect& r, int32_t y) const {
  const int32_t w = r.right - r.left + 1;
  dc.StretchDIBits(r.left, y, w, 1, 0, 0, w, 1, RowDib());
}

// Source rows 0 .. h-1 count from the bottom of the column DIB, so the value
// computed for r.top lands on r.bottom.
void RingPainter::DrawColumn(gfx::Canvas& dc, const RingRect& r, int32_t x) const {
  const int32_t h = r.bottom - r.top + 1;
  dc.StretchDIBits(x, r.top, 1, h, 0, 0, 1, h, ColumnDib());
}

void RingPainter::DrawFolded(gfx::Canvas& dc, const RingRect& r, const Fold& f, FoldCopy copy) {
  const int32_t w = r.right - r.left + 1;
  const int32_t h = r.bottom - r.top + 1;
  // Back and forth: even laps run forwards, odd laps backwards from the
  // sample one past the lap's end.
  const auto folded = [this](int32_t k, int32_t length) {
    const int32_t m = k % length;
    return (k / length) % 2 == 0 ? sample_[m] : sample_[length - m];
  };
  const bool skewed = copy == FoldCopy::SkewedTowardsLongerFold;

  for (int32_t k = 0; k < w; ++k) line_[k] = folded(k, f.alongRow);
  dc.SetDIBitsToDevice(r.left, r.bottom, w, 1, 0, 0, 0, 1, RowDib());
  const int32_t rowSource = skewed && f.alongColumn > f.alongRow ? r.left - 1 : r.left;
  dc.BitBlt(r.left, r.top, w, 1, dc, rowSource, r.bottom);

  for (int32_t k = 0; k < h; ++k) line_[4 * k] = folded(k, f.alongColumn);
  dc.SetDIBitsToDevice(r.left, r.top, 1, h, 0, 0, 0, h, ColumnDib());
  const int32_t columnSource = skewed && f.alongRow > f.alongColumn ? r.left + 1 : r.left;
  dc.BitBlt(r.right, r.top, 1, h, dc, columnSource, r.top);
}

}  // namespace lumox
