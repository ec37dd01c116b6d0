// Shapes to horizontal spans: the scan converters shared by the canvas and by
// regions, so that a filled shape and a region of the same shape cover the
// same pixels.
//
// Everything here works in 64-bit coordinates and only over the rows the
// caller asks for, so a shape with corners at +-1e9 costs no more than the
// visible rows it crosses.
#pragma once

#include <cstdint>
#include <vector>

#include "gfx/geometry.h"

namespace lumox::gfx {

// Pixels [left, right) of one row; empty when right <= left.
struct RowSpan {
  int64_t left = 0, right = 0;
  bool Empty() const { return right <= left; }
};

// Receives the spans of a shape, row by row, top down. Within a row the spans
// arrive left to right and do not overlap.
class SpanSink {
 public:
  virtual void Span(int64_t y, int64_t left, int64_t right) = 0;

 protected:
  ~SpanSink() = default;
};

// The ellipse of the box [left, right) x [top, bottom), as GDI draws it: the
// curve through the centres of the box's outermost pixels, traced with an
// integer error walk (A. Zingl's rectangle ellipse), so it touches all four
// sides of the box and every row is mirror symmetric about the box centre,
// as is the whole shape top to bottom. A row's span runs from the curve's
// leftmost pixel on that row to its rightmost. A box with right <= left or
// bottom <= top is empty (callers normalise corners). Boxes larger than any
// screen are computed per row from the curve's equation instead.
class EllipseRows {
 public:
  EllipseRows(int64_t left, int64_t top, int64_t right, int64_t bottom);
  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  int64_t top() const { return top_; }
  int64_t bottom() const { return top_ + height_; }
  // The span of row y; empty outside [top, bottom).
  RowSpan Row(int64_t y) const;
  // The spans of rows [from, to) into out[y - from]: the same as Row for each,
  // but much cheaper for many rows.
  void Rows(int64_t from, int64_t to, std::vector<RowSpan>& out) const;

 private:
  void TraceQuadrant();
  int64_t HalfWidth(int64_t byRow, int64_t byColumn) const;
  RowSpan SpanOf(int64_t halfWidth) const;

  int64_t left_, top_, width_, height_;
  // For each row counted outwards from the middle, how far in from the box's
  // left (and right) edge the curve starts; empty for huge boxes.
  std::vector<int32_t> insets_;
};

// Scan converts a polygon over rows [rowFrom, rowTo). Coordinates name pixel
// centres, as they do for lines: pixel (x, y) is inside when the point
// (x, y) is inside the polygon, a point exactly on an edge counting as
// inside for left and top edges and outside for right and bottom ones, so
// polygons sharing an edge neither overlap nor leave a gap, and the square
// (0,0) (4,0) (4,4) (0,4) fills pixels 0-3 both ways.
void ScanPolygon(const Point* points, int32_t count, bool winding, int64_t rowFrom, int64_t rowTo,
                 SpanSink& sink);

// Floor and ceiling of a / b for b > 0.
constexpr int64_t FloorDiv(int64_t a, int64_t b) {
  return a / b - ((a % b != 0) && (a < 0) ? 1 : 0);
}
constexpr int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

}  // namespace lumox::gfx
