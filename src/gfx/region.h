// Clip regions: sets of pixels built from rectangles, ellipses and polygons
// and combined like GDI regions.
#pragma once

#include <cstdint>
#include <vector>

namespace lumox::gfx {

struct Point;

enum class RegionOp { And, Or, Xor, Diff, Copy };  // RGN_AND ... RGN_COPY

struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
  bool Empty() const { return right <= left || bottom <= top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// A region is kept as horizontal spans per row, so clipping a span is a
// walk over a short list.
class Region {
 public:
  Region() = default;
  static Region FromRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
  static Region FromEllipse(int32_t left, int32_t top, int32_t right, int32_t bottom);
  static Region FromPolygon(const Point* points, int32_t count, bool winding);

  void Combine(const Region& other, RegionOp op);
  bool Contains(int32_t x, int32_t y) const;
  bool Empty() const;
  Rect Bounds() const;
  void Offset(int32_t dx, int32_t dy);

  struct Span {
    int32_t y, left, right;  // right exclusive
  };
  const std::vector<Span>& spans() const { return spans_; }

 private:
  std::vector<Span> spans_;  // sorted by y, then left; non-overlapping
};

}  // namespace lumox::gfx
