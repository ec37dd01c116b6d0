#include "gfx/region.h"

#include <algorithm>

#include "gfx/scan_convert.h"

namespace lumox::gfx {
namespace {

constexpr int64_t kLimit = Region::kRegionLimit;

int32_t Limit(int64_t v) { return static_cast<int32_t>(std::clamp(v, -kLimit, kLimit)); }

// Collects spans into a region's list, cut to the coordinate limit.
class RegionBuilder final : public SpanSink {
 public:
  explicit RegionBuilder(std::vector<Region::Span>& spans) : spans_(spans) {}
  void Span(int64_t y, int64_t left, int64_t right) override {
    const int32_t l = Limit(left), r = Limit(right);
    if (l < r) spans_.push_back({static_cast<int32_t>(y), l, r});
  }

 private:
  std::vector<Region::Span>& spans_;
};

bool Keeps(RegionOp op, bool inA, bool inB) {
  switch (op) {
    case RegionOp::And:
      return inA && inB;
    case RegionOp::Or:
      return inA || inB;
    case RegionOp::Xor:
      return inA != inB;
    case RegionOp::Diff:
      return inA && !inB;
    case RegionOp::Copy:
      return inB;
  }
  return false;
}

// Combines the spans of one row: a and b are sorted, non-overlapping.
void CombineRow(int32_t y, const Region::Span* a, const Region::Span* aEnd, const Region::Span* b,
                const Region::Span* bEnd, RegionOp op, std::vector<Region::Span>& out) {
  // Walk the boundaries of both lists in x order, tracking whether x is
  // inside each, and emit the stretches where the operation keeps pixels.
  bool inA = false, inB = false;
  bool open = false;
  int32_t openAt = 0;
  while (a != aEnd || b != bEnd) {
    const int32_t ax = a == aEnd ? INT32_MAX : (inA ? a->right : a->left);
    const int32_t bx = b == bEnd ? INT32_MAX : (inB ? b->right : b->left);
    const int32_t x = std::min(ax, bx);
    if (ax == x) {
      if (inA) ++a;
      inA = !inA;
    }
    if (bx == x) {
      if (inB) ++b;
      inB = !inB;
    }
    const bool keep = Keeps(op, inA, inB);
    if (keep && !open) {
      open = true;
      openAt = x;
    } else if (!keep && open) {
      open = false;
      if (!out.empty() && out.back().y == y && out.back().right == openAt)
        out.back().right = x;  // touching stretches merge
      else if (openAt < x)
        out.push_back({y, openAt, x});
    }
  }
}

}  // namespace

Region Region::FromRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  Region region;
  const int32_t l = Limit(std::min(left, right)), r = Limit(std::max(left, right));
  const int32_t t = Limit(std::min(top, bottom)), b = Limit(std::max(top, bottom));
  if (l >= r) return region;
  region.spans_.reserve(static_cast<size_t>(b - t));
  for (int32_t y = t; y < b; ++y) region.spans_.push_back({y, l, r});
  return region;
}

Region Region::FromEllipse(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  Region region;
  const int64_t l = std::min(left, right), r = std::max(left, right);
  const int64_t t = std::min(top, bottom), b = std::max(top, bottom);
  // As GDI makes them: a box less than two pixels across is a rectangle;
  // otherwise the ellipse of the box less its right column and bottom row.
  if (r - l < 2 || b - t < 2) return FromRect(left, top, right, bottom);
  const EllipseRows ellipse(l, t, r - 1, b - 1);
  if (ellipse.Empty()) return region;
  RegionBuilder builder(region.spans_);
  const int64_t from = std::max<int64_t>(ellipse.top(), -kLimit);
  const int64_t to = std::min<int64_t>(ellipse.bottom(), kLimit);
  std::vector<RowSpan> rows;
  ellipse.Rows(from, to, rows);
  for (int64_t y = from; y < to; ++y) {
    const RowSpan span = rows[y - from];
    if (!span.Empty()) builder.Span(y, span.left, span.right);
  }
  return region;
}

Region Region::FromPolygon(const Point* points, int32_t count, bool winding) {
  Region region;
  RegionBuilder builder(region.spans_);
  ScanPolygon(points, count, winding, -kLimit, kLimit, builder);
  return region;
}

void Region::Combine(const Region& other, RegionOp op) {
  if (op == RegionOp::Copy) {
    spans_ = other.spans_;
    return;
  }
  std::vector<Span> out;
  out.reserve(spans_.size() + other.spans_.size());
  const Span* a = spans_.data();
  const Span* aEnd = a + spans_.size();
  const Span* b = other.spans_.data();
  const Span* bEnd = b + other.spans_.size();
  while (a != aEnd || b != bEnd) {
    const int32_t y = std::min(a == aEnd ? INT32_MAX : a->y, b == bEnd ? INT32_MAX : b->y);
    const Span* aRowEnd = a;
    while (aRowEnd != aEnd && aRowEnd->y == y) ++aRowEnd;
    const Span* bRowEnd = b;
    while (bRowEnd != bEnd && bRowEnd->y == y) ++bRowEnd;
    CombineRow(y, a, aRowEnd, b, bRowEnd, op, out);
    a = aRowEnd;
    b = bRowEnd;
  }
  spans_ = std::move(out);
}

void Region::IntersectRect(const Rect& rect) {
  size_t kept = 0;
  for (const Span& s : spans_) {
    if (s.y < rect.top || s.y >= rect.bottom) continue;
    const int32_t l = std::max(s.left, rect.left), r = std::min(s.right, rect.right);
    if (l < r) spans_[kept++] = {s.y, l, r};
  }
  spans_.resize(kept);
}

bool Region::Contains(int32_t x, int32_t y) const {
  auto it = std::lower_bound(spans_.begin(), spans_.end(), y,
                             [](const Span& s, int32_t row) { return s.y < row; });
  for (; it != spans_.end() && it->y == y; ++it)
    if (x >= it->left && x < it->right) return true;
  return false;
}

bool Region::Empty() const { return spans_.empty(); }

Rect Region::Bounds() const {
  if (spans_.empty()) return {};
  Rect bounds{spans_.front().left, spans_.front().y, spans_.front().right, spans_.back().y + 1};
  for (const Span& s : spans_) {
    bounds.left = std::min(bounds.left, s.left);
    bounds.right = std::max(bounds.right, s.right);
  }
  return bounds;
}

void Region::Offset(int32_t dx, int32_t dy) {
  std::vector<Span> moved;
  moved.reserve(spans_.size());
  for (const Span& s : spans_) {
    const int64_t y = static_cast<int64_t>(s.y) + dy;
    if (y < -kLimit || y >= kLimit) continue;
    const int32_t l = Limit(static_cast<int64_t>(s.left) + dx);
    const int32_t r = Limit(static_cast<int64_t>(s.right) + dx);
    if (l < r) moved.push_back({static_cast<int32_t>(y), l, r});
  }
  spans_ = std::move(moved);
}

}  // namespace lumox::gfx
