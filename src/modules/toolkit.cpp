#include "modules/toolkit.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/random.h"
#include "modules/module_support.h"

namespace lumox {

bool TileSelected(int32_t column, int32_t row, int32_t tileType) {
  const bool odd = ((column + row) & 1) != 0;
  switch (tileType) {
    case 1: return odd;
    case 2: return !odd;
    default: return true;
  }
}

void RotatePoint(gfx::Point& point, float angle) {
  const long double a = angle;
  const long double c = std::cos(a);
  const long double s = std::sin(a);
  const long double x = point.x;
  const long double y = point.y;
  point.x = TruncateToInt(x * c + y * s);
  point.y = TruncateToInt(y * c - x * s);
}

namespace {

// One row of the ring, edgeWidth long, read at (source.left, sourceY) and
// written at (x, y), reversed left-right when asked.
void CopyRow(gfx::Canvas& dc, int32_t x, int32_t y, int32_t edgeWidth, int32_t sourceX,
             int32_t sourceY, bool reversed) {
  if (reversed) {
    dc.StretchBlt(x + edgeWidth - 1, y, -edgeWidth, 1, dc, sourceX, sourceY, edgeWidth, 1);
  } else {
    dc.BitBlt(x, y, edgeWidth, 1, dc, sourceX, sourceY);
  }
}

// One column of the ring, edgeHeight long, reversed top-bottom when asked.
void CopyColumn(gfx::Canvas& dc, int32_t x, int32_t y, int32_t edgeHeight, int32_t sourceX,
                int32_t sourceY, bool reversed) {
  if (reversed) {
    dc.StretchBlt(x, y + edgeHeight - 1, 1, -edgeHeight, dc, sourceX, sourceY, 1, edgeHeight);
  } else {
    dc.BitBlt(x, y, 1, edgeHeight, dc, sourceX, sourceY);
  }
}

}  // namespace

void TileRectEdges(gfx::Canvas& dc, int32_t columns, int32_t rows, int32_t tileWidth,
                   int32_t tileHeight, int32_t tileType, int32_t edgeWidth, int32_t edgeHeight,
                   const RingRect& source, const RingRect& origin) {
  if (edgeWidth <= 0 || edgeHeight <= 0) return;
  const int32_t dx = origin.right - origin.left;
  const int32_t dy = origin.bottom - origin.top;
  // A source away from x = 0 lies in the first selected tile: leave that
  // tile alone instead of copying the ring onto itself.
  bool skipFirst = source.left != 0;
  for (int32_t j = 0; j < rows; ++j) {
    for (int32_t i = 0; i < columns; ++i) {
      if (!TileSelected(i, j, tileType)) continue;
      if (skipFirst) {
        skipFirst = false;
        continue;
      }
      const int32_t x = origin.left + i * tileWidth;
      const int32_t y = origin.top + j * tileHeight;
      const bool oddColumn = (i & 1) != 0;
      const bool oddRow = (j & 1) != 0;
      // Odd rows swap top and bottom, odd columns swap left and right; the
      // strips along the swapped direction are reversed.
      const int32_t topRow = oddRow ? source.bottom : source.top;
      const int32_t bottomRow = oddRow ? source.top : source.bottom;
      const int32_t leftColumn = oddColumn ? source.right : source.left;
      const int32_t rightColumn = oddColumn ? source.left : source.right;
      CopyRow(dc, x, y, edgeWidth, source.left, topRow, oddColumn);
      CopyRow(dc, x, y + dy, edgeWidth, source.left, bottomRow, oddColumn);
      CopyColumn(dc, x, y, edgeHeight, leftColumn, source.top, oddRow);
      CopyColumn(dc, x + dx, y, edgeHeight, rightColumn, source.top, oddRow);
    }
  }
}

void InitStamp(gfx::Canvas* dc, int32_t sides, int32_t type, int32_t spacing, int32_t size,
               float spin, Stamp& stamp) {
  if (size > 0 && size < 4) sides = 1;
  sides = std::clamp(sides, 1, kMaxStampSides);
  type = std::clamp(type, 0, 8);
  // Tiny figures and two-sided ones are only visible filled in the colour.
  if ((size > 0 && size < 3) || sides == 2) type = (type / 3) * 3 + 1;

  stamp.size = static_cast<float>(size);
  stamp.spacing = static_cast<uint32_t>(std::max(spacing, 0));
  stamp.dc = dc;
  stamp.spin = spin;
  stamp.sides = static_cast<uint8_t>(sides);
  stamp.type = static_cast<uint8_t>(type);
  stamp.childScale = 1.0f / (1.5f + 4.0f * RandomFraction());
  stamp.angle = 0;
  stamp.counter = 0;
  stamp.scratch = 0;
  stamp.reserved = RandomFraction() + 0.5f;
}

void SelectStampTools(const Stamp& stamp, gfx::ColorRef color) {
  if (stamp.dc == nullptr) return;
  gfx::Canvas& dc = *stamp.dc;
  if (stamp.sides >= 2) {
    if (stamp.type > 8) return;
    switch (stamp.type % 3) {
      case 0:  // filled with the colour, outlined in black
        dc.SelectPen(gfx::Pen::Solid(0, gfx::kBlack));
        dc.SelectBrush(gfx::Brush::Solid(color));
        break;
      case 1:  // filled and outlined in the colour
        dc.SelectPen(gfx::Pen::Solid(0, color));
        dc.SelectBrush(gfx::Brush::Solid(color));
        break;
      default:  // outline only
        dc.SelectPen(gfx::Pen::Solid(0, color));
        dc.SelectBrush(gfx::Brush::Null());
        break;
    }
  } else {
    // A dot is a zero-length line drawn with a pen as wide as the figure.
    dc.SelectPen(gfx::Pen::Solid(TruncateToInt(stamp.size), color));
  }
}

void ReleaseStampTools(const Stamp& stamp) {
  if (stamp.dc == nullptr) return;
  stamp.dc->SelectPen(gfx::Pen::StockBlack());
  stamp.dc->SelectBrush(gfx::Brush::StockBlack());
}

void DrawStamp(int32_t x, int32_t y, const Stamp& stamp) {
  if (stamp.dc == nullptr) return;
  gfx::Canvas& dc = *stamp.dc;
  if (stamp.sides < 2 && stamp.type < 3) {
    dc.MoveTo(x, y);
    dc.LineTo(x, y);
    return;
  }
  // The vertex buffer holds kMaxStampSides points; a stamp set up elsewhere
  // is held to it here as well.
  const int sides = std::clamp<int>(stamp.sides, 1, kMaxStampSides);
  const float step = 6.2831855f / static_cast<float>(sides);
  gfx::Point vertices[kMaxStampSides];
  float t = 0;
  for (int k = 0; k < sides; ++k) {
    const double a = static_cast<double>(t + stamp.angle);
    vertices[k] = {SaturatingAdd(x, TruncateToInt(std::sin(a) * stamp.size)),
                   SaturatingAdd(y, TruncateToInt(std::cos(a) * stamp.size))};
    t += step;
  }
  if (stamp.type < 3) {
    dc.Polygon(vertices, sides);
    return;
  }
  if (stamp.type > 8) return;  // no such depth: nothing to draw
  Stamp child = stamp;
  child.size = stamp.size * stamp.childScale + 1;
  child.type = static_cast<uint8_t>(stamp.type - 3);
  for (int k = 0; k < sides; ++k) DrawStamp(vertices[k].x, vertices[k].y, child);
}

namespace {

// The steps [first, end) of a walk of n steps from (fromX, fromY) towards
// (toX, toY) whose points lie within `reach` of the canvas (step k near
// from + (to - from) k / n). Figures centred further out cannot touch it.
struct WalkSteps {
  int64_t first = 0, end = 0;
};

WalkSteps StepsNearCanvas(const gfx::Canvas& dc, double fromX, double fromY, double toX,
                          double toY, int64_t n, double reach) {
  // The segment's parameter range [t0, t1] inside the widened canvas,
  // narrowed one box side at a time (side: p t <= q).
  double t0 = 0, t1 = 1;
  const auto within = [&t0, &t1](double p, double q) {
    if (p == 0) return q >= 0;
    if (p < 0) {
      t0 = std::max(t0, q / p);
    } else {
      t1 = std::min(t1, q / p);
    }
    return t0 <= t1;
  };
  const double dx = toX - fromX, dy = toY - fromY;
  const double right = dc.width() - 1 + reach, bottom = dc.height() - 1 + reach;
  if (!within(-dx, fromX + reach) || !within(dx, right - fromX) || !within(-dy, fromY + reach) ||
      !within(dy, bottom - fromY)) {
    return {};
  }
  // One step of slack each way covers the walk's rounding.
  const int64_t first = std::max<int64_t>(0, static_cast<int64_t>(std::floor(t0 * n)) - 1);
  const int64_t end = std::min<int64_t>(n, static_cast<int64_t>(std::ceil(t1 * n)) + 1);
  return {first, std::max(first, end)};
}

}  // namespace

void StampLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, Stamp& stamp) {
  if (stamp.dc == nullptr) return;
  if (stamp.sides < 2) {
    stamp.dc->MoveTo(x0, y0);
    stamp.dc->LineTo(x1, y1);
    return;
  }
  const int64_t n = std::max(std::llabs(int64_t{x0} - x1), std::llabs(int64_t{y0} - y1));
  if (n == 0) return;  // LineDDA visits no point between identical ends
  const Stamp saved = stamp;
  stamp.counter = 0;
  // The figures along the line share the turn out between them.
  const float figures = stamp.spacing > 0 ? static_cast<float>(n) / static_cast<float>(stamp.spacing)
                                          : static_cast<float>(n);
  stamp.spin = stamp.spin / figures;
  const auto visit = [&stamp](int32_t x, int32_t y) {
    if (stamp.counter == 0) {
      DrawStamp(x, y, stamp);
      stamp.angle += stamp.spin;
    }
    if (++stamp.counter > stamp.spacing) stamp.counter = 0;
  };

  // A line may run far past the canvas (a point projected just in front of
  // a camera lands billions of pixels away): walk only the steps whose
  // figures can reach the canvas, the spacing cycle and the turn being
  // where the whole walk would have them there.
  const double reach = 3.0 * (std::abs(static_cast<double>(stamp.size)) + 2.0);
  const WalkSteps steps = StepsNearCanvas(*stamp.dc, x1, y1, x0, y0, n, reach);
  if (steps.first == 0 && steps.end == n) {
    gfx::LineDDA(x1, y1, x0, y0, visit);
  } else if (steps.first < steps.end) {
    const uint64_t cycle = uint64_t{stamp.spacing} + 1;
    const uint64_t skipped = static_cast<uint64_t>(steps.first);
    stamp.counter = static_cast<uint32_t>(skipped % cycle);
    stamp.angle += stamp.spin * static_cast<float>((skipped + cycle - 1) / cycle);
    const auto at = [&](int64_t k, int32_t from, int32_t to) {
      return static_cast<int32_t>(
          std::lround(from + (static_cast<double>(to) - from) * static_cast<double>(k) / n));
    };
    gfx::LineDDA(at(steps.first, x1, x0), at(steps.first, y1, y0), at(steps.end, x1, x0),
                 at(steps.end, y1, y0), visit);
  }
  stamp = saved;
}

void ConcentricFill(gfx::Canvas& dc, int32_t centreX, int32_t centreY, int32_t firstIndex,
                    int32_t diameter, int32_t style) {
  // Shapes beyond any screen size would only repeat the same fill; the cap
  // also keeps the bar coordinates (3k) far from overflowing.
  constexpr int32_t kMaxRadius = 1 << 16;
  const int32_t r = std::min(diameter >> 1, kMaxRadius);
  style = ((style % 32) + 32) % 32;
  const int32_t base = ((firstIndex % gfx::kSaverColors) + gfx::kSaverColors) % gfx::kSaverColors;
  dc.SelectPen(gfx::Pen::Null());
  for (int32_t k = 0; k < r; ++k) {
    const int32_t n = r - 1 - k;
    dc.SelectBrush(gfx::Brush::Solid(gfx::PaletteIndex((base + k) % gfx::kSaverColors)));
    if (style < 8) {
      dc.Ellipse(centreX - n, centreY - n, centreX + n, centreY + n);
    } else if (style < 16) {
      dc.Rectangle(centreX - n, centreY - n, centreX + n, centreY + n);
    } else if (style < 24) {
      dc.Rectangle(centreX - r + 3 * k, centreY - r, centreX - r + 3 * k + 4, centreY + r);
    } else {
      dc.Rectangle(centreX - r, centreY - r + 3 * k, centreX + r, centreY - r + 3 * k + 4);
    }
    dc.SelectBrush(gfx::Brush::StockWhite());
  }
}

}  // namespace lumox
