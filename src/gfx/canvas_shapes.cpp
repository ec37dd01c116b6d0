// Filled shapes: the selected brush inside, the selected pen around.
//
// Rectangle and Ellipse take a bounding box whose right and bottom edges are
// excluded. The pen runs along the outermost pixels of the box: a pen of
// width w reaches w / 2 pixels outwards and (w - 1) / 2 inwards from them,
// as GDI's pens do, and the brush fills what lies inside the pen, so no pixel
// is painted twice (which matters when the raster mode inverts). A wide
// pen's Ellipse is GDI's: the pen drawn along the one-pixel outline, pixel
// by pixel. Without a pen a Rectangle loses its right column and bottom row,
// as it does in GDI; an Ellipse without a pen fills the same shape it has
// with one (except a box two pixels or less across, which fills like a
// Rectangle).
// Polygon fills the pixels inside it and then strokes its closed outline with
// the pen, as a polyline (with an inverting raster mode the outline inverts
// the fill's edge pixels back, as in GDI).
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

// Wide pens up to this width draw an Ellipse as GDI does, along every pixel
// of the outline; that costs the pen's width in spans per row of the
// outline within its reach, so wider pens draw the band between two
// ellipses instead (the same reach, not GDI's exact edges).
constexpr int32_t kWidestTracedPen = 64;

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
  if (box.right <= box.left || box.bottom <= box.top) return;
  const bool hasBrush = brush_.style != BrushStyle::Null;
  if (pen_.style == PenStyle::Null) {
    if (hasBrush) FillRectangle(box.left, box.top, box.right - 1, box.bottom - 1, BrushInk());
    return;
  }
  const int64_t w = std::max<int32_t>(pen_.width, 1);
  if (w == 1 && (box.right - box.left <= 2 || box.bottom - box.top <= 2)) {
    // All outline; a single pixel's outline has no length and draws nothing.
    if (box.right - box.left > 1 || box.bottom - box.top > 1)
      FillRectangle(box.left, box.top, box.right, box.bottom, PenInk());
    return;
  }
  const int64_t before = w / 2, after = (w + 1) / 2;  // the pen's reach either side of its path
  if (hasBrush)
    FillRectangle(box.left + after, box.top + after, box.right - 1 - before,
                  box.bottom - 1 - before, BrushInk());
  const int32_t l = static_cast<int32_t>(box.left), t = static_cast<int32_t>(box.top);
  const int32_t r = static_cast<int32_t>(box.right - 1), b = static_cast<int32_t>(box.bottom - 1);
  const Point corners[4] = {{l, t}, {r, t}, {r, b}, {l, b}};
  StrokePath(corners, 4, true);
}

void Canvas::Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (!PrepareClip()) return;
  const Box box = Normalized(left, top, right, bottom);
  const bool hasBrush = brush_.style != BrushStyle::Null;
  const int64_t clipTop = clipBox_.top, clipBottom = clipBox_.bottom;
  std::vector<RowSpan> outerRows, innerRows;
  if (pen_.style == PenStyle::Null) {
    if (!hasBrush) return;
    if (box.right - box.left <= 2 || box.bottom - box.top <= 2) {
      // Too small for a curve: the box's interior, as for Rectangle.
      FillRectangle(box.left, box.top, box.right - 1, box.bottom - 1, BrushInk());
      return;
    }
    const EllipseRows shape(box.left, box.top, box.right, box.bottom);
    const int64_t first = std::max(shape.top(), clipTop),
                  end = std::min(shape.bottom(), clipBottom);
    shape.Rows(first, end, outerRows);
    const Ink brush = BrushInk();
    for (int64_t y = first; y < end; ++y)
      FillRow(y, outerRows[y - first].left, outerRows[y - first].right, brush);
    return;
  }
  if (box.right <= box.left || box.bottom <= box.top) return;
  if (pen_.width > 1 && pen_.width <= kWidestTracedPen) {
    WideEllipse(box.left, box.top, box.right, box.bottom);
    return;
  }
  const int64_t w = std::max<int32_t>(pen_.width, 1);
  const int64_t before = w / 2, after = (w + 1) / 2;  // the pen's reach either side of its path
  const EllipseRows outer(box.left - before, box.top - before, box.right + after - 1,
                          box.bottom + after - 1);
  const int64_t first = std::max(outer.top(), clipTop), end = std::min(outer.bottom(), clipBottom);
  if (first >= end) return;
  // The part the brush fills: for a one-pixel pen, the pixels whose four
  // neighbours are all in the shape (so the outline is one connected pixel
  // line); for a pen too wide to trace, what lies inside the band the pen
  // covers around the curve, between two ellipses.
  outer.Rows(first - 1, end + 1, outerRows);  // one more row above and below
  if (w > 1)
    EllipseRows(box.left + after, box.top + after, box.right - 1 - before, box.bottom - 1 - before)
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

void Canvas::WideEllipse(int64_t left, int64_t top, int64_t right, int64_t bottom) {
  // The wide pen follows the one-pixel outline of the same box, as a closed
  // line through each of its pixels in turn: a dot on every outline pixel
  // and, where the outline steps diagonally, the pen's band between the two
  // pixels. The brush fills the rest of the shape, so no pixel is drawn
  // twice.
  if (right - left == 1 && bottom - top == 1) {
    // A single pixel's outline is that point: the pen's dot.
    const Point point{static_cast<int32_t>(left), static_cast<int32_t>(top)};
    StrokePath(&point, 1, false);
    return;
  }
  const EllipseRows curve(left, top, right, bottom);
  const int64_t reach = pen_.width;
  const int64_t first = std::max(curve.top() - reach, int64_t{clipBox_.top});
  const int64_t end = std::min(curve.bottom() + reach, int64_t{clipBox_.bottom});
  if (first >= end) return;
  // The outline's rows that reach [first, end), with one more row of the
  // shape either side to find the outline by.
  const int64_t from = std::max(first - reach, curve.top());
  const int64_t to = std::min(end + reach, curve.bottom());
  std::vector<RowSpan> rows;
  curve.Rows(from - 1, to + 1, rows);
  auto shape = [&](int64_t y) {
    return y >= from - 1 && y < to + 1 ? rows[y - from + 1] : RowSpan{};
  };
  // The outline pixels of row y: the shape's span less the pixels whose
  // four neighbours are all in the shape; up to two parts.
  auto outline = [&](int64_t y) -> std::pair<RowSpan, RowSpan> {
    const RowSpan here = shape(y);
    const RowSpan inner =
        Intersect(Intersect({here.left + 1, here.right - 1}, shape(y - 1)), shape(y + 1));
    if (inner.Empty()) return {here, RowSpan{}};
    return {{here.left, inner.left}, {inner.right, here.right}};
  };
  auto onOutline = [&](int64_t x, int64_t y) {
    if (y < from || y >= to) return false;
    const auto [a, b] = outline(y);
    return (x >= a.left && x < a.right) || (x >= b.left && x < b.right);
  };
  WidePenCoverage coverage(pen_.width, first, end);
  for (int64_t y = from; y < to; ++y) {
    const auto [a, b] = outline(y);
    for (const RowSpan& part : {a, b}) {
      if (part.Empty()) continue;
      coverage.AddDots(y, part.left, part.right);
      // Diagonal steps down from the part's ends.
      for (const int64_t x : {part.left, part.right - 1})
        for (const int64_t dx : {-1, 1})
          if (onOutline(x + dx, y + 1) && !onOutline(x + dx, y) && !onOutline(x, y + 1))
            coverage.AddSegment(
                {static_cast<int32_t>(x), static_cast<int32_t>(y)},
                {static_cast<int32_t>(x + dx), static_cast<int32_t>(y + 1)});
    }
  }
  const bool hasBrush = brush_.style != BrushStyle::Null;
  const Ink pen = PenInk(), brush = BrushInk();
  // The brush fills the shape's pixels between the pen's spans.
  int64_t row = first - 1, brushFrom = 0;
  auto finishRow = [&] {
    if (hasBrush && row >= first) FillRow(row, brushFrom, shape(row).right, brush);
  };
  coverage.ForEachSpan([&](int64_t y, int64_t l, int64_t r) {
    if (y != row) {
      finishRow();
      row = y;
      brushFrom = shape(y).left;
    }
    if (hasBrush) FillRow(y, brushFrom, std::min(l, shape(y).right), brush);
    FillRow(y, l, r, pen);
    brushFrom = std::max(brushFrom, r);
  });
  finishRow();
}

}  // namespace lumox::gfx
