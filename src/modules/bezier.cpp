// Bezier: a chain of cubic Bezier curves whose control points bounce around
// the screen.
//
// Each frame the curves are drawn again at their new position in the next
// palette colour, repeated with rotational symmetry about the screen centre
// and shrunk into a grid of tiles, so the screen fills with a ribbon of
// nested curves. The trail has a fixed length: a second set of control
// points replays the motion of the first a trail's length later and redraws
// those curves in black. Every frame's drawing parameters go into a ring of
// 300, so the erasure matches what was drawn even when live controls change
// in between. After "Duration" seconds the module starts over from new
// random points, leaving the old picture on the screen.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "base/random.h"
#include "control/controls.h"
#include "gfx/canvas.h"
#include "modules/module_catalog.h"
#include "modules/module_support.h"
#include "modules/toolkit.h"
#include "platform/clock.h"
#include "state/saver_state.h"

namespace lumox {
namespace {

enum BezierControl : int {
  kBeziers = 0,
  kSymmetry = 1,
  kTrailLength = 2,
  kWidth = 3,
  kSpeed = 4,
  kDuration = 5,
  kXTiling = 6,
  kYTiling = 7,
  kTileType = 8,
};

constexpr ControlRow kBezierControls[] = {
    {10, kBeziers, 1, 1, 20},
    {11, kSymmetry, 10, 1, 32},
    {12, kTrailLength, 100, 1, 100},
    {13, kWidth, 12, 1, 200},
    {14, kSpeed, 4, 1, 320},
    {15, kDuration, 30, 1, 1000},
    {16, kXTiling, 1, 1, 20},
    {17, kYTiling, 1, 1, 20},
    {18, kTileType, 0, 0, 3},
    {19, kStrengthSlot, 1, -10, 10},  // "Strength"
};

constexpr float kFullTurn = 6.2832f;

struct ControlPoint {
  int32_t x = 0, y = 0;
  int32_t vx = 1, vy = 1;  // +1 or -1
};

// What one frame was drawn with; kept in the history ring so the erasure
// repeats it exactly.
struct DrawingParameters {
  int32_t symmetry = 1;
  int32_t columns = 1;
  int32_t rows = 1;
  int32_t width = 1;
  int32_t speed = 1;
  int32_t tileType = 0;
  float angleStep = kFullTurn;
};

struct BezierState {
  int32_t clientWidth = 0, clientHeight = 0;
  int32_t curveSlots = 0;  // "Beziers": curves start at points 0, 2, 4, ... below it
  std::vector<ControlPoint> drawing;
  std::vector<ControlPoint> erasing;
  std::vector<gfx::Point> rotated;  // scratch for the symmetric copies
  DrawingParameters current;
  TrailRing<DrawingParameters> trail;
  int32_t colorIndex = 0, colorDirection = 1;
  uint32_t endTime = 0;
  gfx::Point centre;
  int32_t xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

std::unique_ptr<BezierState> bezier;

void MovePoints(std::vector<ControlPoint>& points, int32_t speed);
void DrawCurves(gfx::Canvas& dc, const std::vector<ControlPoint>& points,
                const DrawingParameters& parameters);
void EraseStep(gfx::Canvas& dc);
void EraseTrail(gfx::Canvas& dc);

int32_t Init(ModuleDescriptor& module) noexcept {
  bezier.reset(new (std::nothrow) BezierState);
  if (bezier) {
    bezier->clientWidth = module.width;
    bezier->clientHeight = module.height;
  }
  return 0;
}

int32_t Start(ModuleDescriptor& module) noexcept {
  if (!bezier) return 0;
  BezierState& s = *bezier;
  RandomizeControls(module);
  EvaluateControls(module);
  s.curveSlots = ControlValue(module, kBezierControls, kBeziers);
  s.current.symmetry = ControlValue(module, kBezierControls, kSymmetry);
  s.current.width = ControlValue(module, kBezierControls, kWidth);
  s.current.speed = ControlValue(module, kBezierControls, kSpeed);
  s.endTime = TickCount() + 1000u * static_cast<uint32_t>(
                                        ControlValue(module, kBezierControls, kDuration));
  s.current.columns = ControlValue(module, kBezierControls, kXTiling);
  s.current.rows = ControlValue(module, kBezierControls, kYTiling);
  s.current.tileType = ControlValue(module, kBezierControls, kTileType);
  s.trail.Start(3 * ControlValue(module, kBezierControls, kTrailLength));
  s.current.angleStep = kFullTurn / static_cast<float>(s.current.symmetry);

  s.centre = {s.clientWidth >> 1, s.clientHeight >> 1};
  s.xMin = s.yMin = -40 - s.current.width;
  s.xMax = s.clientWidth + s.current.width + 40;
  s.yMax = s.clientHeight + s.current.width + 40;

  const size_t pointCount = 2 * static_cast<size_t>(s.curveSlots) + 4;
  s.drawing.assign(pointCount, ControlPoint{});
  s.rotated.assign(pointCount, gfx::Point{});
  const int32_t xSpan = std::abs(s.clientWidth - 10) + 1;
  const int32_t ySpan = std::abs(s.clientHeight - 10) + 1;
  for (ControlPoint& p : s.drawing) {
    p.x = Rand() % xSpan + 5;
    p.y = Rand() % ySpan + 5;
    p.vx = Rand() % 2 == 0 ? 1 : -1;
    p.vy = Rand() % 2 == 0 ? 1 : -1;
  }
  s.erasing = s.drawing;

  s.colorIndex = 0;
  s.colorDirection = 1;
  return 0;
}

int32_t Draw(ModuleDescriptor& module) noexcept {
  if (!bezier || bezier->drawing.empty() || module.dc == nullptr) return kYield;
  BezierState& s = *bezier;
  gfx::Canvas& dc = *module.dc;

  s.colorIndex += s.colorDirection;
  if (s.colorIndex >= 235 || s.colorIndex <= 0) s.colorDirection = -s.colorDirection;

  DrawingParameters& p = s.current;
  const int32_t symmetry = LiveValue(module, kBezierControls, kSymmetry, p.symmetry);
  if (symmetry != p.symmetry) {
    p.symmetry = symmetry;
    p.angleStep = kFullTurn / static_cast<float>(symmetry);
  }
  p.width = LiveValue(module, kBezierControls, kWidth, p.width);
  p.speed = LiveValue(module, kBezierControls, kSpeed, p.speed);
  p.columns = LiveValue(module, kBezierControls, kXTiling, p.columns);
  p.rows = LiveValue(module, kBezierControls, kYTiling, p.rows);

  s.trail.Record(p);
  MovePoints(s.drawing, p.speed);
  dc.SelectPen(gfx::Pen::Solid(p.width, gfx::PaletteIndex(s.colorIndex)));
  DrawCurves(dc, s.drawing, p);
  dc.SelectPen(gfx::Pen::StockBlack());

  if (s.trail.Full()) EraseStep(dc);
  s.trail.Advance();

  if (TickDelta(TickCount(), s.endTime) > 0) {
    EraseTrail(dc);
    Start(module);
  }
  return 0;
}

int32_t Stop(ModuleDescriptor& module) noexcept {
  // On a restart the trail is wiped; at the end of the run the picture stays.
  if (bezier && module.dc != nullptr && Saver().runFlag != 0) EraseTrail(*module.dc);
  bezier.reset();
  return 0;
}

// Each coordinate steps by the speed; one that would leave the bounds turns
// back and stays where it is for this frame.
void MovePoints(std::vector<ControlPoint>& points, int32_t speed) {
  const BezierState& s = *bezier;
  for (ControlPoint& p : points) {
    const int32_t x = p.x + p.vx * speed;
    if (x >= s.xMax || x < s.xMin) {
      p.vx = -p.vx;
    } else {
      p.x = x;
    }
    const int32_t y = p.y + p.vy * speed;
    if (y >= s.yMax || y < s.yMin) {
      p.vy = -p.vy;
    } else {
      p.y = y;
    }
  }
}

// One curve through four control points, scaled into the first tile and
// translated into every selected tile (plain copies, nothing mirrored).
void DrawTiledCurve(gfx::Canvas& dc, const gfx::Point* points,
                    const DrawingParameters& parameters) {
  const BezierState& s = *bezier;
  const int32_t columns = std::max(parameters.columns, 1);
  const int32_t rows = std::max(parameters.rows, 1);
  const int32_t tileWidth = s.clientWidth / columns;
  const int32_t tileHeight = s.clientHeight / rows;
  for (int32_t i = 0; i < columns; ++i) {
    for (int32_t j = 0; j < rows; ++j) {
      if (!TileSelected(i, j, parameters.tileType)) continue;
      gfx::Point tiled[4];
      for (int k = 0; k < 4; ++k) {
        tiled[k] = {points[k].x / columns + i * tileWidth, points[k].y / rows + j * tileHeight};
      }
      dc.PolyBezier(tiled, 4);
    }
  }
}

// The curves start at points 0, 2, 4, ... below the number of curve slots;
// neighbouring curves share two control points.
void DrawCurveSet(gfx::Canvas& dc, const gfx::Point* points,
                  const DrawingParameters& parameters) {
  for (int32_t k = 0; k < bezier->curveSlots; k += 2) DrawTiledCurve(dc, points + k, parameters);
}

void DrawCurves(gfx::Canvas& dc, const std::vector<ControlPoint>& points,
                const DrawingParameters& parameters) {
  BezierState& s = *bezier;
  std::vector<gfx::Point>& q = s.rotated;
  if (parameters.symmetry <= 1) {
    for (size_t i = 0; i < points.size(); ++i) q[i] = {points[i].x, points[i].y};
    DrawCurveSet(dc, q.data(), parameters);
    return;
  }
  for (int32_t copy = 0; copy < parameters.symmetry; ++copy) {
    const float angle = static_cast<float>(copy) * parameters.angleStep;
    for (size_t i = 0; i < points.size(); ++i) {
      gfx::Point p{points[i].x - s.centre.x, points[i].y - s.centre.y};
      RotatePoint(p, angle);
      q[i] = {p.x + s.centre.x, p.y + s.centre.y};
    }
    DrawCurveSet(dc, q.data(), parameters);
  }
}

// Replays the oldest recorded frame with the erasing points, in black.
void EraseStep(gfx::Canvas& dc) {
  BezierState& s = *bezier;
  const DrawingParameters& entry = s.trail.Oldest();
  MovePoints(s.erasing, entry.speed);
  dc.SelectPen(gfx::Pen::Solid(entry.width, gfx::kBlack));
  DrawCurves(dc, s.erasing, entry);
  dc.SelectPen(gfx::Pen::StockBlack());
  s.trail.DropOldest();
}

// Erases every frame still on the screen (nothing when the trail is endless).
void EraseTrail(gfx::Canvas& dc) {
  while (bezier->trail.HasFramesToErase()) EraseStep(dc);
}

}  // namespace

const ModuleDefinition kBezierModule{kBezierControls, Draw, Init, Start, Stop};

}  // namespace lumox
