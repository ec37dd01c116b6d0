#include "gfx/scan_convert.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace lumox::gfx {
namespace {

using Wide = __int128;

Wide FloorDivWide(Wide a, Wide b) {
  Wide q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

// Largest m >= 0 with m * m <= value.
int64_t SquareRootFloor(Wide value) {
  if (value <= 0) return 0;
  int64_t m = static_cast<int64_t>(std::sqrt(static_cast<long double>(value)));
  while (m > 0 && static_cast<Wide>(m) * m > value) --m;
  while (static_cast<Wide>(m + 1) * (m + 1) <= value) ++m;
  return m;
}

}  // namespace

EllipseRows::EllipseRows(int64_t left, int64_t top, int64_t right, int64_t bottom)
    : left_(left), top_(top), width_(right - left), height_(bottom - top) {}

namespace {

// floor(sqrt(floor(p^2 (q^2 - r^2) / q^2))) for q > 0, |r| <= q: the largest
// integer s with s^2 q^2 <= p^2 (q^2 - r^2).
int64_t ScaledRoot(int64_t p, int64_t q, int64_t r) {
  constexpr int64_t kExactLimit = int64_t{1} << 26;
  if (p < kExactLimit && q < kExactLimit) {
    const Wide room = static_cast<Wide>(p) * p * (static_cast<Wide>(q) * q - static_cast<Wide>(r) * r);
    return SquareRootFloor(room / (static_cast<Wide>(q) * q));
  }
  const long double ratio = static_cast<long double>(r) / q;
  return static_cast<int64_t>(std::floor(p * std::sqrt(std::max(0.0L, 1.0L - ratio * ratio))));
}

}  // namespace

RowSpan EllipseRows::Row(int64_t y) const {
  if (Empty() || y < top_ || y >= top_ + height_) return {};
  // The ellipse runs through the centres of the box's outermost pixels. In
  // doubled coordinates about the box centre, X = 2x - (left + right - 1),
  // the semi-axes are a = width - 1 and b = height - 1. A pixel is inside when
  // it is the pixel nearest to the curve (or inside it) on its row, or on its
  // column; ties count as inside. The row test allows |X| up to the curve's
  // extent at Y plus one; the column test allows |X| up to the curve's extent
  // half a pixel nearer the centre (at |Y| - 1). Rounding per column as well
  // as per row keeps flat tops round and lets every ellipse touch all four
  // sides of its box.
  const int64_t a = width_ - 1, b = height_ - 1;
  const int64_t dy = std::abs(2 * (y - top_) - b);
  int64_t m = a;
  if (b > 0) {
    const int64_t byRow = 1 + ScaledRoot(a, b, dy);
    const int64_t byColumn = dy <= 1 ? a : ScaledRoot(a, b, dy - 1);
    m = std::min(a, std::max(byRow, byColumn));
  }
  if (((m ^ a) & 1) != 0) --m;  // X has the parity of a
  if (m < 0) return {};
  const int64_t twiceCentre = 2 * left_ + a;  // left + right - 1
  return {(twiceCentre - m) / 2, (twiceCentre + m) / 2 + 1};
}

namespace {

// One non-horizontal polygon edge, walked down the rows. Pixel (x, y) is
// the point (x, y), so the edge crosses row y at
// x = xa + (y - ya)(xb - xa)/(yb - ya), and the first pixel at or right of the
// crossing is ceil(N / D) with D = yb - ya and N = xa D + (y - ya)(xb - xa).
// N grows by S = xb - xa per row; the ceiling is kept exactly as
// N = column * D - remainder with 0 <= remainder < D.
struct Edge {
  int64_t yTop, yBottom;  // rows [yTop, yBottom)
  int direction;          // +1 downwards in the polygon's order, -1 upwards
  int64_t column, remainder, denominator, stepColumns, stepRemainder;

  void Start(int64_t xa, int64_t xb, int64_t y) {
    denominator = yBottom - yTop;
    const Wide n = static_cast<Wide>(xa) * denominator + static_cast<Wide>(y - yTop) * (xb - xa);
    const Wide q = -FloorDivWide(-n, denominator);
    column = static_cast<int64_t>(q);
    remainder = static_cast<int64_t>(q * denominator - n);
    const int64_t step = xb - xa;
    stepColumns = FloorDiv(step, denominator);
    stepRemainder = step - stepColumns * denominator;
  }
  void Advance() {
    column += stepColumns;
    remainder -= stepRemainder;
    if (remainder < 0) {
      remainder += denominator;
      ++column;
    }
  }
};

struct Crossing {
  int64_t x;
  int direction;
};

}  // namespace

void ScanPolygon(const Point* points, int32_t count, bool winding, int64_t rowFrom,
                 int64_t rowTo, SpanSink& sink) {
  if (points == nullptr || count < 2 || rowFrom >= rowTo) return;
  std::vector<Edge> edges;
  edges.reserve(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    const Point& p = points[i];
    const Point& q = points[(i + 1) % count];
    if (p.y == q.y) continue;  // horizontal edges bound no row
    const bool down = q.y > p.y;
    const Point& top = down ? p : q;
    const Point& bottom = down ? q : p;
    Edge edge{};
    edge.yTop = top.y;
    edge.yBottom = bottom.y;
    edge.direction = down ? 1 : -1;
    if (edge.yBottom <= rowFrom || edge.yTop >= rowTo) continue;
    edge.Start(top.x, bottom.x, std::max<int64_t>(edge.yTop, rowFrom));
    edges.push_back(edge);
  }
  if (edges.empty()) return;
  std::sort(edges.begin(), edges.end(),
            [](const Edge& a, const Edge& b) { return a.yTop < b.yTop; });

  int64_t first = std::max(edges.front().yTop, rowFrom);
  int64_t last = rowFrom;
  for (const Edge& e : edges) last = std::max(last, e.yBottom);
  last = std::min(last, rowTo);

  std::vector<Edge*> active;
  std::vector<Crossing> crossings;
  size_t next = 0;
  for (int64_t y = first; y < last; ++y) {
    while (next < edges.size() && edges[next].yTop <= y) active.push_back(&edges[next++]);
    std::erase_if(active, [y](const Edge* e) { return e->yBottom <= y; });
    if (active.empty()) {
      if (next < edges.size()) y = std::max(y, edges[next].yTop - 1);
      continue;
    }
    crossings.clear();
    for (Edge* e : active) {
      crossings.push_back({e->column, e->direction});
      e->Advance();
    }
    std::sort(crossings.begin(), crossings.end(),
              [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
    if (!winding) {
      for (size_t i = 0; i + 1 < crossings.size(); i += 2)
        if (crossings[i].x < crossings[i + 1].x) sink.Span(y, crossings[i].x, crossings[i + 1].x);
    } else {
      int turns = 0;
      int64_t spanLeft = 0;
      for (const Crossing& c : crossings) {
        const int before = turns;
        turns += c.direction;
        if (before == 0 && turns != 0) spanLeft = c.x;
        if (before != 0 && turns == 0 && spanLeft < c.x) sink.Span(y, spanLeft, c.x);
      }
    }
  }
}

}  // namespace lumox::gfx
