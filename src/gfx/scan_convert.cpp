#include "gfx/scan_convert.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "gfx/wide_math.h"

namespace lumox::gfx {

EllipseRows::EllipseRows(int64_t left, int64_t top, int64_t right, int64_t bottom)
    : left_(left), top_(top), width_(right - left), height_(bottom - top) {
  constexpr int64_t kTraceLimit = int64_t{1} << 15;
  if (!Empty() && width_ <= kTraceLimit && height_ <= kTraceLimit) TraceQuadrant();
}

// Walks one quadrant of the curve from the middle row outwards. With
// a = width - 1 and b = height - 1 (the doubled semi-axes), the error term
// tracks 4 b^2 x^2 + 4 a^2 y^2 - a^2 b^2 for the current pixel; each step
// moves a column inwards, a row outwards, or both, whichever keeps the error
// smallest, until the curve reaches the middle column. The first column
// reached on a row gives the row's inset. The tips of a narrow ellipse that
// the walk does not reach stay empty, as GDI leaves them.
void EllipseRows::TraceQuadrant() {
  const int64_t a = width_ - 1, b = height_ - 1, oddRows = b & 1;
  insets_.assign(static_cast<size_t>(height_ - height_ / 2), -1);
  if (width_ <= 2 || height_ <= 2) {
    // Too small for a curve: the outline is the box itself (nothing for a
    // single pixel, where the outline has no length).
    if (width_ > 1 || height_ > 1) std::fill(insets_.begin(), insets_.end(), 0);
    return;
  }
  int64_t dx = 4 * b * b * (1 - a), dy = 4 * a * a * (1 + oddRows);
  int64_t error = dx + dy + a * a * oddRows;
  const int64_t stepX = 8 * b * b, stepY = 8 * a * a;
  int64_t x = a;   // the right-hand curve's column, from the left edge
  size_t row = 0;  // rows outwards from the lower middle row
  while (x >= width_ / 2 && row < insets_.size()) {
    if (insets_[row] < 0) insets_[row] = static_cast<int32_t>(a - x);
    const int64_t e2 = 2 * error;
    if (e2 >= dx) {
      --x;
      error += dx += stepX;
    }
    if (e2 <= dy) {
      ++row;
      error += dy += stepY;
    }
  }
}

namespace {

// The largest integer s >= 0 with s^2 q^2 <= p^2 (q^2 - r^2), for q > 0 and
// |r| <= q: p sqrt(1 - (r/q)^2) rounded down. This runs once or twice per
// row, so the double estimate is trusted when it is clearly away from an
// integer and checked with exact products only when it is close to one.
int64_t ScaledRoot(int64_t p, int64_t q, int64_t r) {
  constexpr int64_t kExactLimit = int64_t{1} << 26;
  if (p >= kExactLimit || q >= kExactLimit) {  // far beyond any screen
    const long double ratio = static_cast<long double>(r) / q;
    return static_cast<int64_t>(p * std::sqrt(std::max(0.0L, 1.0L - ratio * ratio)));
  }
  const double estimate = static_cast<double>(p) * std::sqrt(static_cast<double>(q * q - r * r)) /
                          static_cast<double>(q);
  int64_t s = static_cast<int64_t>(estimate);
  const double fraction = estimate - static_cast<double>(s);
  if (fraction > 1e-6 && fraction < 1 - 1e-6) return s;
  const Wide limit = static_cast<Wide>(p) * p * (q * q - r * r);
  const Wide q2 = static_cast<Wide>(q) * q;
  while (s > 0 && static_cast<Wide>(s) * s * q2 > limit) --s;
  while (static_cast<Wide>(s + 1) * (s + 1) * q2 <= limit) ++s;
  return s;
}

}  // namespace

// For boxes too large to trace: the same curve, each row computed on its
// own. In doubled coordinates about the box centre, X = 2x - (left + right - 1), the
// semi-axes are a = width - 1 and b = height - 1. A pixel is inside when it is
// the pixel nearest to the curve (or inside it) on its row, or on its column;
// ties count as inside. The row test allows |X| up to the curve's extent at
// |Y| plus one; the column test allows |X| up to the curve's extent half a
// pixel nearer the centre (at |Y| - 1). Rounding per column as well as per
// row keeps flat tops round and lets every ellipse touch all four sides of
// its box.
int64_t EllipseRows::HalfWidth(int64_t byRow, int64_t byColumn) const {
  const int64_t a = width_ - 1;
  int64_t m = std::min(a, std::max(byRow + 1, byColumn));
  if (((m ^ a) & 1) != 0) --m;  // X has the parity of a
  return m;
}

RowSpan EllipseRows::SpanOf(int64_t halfWidth) const {
  if (halfWidth < 0) return {};
  const int64_t twiceCentre = 2 * left_ + width_ - 1;  // left + right - 1
  return {(twiceCentre - halfWidth) / 2, (twiceCentre + halfWidth) / 2 + 1};
}

RowSpan EllipseRows::Row(int64_t y) const {
  if (Empty() || y < top_ || y >= top_ + height_) return {};
  if (!insets_.empty()) {
    // Rows counted outwards from the middle one (or the middle two).
    const int64_t lowerMiddle = top_ + height_ / 2, upperMiddle = top_ + (height_ - 1) / 2;
    const int64_t outwards = y >= lowerMiddle ? y - lowerMiddle : upperMiddle - y;
    const int64_t inset = insets_[static_cast<size_t>(outwards)];
    if (inset < 0) return {};
    return {left_ + inset, left_ + width_ - inset};
  }
  const int64_t a = width_ - 1, b = height_ - 1;
  if (b == 0) return SpanOf(a);
  const int64_t dy = std::abs(2 * (y - top_) - b);
  return SpanOf(HalfWidth(ScaledRoot(a, b, dy), dy <= 1 ? a : ScaledRoot(a, b, dy - 1)));
}

void EllipseRows::Rows(int64_t from, int64_t to, std::vector<RowSpan>& out) const {
  out.assign(static_cast<size_t>(std::max<int64_t>(to - from, 0)), RowSpan{});
  const int64_t first = std::max(from, top_), end = std::min(to, top_ + height_);
  for (int64_t y = first; y < end; ++y) out[y - from] = Row(y);
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
    column = CeilDivWide(n, denominator);
    remainder = static_cast<int64_t>(static_cast<Wide>(column) * denominator - n);
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

}  // namespace

void ScanPolygon(const Point* points, int32_t count, bool winding, int64_t rowFrom, int64_t rowTo,
                 SpanSink& sink) {
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
  size_t next = 0;
  // The first row past an active edge's end: the active list changes only
  // there and where the next edge starts.
  int64_t firstEnd = INT64_MAX;
  for (int64_t y = first; y < last; ++y) {
    if (y >= firstEnd || (next < edges.size() && edges[next].yTop <= y)) {
      while (next < edges.size() && edges[next].yTop <= y) active.push_back(&edges[next++]);
      std::erase_if(active, [y](const Edge* e) { return e->yBottom <= y; });
      firstEnd = INT64_MAX;
      for (const Edge* e : active) firstEnd = std::min(firstEnd, e->yBottom);
    }
    if (active.empty()) {
      if (next < edges.size()) y = std::max(y, edges[next].yTop - 1);
      continue;
    }
    // The active edges in order of where they cross this row. From one row
    // to the next they seldom change places, so insertion sort does little.
    for (size_t i = 1; i < active.size(); ++i)
      for (size_t j = i; j > 0 && active[j]->column < active[j - 1]->column; --j)
        std::swap(active[j], active[j - 1]);
    if (!winding) {
      for (size_t i = 0; i + 1 < active.size(); i += 2)
        if (active[i]->column < active[i + 1]->column)
          sink.Span(y, active[i]->column, active[i + 1]->column);
    } else {
      int turns = 0;
      int64_t spanLeft = 0;
      for (const Edge* e : active) {
        const int before = turns;
        turns += e->direction;
        if (before == 0 && turns != 0) spanLeft = e->column;
        if (before != 0 && turns == 0 && spanLeft < e->column) sink.Span(y, spanLeft, e->column);
      }
    }
    for (Edge* e : active) e->Advance();
  }
}

}  // namespace lumox::gfx
