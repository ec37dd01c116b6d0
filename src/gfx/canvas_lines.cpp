// Lines and curves with the selected pen.
//
// One-pixel lines (pen width 0 or 1) are Bresenham lines that leave out
// their last point. A pixel is chosen on every step of the major axis by
// rounding the exact minor coordinate to the nearest pixel, exact halves
// going to the smaller coordinate whatever the drawing direction (as GDI's
// drivers break such ties), so a line covers the same pixels both ways
// apart from the end left out.
//
// Wide pens are round and drawn as GDI draws them: the union of a dot at
// each end and the band between. The dot is the ellipse of a width x width
// box around the point (a plus for width 3), so with an even width it
// reaches one pixel further up and left than down and right; a zero-length
// line is that dot. A horizontal or vertical band is the pen's width of rows
// (or columns) placed like the dot's. A slanted band is a quadrilateral
// filled like a polygon, its corners the end points moved square to the line
// by the pen's half width, rounded to whole pixels per axis, the side towards
// larger x getting the larger half (see SlantedBand). The pieces are united as
// regions: where they do not touch on a row, the gap stays.
//
// Lines are clipped before they are walked: only the steps that land in the
// drawable box are visited, however far away the end points are.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "gfx/canvas.h"
#include "gfx/canvas_internal.h"
#include "gfx/scan_convert.h"
#include "gfx/wide_math.h"

namespace lumox::gfx {
namespace {

// The first i in [lo, hi) for which test(i) holds, test being false then
// true along the range; hi when it never holds.
template <typename Test>
int64_t FirstWhere(int64_t lo, int64_t hi, Test test) {
  while (lo < hi) {
    const int64_t mid = lo + (hi - lo) / 2;
    if (test(mid))
      hi = mid;
    else
      lo = mid + 1;
  }
  return lo;
}

// The band GDI fills for a slanted wide segment: a parallelogram whose
// corners are the end points moved square to the segment, the offsets
// rounded to whole pixels per axis. r being the band's reach along an axis
// (width * |dy| / length across, width * |dx| / length down), the side
// towards larger x is offset by round((r + 1) / 2) and the other side by
// round(r / 2), halves rounding up: with an even width the band's extra
// pixel lies on the right-hand side of the path, above it for a line
// falling to the right and below it for a line rising to the right.
//
// Its pixels are filled as ScanPolygon fills the corners: pixel (x, y) is
// inside when the point (x, y) is, points on left and top edges counting as
// inside. An edge from (xa, ya) down to (xb, yb) crosses row y in [ya, yb)
// at xa + (y - ya)(xb - xa) / (yb - ya), the first pixel at or right of it
// being the ceiling. A parallelogram's lowest corner is the one opposite its
// highest, so its sides run down from the top corner in two chains of two,
// and every row between crosses one side of each chain: the span lies
// between those two crossings. Rows are asked for top to bottom, so each
// side steps its crossing from one row to the next (a quotient and a
// remainder) instead of dividing. The corners are kept in 64 bits: a band
// at the edge of the coordinate range stays a parallelogram.
class SlantedBand {
 public:
  SlantedBand() = default;
  SlantedBand(Point a, Point b, int32_t width) {
    const double dx = static_cast<double>(b.x) - a.x, dy = static_cast<double>(b.y) - a.y;
    const double length = std::sqrt(dx * dx + dy * dy);
    const double reachX = width * std::abs(dy) / length, reachY = width * std::abs(dx) / length;
    auto round = [](double v) { return static_cast<int64_t>(std::floor(v + 0.5)); };
    // The right-hand side lies up when the line falls to the right (or
    // rises to the left), down otherwise.
    const int64_t down = (dx > 0) == (dy > 0) ? -1 : 1;
    const int64_t rightX = round((reachX + 1) / 2), rightY = down * round((reachY + 1) / 2);
    const int64_t leftX = -round(reachX / 2), leftY = -down * round(reachY / 2);
    const Corner corners[4] = {{a.x + leftX, a.y + leftY},
                               {a.x + rightX, a.y + rightY},
                               {b.x + rightX, b.y + rightY},
                               {b.x + leftX, b.y + leftY}};
    size_t top = 0;
    for (size_t i = 1; i < 4; ++i)
      if (corners[i].y < corners[top].y) top = i;
    const Corner& first = corners[top];
    const Corner& bottom = corners[(top + 2) % 4];
    for (size_t chain = 0; chain < 2; ++chain) {
      const Corner& middle = corners[(top + (chain == 0 ? 1 : 3)) % 4];
      chains_[chain] = {Edge(first, middle), Edge(middle, bottom), middle.y};
    }
    top_ = first.y;
    bottom_ = bottom.y;
  }

  RowSpan Row(int64_t y) const {
    if (y < top_ || y >= bottom_) return {};
    const int64_t x0 = chains_[0].Column(y), x1 = chains_[1].Column(y);
    return x0 < x1 ? RowSpan{x0, x1} : x1 < x0 ? RowSpan{x1, x0} : RowSpan{};
  }

 private:
  struct Corner {
    int64_t x, y;
  };

  class Edge {
   public:
    Edge() = default;
    Edge(const Corner& top, const Corner& bottom)
        : yTop_(top.y), d_(bottom.y - top.y), xTop_(top.x), dx_(bottom.x - top.x) {
      constexpr int64_t kSmall = int64_t{1} << 30;  // products stay below 2^61
      small_ = d_ < kSmall && std::abs(dx_) < kSmall && std::abs(xTop_) < kSmall;
      if (small_ && d_ > 0) {
        // dx = stepQuotient_ * d + stepRemainder_, 0 <= stepRemainder_ < d.
        stepQuotient_ = FloorDiv(dx_, d_);
        stepRemainder_ = dx_ - stepQuotient_ * d_;
      }
    }

    // The first column at or right of the crossing with row y, a row the
    // edge reaches.
    int64_t Column(int64_t y) const {
      if (!small_) {
        return CeilDivWide(static_cast<Wide>(xTop_) * d_ + static_cast<Wide>(y - yTop_) * dx_, d_);
      }
      if (y == row_ + 1) {
        quotient_ += stepQuotient_;
        remainder_ += stepRemainder_;
        if (remainder_ >= d_) {
          remainder_ -= d_;
          ++quotient_;
        }
      } else if (y != row_) {
        // xTop * d + (y - yTop) * dx = quotient_ * d + remainder_, 0 <= remainder_ < d.
        const int64_t n = xTop_ * d_ + (y - yTop_) * dx_;
        quotient_ = FloorDiv(n, d_);
        remainder_ = n - quotient_ * d_;
      }
      row_ = y;
      return quotient_ + (remainder_ > 0 ? 1 : 0);
    }

   private:
    int64_t yTop_ = 0, d_ = 0, xTop_ = 0, dx_ = 0;
    bool small_ = false;
    int64_t stepQuotient_ = 0, stepRemainder_ = 0;
    // The last row asked for and its crossing as quotient and remainder.
    mutable int64_t row_ = INT64_MIN, quotient_ = 0, remainder_ = 0;
  };

  // Two sides down from the top corner; the upper one reaches the rows
  // above the middle corner (none when it is horizontal).
  struct Chain {
    Edge upper, lower;
    int64_t middle = 0;
    int64_t Column(int64_t y) const { return y < middle ? upper.Column(y) : lower.Column(y); }
  };

  Chain chains_[2];
  int64_t top_ = 0, bottom_ = 0;
};

// The row-by-row extent of a round pen drawn along a segment: a dot at each
// end joined by the band between them.
class WideSegment {
 public:
  // dot: the pen's shape in the box (0, 0, width, width). startDot: false
  // when the dot at a was painted already (by the segment ending there).
  WideSegment(Point a, Point b, int32_t width, const PenDot& dot, bool startDot)
      : dot_(dot), width_(width), half_(width / 2), startDot_(startDot), a_(a), b_(b),
        slanted_(a.x != b.x && a.y != b.y ? SlantedBand(a, b, width) : SlantedBand()) {}

  // Rows [FirstRow, EndRow) hold the segment: the dots reach width / 2
  // rows above their centres and (width - 1) / 2 below, the band's rounded
  // corners at most width / 2 + 1 either way.
  static int64_t FirstRow(Point a, Point b, int32_t width) {
    return int64_t{std::min(a.y, b.y)} - (width / 2 + 1);
  }
  static int64_t EndRow(Point a, Point b, int32_t width) {
    return int64_t{std::max(a.y, b.y)} + (width / 2 + 2);
  }

  // Row y's pixels, as up to three spans (the band and the two dots) in
  // left-to-right order, overlapping or touching ones merged: the pieces
  // are united as GDI unites regions, so a gap between them stays open.
  template <typename Visit>
  void Row(int64_t y, Visit visit) const {
    // The pieces' edges as plain integers (kept in registers), sorted by
    // left edge with pieces that miss the row (left = INT64_MAX) last.
    const RowSpan band = BandRow(y), first = startDot_ ? DotRow(a_, y) : kMissing,
                  second = DotRow(b_, y);
    int64_t l0 = band.Empty() ? INT64_MAX : band.left, r0 = band.right;
    int64_t l1 = first.left, r1 = first.right, l2 = second.left, r2 = second.right;
    auto order = [](int64_t& la, int64_t& ra, int64_t& lb, int64_t& rb) {
      if (lb < la) {
        std::swap(la, lb);
        std::swap(ra, rb);
      }
    };
    order(l0, r0, l1, r1);
    order(l1, r1, l2, r2);
    order(l0, r0, l1, r1);
    if (l0 == INT64_MAX) return;
    if (l1 != INT64_MAX && l1 > r0) {
      visit(RowSpan{l0, r0});
      l0 = l1;
    }
    if (l1 != INT64_MAX) r0 = std::max(r0, r1);
    if (l2 != INT64_MAX && l2 > r0) {
      visit(RowSpan{l0, r0});
      l0 = l2;
    }
    if (l2 != INT64_MAX) r0 = std::max(r0, r2);
    visit(RowSpan{l0, r0});
  }

 private:
  // A piece that misses row y is {INT64_MAX, INT64_MIN}: empty, and
  // sorted last.
  static constexpr RowSpan kMissing{INT64_MAX, INT64_MIN};

  RowSpan DotRow(Point p, int64_t y) const {
    const RowSpan d = dot_.Row(y - (int64_t{p.y} - half_));
    if (d.Empty()) return kMissing;
    return {d.left + int64_t{p.x} - half_, d.right + int64_t{p.x} - half_};
  }

  // The band between the end points on row y. Inline: it runs for every
  // row of every segment, and the call cost as much as the band.
  [[gnu::always_inline]] RowSpan BandRow(int64_t y) const {
    if (a_.x == b_.x && a_.y != b_.y) {
      // Vertical: the pen's width in columns, between the ends.
      if (y >= std::min(a_.y, b_.y) && y <= std::max(a_.y, b_.y))
        return {int64_t{a_.x} - half_, int64_t{a_.x} - half_ + width_};
      return {};
    }
    if (a_.y == b_.y && a_.x != b_.x) {
      // Horizontal: the pen's width in rows, between the ends.
      if (y >= int64_t{a_.y} - half_ && y < int64_t{a_.y} - half_ + width_)
        return {std::min(a_.x, b_.x), int64_t{std::max(a_.x, b_.x)} + 1};
      return {};
    }
    return slanted_.Row(y);
  }

  const PenDot& dot_;
  int64_t width_, half_;
  bool startDot_;
  Point a_, b_;
  SlantedBand slanted_;  // empty unless the segment is slanted
};

// Cubic Bezier curves are flattened as GDI flattens them (the rule was
// measured against GDI's own flattened paths, point for point). The control
// points are taken in sixteenths of a pixel and the curve is halved, each
// new point the midpoint (a + b + 1) / 2 truncated, until a piece is flat or
// has been halved eight times; each piece then adds its end point, rounded
// back to whole pixels. The curve is drawn as the polyline through the
// start point and those end points, repeats included.
constexpr int kFineBits = 4;
constexpr int64_t kFinePixel = int64_t{1} << kFineBits;
constexpr int kMaxHalvings = 8;

struct FinePoint {
  int64_t x, y;
};
using Cubic = std::array<FinePoint, 4>;

int64_t FineToPixels(int64_t fine) { return (fine + kFinePixel / 2) >> kFineBits; }

FinePoint Midpoint(FinePoint a, FinePoint b) { return {(a.x + b.x + 1) / 2, (a.y + b.y + 1) / 2}; }

// A piece is flat when, along its major axis (x unless it rises more than
// it runs), both control points lie between its ends, and across it they
// lie within a pixel of the line from its start. That line's slope is the
// whole number of sixteenths per pixel, truncated, and a control point's
// distance along the axis is rounded to whole pixels: GDI's integer
// arithmetic, kept as it is because it decides where the curve is cut.
bool FlatEnough(const Cubic& c) {
  const bool xMajor = std::abs(c[3].y - c[0].y) <= std::abs(c[3].x - c[0].x);
  auto along = [&](const FinePoint& p) { return xMajor ? p.x : p.y; };
  auto across = [&](const FinePoint& p) { return xMajor ? p.y : p.x; };
  const int64_t start = along(c[0]), end = along(c[3]);
  for (const FinePoint& control : {c[1], c[2]}) {
    // A control point level with the start of a piece that runs backwards
    // counts as outside: GDI's comparison, asymmetric as it is.
    const int64_t a = along(control);
    if (a < start ? a < end : a > end) return false;
  }
  const int64_t run = FineToPixels(end - start);
  if (run == 0) return true;
  const int64_t slope = (across(c[3]) - across(c[0])) / run;
  for (const FinePoint& control : {c[1], c[2]}) {
    const int64_t offset =
        across(control) - across(c[0]) - slope * FineToPixels(along(control) - start);
    if (std::abs(offset) > kFinePixel) return false;
  }
  return true;
}

void FlattenCubic(const Cubic& c, int halvingsLeft, std::vector<Point>& path) {
  if (halvingsLeft == 0 || FlatEnough(c)) {
    // Within the hull of 32-bit control points, so the casts are exact.
    path.push_back({static_cast<int32_t>(FineToPixels(c[3].x)),
                    static_cast<int32_t>(FineToPixels(c[3].y))});
    return;
  }
  const FinePoint a = Midpoint(c[0], c[1]), b = Midpoint(c[1], c[2]), d = Midpoint(c[2], c[3]);
  const FinePoint ab = Midpoint(a, b), bd = Midpoint(b, d);
  const FinePoint middle = Midpoint(ab, bd);
  FlattenCubic({c[0], a, ab, middle}, halvingsLeft - 1, path);
  FlattenCubic({middle, bd, d, c[3]}, halvingsLeft - 1, path);
}

}  // namespace

void Canvas::StrokeThinLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1, Ink ink) {
  const int64_t dx = x1 - x0, dy = y1 - y0;
  if (dx == 0 && dy == 0) return;
  const bool xMajor = std::abs(dx) >= std::abs(dy);
  const int64_t major0 = xMajor ? x0 : y0, minor0 = xMajor ? y0 : x0;
  const int64_t majorDelta = xMajor ? dx : dy, minorDelta = xMajor ? dy : dx;
  const int64_t steps = std::abs(majorDelta);
  const int64_t majorStep = majorDelta > 0 ? 1 : -1;
  const int64_t majorLo = xMajor ? clipBox_.left : clipBox_.top;
  const int64_t majorHi = xMajor ? clipBox_.right : clipBox_.bottom;
  const int64_t minorLo = xMajor ? clipBox_.top : clipBox_.left;
  const int64_t minorHi = xMajor ? clipBox_.bottom : clipBox_.right;

  // Step i is at major0 + i * majorStep, minor0 + ceil(i * minorDelta / steps - 1/2):
  // the nearest pixel, halves going to the smaller coordinate.
  const int64_t twoSteps = 2 * steps;
  auto numerator = [&](int64_t i) { return static_cast<Wide>(2) * i * minorDelta - steps; };
  auto minorAt = [&](int64_t i) { return minor0 + CeilDivWide(numerator(i), twoSteps); };

  int64_t first = 0, end = steps;
  if (majorStep > 0) {
    first = std::max(first, majorLo - major0);
    end = std::min(end, majorHi - major0);
  } else {
    first = std::max(first, major0 - majorHi + 1);
    end = std::min(end, major0 - majorLo + 1);
  }
  if (first >= end) return;
  if (minorDelta >= 0) {
    const int64_t a = FirstWhere(first, end, [&](int64_t i) { return minorAt(i) >= minorLo; });
    const int64_t b = FirstWhere(a, end, [&](int64_t i) { return minorAt(i) >= minorHi; });
    first = a;
    end = b;
  } else {
    const int64_t a = FirstWhere(first, end, [&](int64_t i) { return minorAt(i) < minorHi; });
    const int64_t b = FirstWhere(a, end, [&](int64_t i) { return minorAt(i) < minorLo; });
    first = a;
    end = b;
  }
  if (first >= end) return;

  int64_t major = major0 + first * majorStep;
  int64_t minor = minorAt(first);
  // (minor - minor0) * twoSteps - numerator(i), kept in [0, twoSteps).
  int64_t remainder =
      static_cast<int64_t>(static_cast<Wide>(minor - minor0) * twoSteps - numerator(first));
  const int64_t remainderStep = 2 * minorDelta;
  // Every step in [first, end) lies inside clipBox_; the test per pixel is
  // for a clip region (and costs next to nothing without one).
  for (int64_t i = first; i < end; ++i) {
    const int64_t x = xMajor ? major : minor, y = xMajor ? minor : major;
    if (Drawable(x, y)) {
      const auto column = static_cast<int>(x);
      uint8_t& p = surface_.RowToWrite(static_cast<int>(y), column, column + 1)[x];
      p = ink.invert ? Invert(p) : ink.color;
    }
    major += majorStep;
    remainder -= remainderStep;
    if (remainder < 0) {
      remainder += twoSteps;
      ++minor;
    } else if (remainder >= twoSteps) {
      remainder -= twoSteps;
      --minor;
    }
  }
}

void Canvas::StrokePath(const Point* points, int32_t count, bool closed) {
  if (pen_.style == PenStyle::Null || points == nullptr || count < 1) return;
  const Ink ink = PenInk();
  const int32_t segments = closed ? count : count - 1;
  if (pen_.width <= 1) {
    for (int32_t i = 0; i < segments; ++i) {
      const Point& a = points[i];
      const Point& b = points[(i + 1) % count];
      StrokeThinLine(a.x, a.y, b.x, b.y, ink);
    }
    return;
  }
  if (!ink.invert) {
    // Overlaps between the pieces are painted twice, which copying allows;
    // the dot where one segment ends and the next begins is painted once.
    // GDI's round pen: the ellipse of a width x width box on the point.
    const PenDot dot(pen_.width);
    auto strokeSegment = [&](Point a, Point b, bool startDot) {
      const int64_t from =
          std::max<int64_t>(WideSegment::FirstRow(a, b, pen_.width), clipBox_.top);
      const int64_t to =
          std::min<int64_t>(WideSegment::EndRow(a, b, pen_.width), clipBox_.bottom);
      if (from >= to) return;
      const WideSegment segment(a, b, pen_.width, dot, startDot);
      for (int64_t y = from; y < to; ++y)
        segment.Row(y, [&](RowSpan span) { FillRow(y, span.left, span.right, ink); });
    };
    if (segments <= 0)
      strokeSegment(points[0], points[0], true);
    else
      for (int32_t i = 0; i < segments; ++i)
        strokeSegment(points[i], points[(i + 1) % count], i == 0);
    return;
  }
  // A wide path is one shape: with an inverting ink the segments' overlaps
  // at the joins must not be inverted twice, so the pieces are united first.
  WidePenCoverage coverage(pen_.width, clipBox_.top, clipBox_.bottom);
  if (segments <= 0)
    coverage.AddSegment(points[0], points[0]);
  else
    for (int32_t i = 0; i < segments; ++i) coverage.AddSegment(points[i], points[(i + 1) % count]);
  coverage.ForEachSpan([&](int64_t y, int64_t l, int64_t r) { FillRow(y, l, r, ink); });
}

WidePenCoverage::WidePenCoverage(int32_t width, int64_t from, int64_t to)
    : width_(width), from_(from), to_(to), dot_(width) {}

void WidePenCoverage::AddSegment(Point a, Point b) {
  const int64_t from = std::max<int64_t>(WideSegment::FirstRow(a, b, width_), from_);
  const int64_t to = std::min<int64_t>(WideSegment::EndRow(a, b, width_), to_);
  if (from >= to) return;
  const WideSegment segment(a, b, width_, dot_, true);
  for (int64_t y = from; y < to; ++y)
    segment.Row(y, [&](RowSpan span) { Add(y, span.left, span.right); });
}

void WidePenCoverage::AddDots(int64_t y, int64_t left, int64_t right) {
  if (left >= right) return;
  const int64_t top = y - width_ / 2;  // the dots' first row
  // Only the dot rows within [from_, to_): a huge pen costs no more than
  // the rows it can reach.
  const int64_t firstRow = std::max<int64_t>(0, from_ - top);
  const int64_t endRow = std::min<int64_t>(width_, to_ - top);
  for (int64_t row = firstRow; row < endRow; ++row) {
    const RowSpan d = dot_.Row(row);
    Add(top + row, left - width_ / 2 + d.left, right - 1 - width_ / 2 + d.right);
  }
}

void WidePenCoverage::Sort() {
  std::sort(spans_.begin(), spans_.end(), [](const Piece& a, const Piece& b) {
    return a.y != b.y ? a.y < b.y : a.left < b.left;
  });
}

void Canvas::MoveTo(int32_t x, int32_t y) { position_ = {x, y}; }

void Canvas::LineTo(int32_t x, int32_t y) {
  const Point line[2] = {position_, {x, y}};
  position_ = {x, y};
  if (!PrepareClip()) return;
  StrokePath(line, 2, false);
}

void Canvas::Polyline(const Point* points, int32_t count) {
  if (points == nullptr || count < 2 || !PrepareClip()) return;
  StrokePath(points, count, false);
}

void Canvas::PolyBezier(const Point* points, int32_t count) {
  if (points == nullptr || count < 4 || (count - 1) % 3 != 0 || !PrepareClip()) return;
  std::vector<Point> path{points[0]};
  for (int32_t i = 0; i + 3 < count; i += 3) {
    Cubic fine;
    for (int k = 0; k < 4; ++k)
      fine[k] = {int64_t{points[i + k].x} * kFinePixel, int64_t{points[i + k].y} * kFinePixel};
    FlattenCubic(fine, kMaxHalvings, path);
  }
  StrokePath(path.data(), static_cast<int32_t>(path.size()), false);
}

void LineDDA(int32_t x0, int32_t y0, int32_t x1, int32_t y1,
             const std::function<void(int32_t, int32_t)>& visit) {
  if (!visit) return;
  // The classic integer DDA: the major axis is x only when the line is
  // strictly more horizontal than vertical, and at an exact half the minor
  // coordinate stays where it was (ties round toward the start point).
  int64_t dx = static_cast<int64_t>(x1) - x0, dy = static_cast<int64_t>(y1) - y0;
  const int64_t xStep = dx < 0 ? -1 : 1, yStep = dy < 0 ? -1 : 1;
  dx = std::abs(dx);
  dy = std::abs(dy);
  int64_t x = x0, y = y0;
  if (dx > dy) {
    int64_t error = 2 * dy - dx;
    for (int64_t i = 0; i < dx; ++i) {
      visit(static_cast<int32_t>(x), static_cast<int32_t>(y));
      if (error > 0) {
        y += yStep;
        error += 2 * dy - 2 * dx;
      } else {
        error += 2 * dy;
      }
      x += xStep;
    }
  } else {
    int64_t error = 2 * dx - dy;
    for (int64_t i = 0; i < dy; ++i) {
      visit(static_cast<int32_t>(x), static_cast<int32_t>(y));
      if (error > 0) {
        x += xStep;
        error += 2 * dx - 2 * dy;
      } else {
        error += 2 * dx;
      }
      y += yStep;
    }
  }
}

}  // namespace lumox::gfx
