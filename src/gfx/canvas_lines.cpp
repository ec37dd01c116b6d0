// Lines and curves with the selected pen.
//
// One-pixel lines (pen width 0 or 1) are Bresenham lines that leave out
// their last point. A pixel is chosen on every step of the major axis by
// rounding the exact minor coordinate to the nearest pixel, exact halves
// going to the smaller coordinate whatever the drawing direction (as GDI's
// drivers break such ties), so a line covers the same pixels both ways
// apart from the end left out.
//
// Wide pens are round. The pen's shape is GDI's: the ellipse of a
// width x width box around the point (a plus for width 3), and a
// zero-length line is that dot. A wide line is the band the pen sweeps
// between its end points (pixels whose centres lie within half the width of
// the segment, measured square to it) with a dot at each end. For an odd
// width the band is centred on the pixel's centre, for an even width on its
// top-left corner, like the dot, so the line is exactly `width` pixels
// across. GDI rasterises the band as a polygon whose exact edges this does
// not reproduce on slanted lines; dots, horizontal and vertical lines agree.
//
// Lines are clipped before they are walked: only the steps that land in the
// drawable box are visited, however far away the end points are.
#include <algorithm>
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

// The row-by-row extent of a round pen swept along a segment.
class SweptDisc {
 public:
  // dot: the pen's shape in the box (0, 0, width, width).
  SweptDisc(Point a, Point b, int32_t width, const EllipseRows& dot)
      : radius_(width / 2.0), dot_(dot), half_(width / 2), a_(a), b_(b) {
    const double shift = (width % 2 != 0) ? 0.5 : 0.0;
    ax_ = a.x + shift;
    ay_ = a.y + shift;
    bx_ = b.x + shift;
    by_ = b.y + shift;
    dx_ = bx_ - ax_;
    dy_ = by_ - ay_;
    length_ = std::sqrt(dx_ * dx_ + dy_ * dy_);
  }

  int64_t FirstRow() const {
    return static_cast<int64_t>(std::floor(std::min(ay_, by_) - radius_));
  }
  int64_t EndRow() const {
    return static_cast<int64_t>(std::ceil(std::max(ay_, by_) + radius_)) + 1;
  }

  // Row y of the body (pixels whose centres lie strictly inside the band
  // the pen sweeps between the end points) joined with the dots at both
  // ends, which round the caps as GDI's pen does.
  RowSpan Row(int64_t y) const {
    const double yc = static_cast<double>(y) + 0.5;
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    AddBody(yc, lo, hi);
    RowSpan span;
    if (lo < hi)  // centres x + 0.5 strictly between lo and hi
      span = {static_cast<int64_t>(std::floor(lo - 0.5)) + 1,
              static_cast<int64_t>(std::ceil(hi - 0.5))};
    for (const Point& p : {a_, b_}) {
      RowSpan d = dot_.Row(y - (int64_t{p.y} - half_));
      if (d.Empty()) continue;
      d.left += int64_t{p.x} - half_;
      d.right += int64_t{p.x} - half_;
      span = span.Empty() ? d : RowSpan{std::min(span.left, d.left), std::max(span.right, d.right)};
    }
    return span;
  }

 private:
  // The part of the row inside the rectangle the segment's body sweeps:
  // projection onto the segment within [0, length], distance from its line
  // below the radius.
  void AddBody(double yc, double& lo, double& hi) const {
    if (length_ == 0) return;
    const double ry = yc - ay_;
    double left = -HUGE_VAL, right = HUGE_VAL;
    // 0 <= (x - ax) dx + ry dy <= length^2
    if (dx_ == 0) {
      const double t = ry * dy_;
      if (t < 0 || t > length_ * length_) return;
    } else {
      const double x0 = ax_ - ry * dy_ / dx_;
      const double x1 = x0 + length_ * length_ / dx_;
      left = std::max(left, std::min(x0, x1));
      right = std::min(right, std::max(x0, x1));
    }
    // |(x - ax) dy - ry dx| < radius * length
    if (dy_ == 0) {
      if (std::abs(ry) >= radius_) return;
    } else {
      const double reach = radius_ * length_ / dy_;
      const double base = ax_ + ry * dx_ / dy_;
      left = std::max(left, std::min(base - reach, base + reach));
      right = std::min(right, std::max(base - reach, base + reach));
    }
    if (left < right) {
      lo = std::min(lo, left);
      hi = std::max(hi, right);
    }
  }

  double radius_;
  const EllipseRows& dot_;
  int64_t half_;
  Point a_, b_;
  double ax_, ay_, bx_, by_, dx_, dy_, length_;
};

struct StrokeSpan {
  int64_t y, left, right;
};

// Splits a cubic Bezier curve until each piece is flat to within half a
// pixel, appending the end point of each piece (rounded to the nearest
// pixel). The depth cap bounds the work for absurd control points.
void FlattenBezier(double x0, double y0, double x1, double y1, double x2, double y2, double x3,
                   double y3, int depth, std::vector<Point>& out) {
  const double ex1 = std::abs(x1 - (2 * x0 + x3) / 3), ey1 = std::abs(y1 - (2 * y0 + y3) / 3);
  const double ex2 = std::abs(x2 - (x0 + 2 * x3) / 3), ey2 = std::abs(y2 - (y0 + 2 * y3) / 3);
  const double error = std::max(std::max(ex1, ey1), std::max(ex2, ey2));
  if (depth >= 16 || error <= 0.5) {
    out.push_back(
        {static_cast<int32_t>(std::floor(x3 + 0.5)), static_cast<int32_t>(std::floor(y3 + 0.5))});
    return;
  }
  const double ax = (x0 + x1) / 2, ay = (y0 + y1) / 2;
  const double bx = (x1 + x2) / 2, by = (y1 + y2) / 2;
  const double cx = (x2 + x3) / 2, cy = (y2 + y3) / 2;
  const double abx = (ax + bx) / 2, aby = (ay + by) / 2;
  const double bcx = (bx + cx) / 2, bcy = (by + cy) / 2;
  const double mx = (abx + bcx) / 2, my = (aby + bcy) / 2;
  FlattenBezier(x0, y0, ax, ay, abx, aby, mx, my, depth + 1, out);
  FlattenBezier(mx, my, bcx, bcy, cx, cy, x3, y3, depth + 1, out);
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
      uint8_t& p = surface_.row(static_cast<int>(y))[x];
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
  // A wide path is one shape: with an inverting ink the segments' overlaps
  // at the joins must not be inverted twice, so their spans are merged first.
  std::vector<StrokeSpan> merged;
  auto emit = [&](int64_t y, RowSpan span) {
    if (span.Empty()) return;
    if (ink.invert)
      merged.push_back({y, span.left, span.right});
    else
      FillRow(y, span.left, span.right, ink);
  };
  // GDI's round pen: the ellipse of a width x width box on the point.
  const EllipseRows dot(0, 0, pen_.width, pen_.width);
  auto strokeSegment = [&](Point a, Point b) {
    const SweptDisc disc(a, b, pen_.width, dot);
    const int64_t from = std::max<int64_t>(disc.FirstRow(), clipBox_.top);
    const int64_t to = std::min<int64_t>(disc.EndRow(), clipBox_.bottom);
    for (int64_t y = from; y < to; ++y) emit(y, disc.Row(y));
  };
  if (segments <= 0)
    strokeSegment(points[0], points[0]);
  else
    for (int32_t i = 0; i < segments; ++i) strokeSegment(points[i], points[(i + 1) % count]);
  if (!ink.invert) return;
  std::sort(merged.begin(), merged.end(), [](const StrokeSpan& a, const StrokeSpan& b) {
    return a.y != b.y ? a.y < b.y : a.left < b.left;
  });
  for (size_t i = 0; i < merged.size();) {
    StrokeSpan run = merged[i++];
    while (i < merged.size() && merged[i].y == run.y && merged[i].left <= run.right)
      run.right = std::max(run.right, merged[i++].right);
    FillRow(run.y, run.left, run.right, ink);
  }
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
    const Point* p = points + i;
    FlattenBezier(p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y, p[3].x, p[3].y, 0, path);
    path.back() = p[3];  // curves end exactly on their end points
  }
  path.erase(std::unique(path.begin(), path.end()), path.end());
  if (path.size() == 1) path.push_back(path.front());  // a curve that is one point
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
