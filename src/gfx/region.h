// Clip regions: sets of pixels built from rectangles, ellipses and polygons
// and combined like GDI regions.
#pragma once

#include <cstdint>
#include <vector>

#include "gfx/geometry.h"

namespace lumox::gfx {

enum class RegionOp { And, Or, Xor, Diff, Copy };  // RGN_AND ... RGN_COPY

// A region is kept as horizontal spans per row, so clipping a span is a
// walk over a short list.
//
// Shapes follow the canvas's fill rules: a rectangle covers [left, right) x
// [top, bottom) (corners in either order); an ellipse region is the set of
// pixels whose centres lie inside the ellipse inscribed in its box; a polygon
// region is the set of pixels whose centres lie inside the polygon under the
// alternate or winding rule. Coordinates are limited to +-kRegionLimit (as
// regions of 16-bit graphics systems were): whatever lies further out is
// cut off when the region is made, which keeps a region of absurd size small.
class Region {
 public:
  static constexpr int32_t kRegionLimit = 1 << 15;

  Region() = default;
  static Region FromRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
  static Region FromEllipse(int32_t left, int32_t top, int32_t right, int32_t bottom);
  static Region FromPolygon(const Point* points, int32_t count, bool winding);

  void Combine(const Region& other, RegionOp op);
  // Combine with a rectangle by And, in place and in time proportional to
  // this region (no rectangle region is built).
  void IntersectRect(const Rect& rect);
  bool Contains(int32_t x, int32_t y) const;
  bool Empty() const;
  Rect Bounds() const;
  // Moves the region; pixels moved past +-kRegionLimit are cut off.
  void Offset(int32_t dx, int32_t dy);

  struct Span {
    int32_t y, left, right;  // right exclusive
  };
  const std::vector<Span>& spans() const { return spans_; }

 private:
  std::vector<Span> spans_;  // sorted by y, then left; non-overlapping
};

}  // namespace lumox::gfx
