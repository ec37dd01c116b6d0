// Filled shapes: the selected brush inside, the selected pen around.
//
// Rectangle and Ellipse take a bounding box whose right and bottom edges are
// excluded, and keep the pen inside it: a pen of width w takes the outer w
// pixels of the shape and the brush fills what is left, so no pixel is
// painted twice (which matters when the raster mode inverts). With the null
// pen the shape loses its right column and bottom row, as it does in GDI,
// where the interior of a box is always one pixel smaller than the box.
// Polygon fills the pixels whose centres lie inside it and then strokes its
// closed outline with the pen, as a polyline.
#include <algorithm>
#include <utility>
#include <vector>

#include "gfx/canvas.h"
#include "gfx/canvas_internal.h"
#include "gfx/scan_convert.h"

namespace lumox::gfx {
namespace {

class CanvasSpanFill final : public SpanSink {
 public:
  template <typename Fill>
  explicit CanvasSpanFill(Fill& fill) : fill_(&fill), call_(&Call<Fill>) {}
  void Span(int64_t y, int64_t left, int64_t right) override { call_(fill_, y, left, right); }

 private:
  template <typename Fill>
  static void Call(void* fill, int64_t y, int64_t left, int64_t right) {
    (*static_cast<Fill*>(fill))(y, left, right);
  }
  void* fill_;
  void (*call_)(void*, int64_t, int64_t, int64_t);
};

struct Box {
  int64_t left, top, right, bottom;
};

Box Normalized(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return {std::min(left, right), std::min(top, bottom), std::max(left, right),
          std::max(top, bottom)};
}

RowSpan Intersect(RowSpan a, RowSpan b) {
  return {std::max(a.left, b.left), std::min(a.right, b.right)};
}

}  // namespace

void Canvas::FillPolygonInterior(const Point* points, int32_t count, Ink ink) {
  auto fill = [&](int64_t y, int64_t left, int64_t right) { FillRow(y, left, right, ink); };
  CanvasSpanFill sink(fill);
  ScanPolygon(points, count, fillMode_ == FillMode::Winding, clipBox_.top, clipBox_.bottom, sink);
}

void Canvas::Polygon(const Point* points, int32_t count) {
  if (points == nullptr || count < 2 || !PrepareClip()) return;
  if (brush_.style != BrushStyle::Null) FillPolygonInterior(points, count, BrushInk());
  StrokePath(points, count, true);
}

void Canvas::Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (!PrepareClip()) return;
  const Box box = Normalized(left, top, right, bottom);
  const bool hasBrush = brush_.style != BrushStyle::Null;
  if (pen_.style == PenStyle::Null) {
    if (hasBrush) FillRectangle(box.left, box.top, box.right - 1, box.bottom - 1, BrushInk());
    return;
  }
  const int64_t w = std::max<int32_t>(pen_.width, 1);
  const Ink pen = PenInk(), brush = BrushInk();
  const int64_t from = std::max<int64_t>(box.top, clipBox_.top);
  const int64_t to = std::min<int64_t>(box.bottom, clipBox_.bottom);
  for (int64_t y = from; y < to; ++y) {
    const bool band = y < box.top + w || y >= box.bottom - w || box.right - box.left <= 2 * w;
    if (band) {
      FillRow(y, box.left, box.right, pen);
    } else {
      FillRow(y, box.left, box.left + w, pen);
      if (hasBrush) FillRow(y, box.left + w, box.right - w, brush);
      FillRow(y, box.right - w, box.right, pen);
    }
  }
}

void Canvas::Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (!PrepareClip()) return;
  const Box box = Normalized(left, top, right, bottom);
  const bool hasBrush = brush_.style != BrushStyle::Null;
  const int64_t clipTop = clipBox_.top, clipBottom = clipBox_.bottom;
  std::vector<RowSpan> outerRows, innerRows;
  if (pen_.style == PenStyle::Null) {
    if (!hasBrush) return;
    const EllipseRows shape(box.left, box.top, box.right - 1, box.bottom - 1);
    const int64_t first = std::max(shape.top(), clipTop),
                  end = std::min(shape.bottom(), clipBottom);
    shape.Rows(first, end, outerRows);
    const Ink brush = BrushInk();
    for (int64_t y = first; y < end; ++y)
      FillRow(y, outerRows[y - first].left, outerRows[y - first].right, brush);
    return;
  }
  const EllipseRows outer(box.left, box.top, box.right, box.bottom);
  if (outer.Empty()) return;
  const int64_t w = std::max<int32_t>(pen_.width, 1);
  const int64_t first = std::max(outer.top(), clipTop), end = std::min(outer.bottom(), clipBottom);
  if (first >= end) return;
  // The part the brush fills: for a one-pixel pen, the pixels whose four
  // neighbours are all in the shape (so the outline is one connected pixel
  // line); for a wider pen, the ellipse of the box shrunk by the width.
  outer.Rows(first - 1, end + 1, outerRows);  // one more row above and below
  if (w > 1)
    EllipseRows(box.left + w, box.top + w, box.right - w, box.bottom - w)
        .Rows(first, end, innerRows);
  const Ink pen = PenInk(), brush = BrushInk();
  for (int64_t y = first; y < end; ++y) {
    const RowSpan here = outerRows[y - first + 1];
    const RowSpan i =
        w > 1 ? innerRows[y - first]
              : Intersect(Intersect({here.left + 1, here.right - 1}, outerRows[y - first]),
                          outerRows[y - first + 2]);
    if (i.Empty()) {
      FillRow(y, here.left, here.right, pen);
    } else {
      FillRow(y, here.left, i.left, pen);
      if (hasBrush) FillRow(y, i.left, i.right, brush);
      FillRow(y, i.right, here.right, pen);
    }
  }
}

}  // namespace lumox::gfx
