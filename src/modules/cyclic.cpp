// Cyclic: a ring of objects travelling a closed, slowly changing
// trigonometric path around the screen centre.
//
// Each object's motion over one frame is drawn as a line of Stamp figures
// (dots, polygons or polygons of polygons), repeated with rotational symmetry
// and shrunk into a grid of tiles, in the next palette colour each frame.
// The path of every axis is one of eight formulas of three slowly advancing
// angles and a wobble, evaluated at the object's phase along the ring. Like
// Bezier it keeps a trail of fixed length: a second set of objects replays
// the same motion a trail's length later and redraws those figures in black
// from a ring of 300 recorded frames. After a random time the module starts
// over with a new path.
#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <new>

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

enum CyclicControl : int {
  kObjects = 0,
  kSpasticity = 1,
  kTrailLength = 2,
  kDiameter = 3,
  kPlanarSymmetry = 4,
  kObjectRotation = 5,
  kObjectSides = 6,
  kObjectType = 7,
  kXTiling = 10,
  kYTiling = 11,
  kTileType = 12,
};

constexpr ControlRow kCyclicControls[] = {
    {20, kObjects, 4, 1, 99},
    {21, kSpasticity, 25, 1, 50},
    {22, kTrailLength, 100, 1, 100},
    {23, kDiameter, 100, 0, 320},
    {24, kPlanarSymmetry, 1, 1, 32},
    {25, kObjectRotation, 10, -100, 100},
    {26, kObjectSides, 1, 1, 10},
    {27, kObjectType, 0, 0, 8},
    {28, kStrengthSlot, 1, -10, 10},  // "Strength"
    {29, kXTiling, 1, 1, 20},
    {30, kYTiling, 1, 1, 20},
    {31, kTileType, 0, 0, 3},
};

constexpr int kMaxObjects = 101;

struct PathObject {
  int32_t x = 0, y = 0;
  int32_t prevX = 0, prevY = 0;  // position before the last update
  float phase = 0;               // place along the path
};

struct ObjectSet {
  float angle0 = 0, angle1 = 0, angle2 = 0;
  float wobble = 0;  // sin(angle2)
  std::array<PathObject, kMaxObjects> objects{};
};

// What one frame was drawn with; kept in the history ring so the erasure
// repeats it exactly.
struct CyclicFrame {
  Stamp stamp;
  float speed0 = 0, speed1 = 0, speed2 = 0;  // path speeds
  int32_t symmetry = 1;
  int32_t columns = 1;
  int32_t rows = 1;
  int32_t tileType = 0;
};

struct CyclicState {
  int32_t clientWidth = 0, clientHeight = 0;
  ObjectSet drawing;
  ObjectSet erasing;
  CyclicFrame current;
  TrailRing<CyclicFrame> trail;
  int32_t objectCount = 0;  // N
  int32_t q = 1;            // 51 - "Spasticity"
  int32_t xPathType = 1, yPathType = 1;
  int32_t cx = 0, cy = 0;
  float amplitude = 0;  // half the client width, for both axes
  int32_t colorIndex = 0, colorDirection = 1;
  uint32_t restartTime = 0;
  bool pulse = false;
  float pulseAngle = 0, pulseSpeed = 0;
};

std::unique_ptr<CyclicState> cyclic;

void ChoosePathSpeeds(CyclicFrame& frame, int32_t q);
void PlaceObjects(ObjectSet& set);
void UpdatePositions(ObjectSet& set, const CyclicFrame& frame);
void DrawSet(const ObjectSet& set, CyclicFrame& frame);
void EraseStep();
void EraseTrail();

int32_t Init(ModuleDescriptor& module) noexcept {
  cyclic.reset(new (std::nothrow) CyclicState);
  if (cyclic) {
    cyclic->clientWidth = module.width;
    cyclic->clientHeight = module.height;
  }
  return 0;
}

int32_t Start(ModuleDescriptor& module) noexcept {
  if (!cyclic) return 0;
  CyclicState& s = *cyclic;
  RandomizeControls(module);
  EvaluateControls(module);
  s.objectCount = ControlValue(module, kCyclicControls, kObjects);
  const int32_t spasticity = ControlValue(module, kCyclicControls, kSpasticity);
  s.q = 51 - spasticity;
  const int32_t diameter = ControlValue(module, kCyclicControls, kDiameter);
  CyclicFrame& f = s.current;
  f.symmetry = ControlValue(module, kCyclicControls, kPlanarSymmetry);
  const float spin = static_cast<float>(ControlValue(module, kCyclicControls, kObjectRotation)) *
                     0.007f;
  const int32_t sides = ControlValue(module, kCyclicControls, kObjectSides);
  const int32_t type = ControlValue(module, kCyclicControls, kObjectType);
  f.columns = ControlValue(module, kCyclicControls, kXTiling);
  f.rows = ControlValue(module, kCyclicControls, kYTiling);
  f.tileType = ControlValue(module, kCyclicControls, kTileType);

  s.colorIndex = 0;
  s.colorDirection = 1;
  s.pulseAngle = 0;

  const int32_t r1 = Rand();
  const int32_t r2 = Rand();
  s.pulse = diameter == 0;
  s.pulseSpeed = (static_cast<float>(r1) / 32767.0f) / static_cast<float>(r2 % 5 + 5);

  InitStamp(module.dc, sides, type, 1 + spasticity / 5, diameter, spin, f.stamp);

  s.restartTime = TickCount() + static_cast<uint32_t>(Rand() % (10 * s.q) + 20) * 1000u;
  ChoosePathSpeeds(f, s.q);

  s.cx = s.clientWidth / 2;
  s.cy = s.clientHeight / 2;
  s.amplitude = static_cast<float>(s.cx);
  s.xPathType = Rand() % 8 + 1;
  s.yPathType = Rand() % 8 + 1;

  PlaceObjects(s.erasing);
  PlaceObjects(s.drawing);
  // One update gives every object a previous and a current position.
  UpdatePositions(s.erasing, f);
  UpdatePositions(s.drawing, f);

  s.trail.Start(3 * ControlValue(module, kCyclicControls, kTrailLength));
  return 0;
}

int32_t Draw(ModuleDescriptor& module) noexcept {
  if (!cyclic || module.dc == nullptr) return kYield;
  CyclicState& s = *cyclic;
  CyclicFrame& f = s.current;

  if (s.pulse) {
    s.pulseAngle += s.pulseSpeed;
    f.stamp.size = std::fabs(70.0f * std::sin(s.pulseAngle)) + 70.0f;
  }

  float live = 0;
  if (EvaluateLive(module, kSpasticity, live)) {
    const ControlRow& row = RowOf(kCyclicControls, kSpasticity);
    s.q = 51 - HoldToRow(TruncateToInt(live), row);
    ChoosePathSpeeds(f, s.q);
  }
  if (EvaluateLive(module, kDiameter, live) && live == live) {
    const ControlRow& row = RowOf(kCyclicControls, kDiameter);
    f.stamp.size = std::clamp(live, static_cast<float>(row.minimum),
                              static_cast<float>(row.maximum));
  }
  f.symmetry = LiveValue(module, kCyclicControls, kPlanarSymmetry, f.symmetry);
  if (EvaluateLive(module, kObjectRotation, live)) {
    const ControlRow& row = RowOf(kCyclicControls, kObjectRotation);
    f.stamp.spin = static_cast<float>(HoldToRow(TruncateToInt(live), row)) * 0.007f;
  }
  f.columns = LiveValue(module, kCyclicControls, kXTiling, f.columns);
  f.rows = LiveValue(module, kCyclicControls, kYTiling, f.rows);

  s.colorIndex += s.colorDirection;
  if (s.colorIndex >= 235 || s.colorIndex <= 0) s.colorDirection = -s.colorDirection;

  s.trail.Record(f);
  SelectStampTools(f.stamp, gfx::PaletteIndex(s.colorIndex));
  UpdatePositions(s.drawing, f);
  DrawSet(s.drawing, f);
  ReleaseStampTools(f.stamp);

  if (s.trail.Full()) EraseStep();
  s.trail.Advance();

  if (TickDelta(TickCount(), s.restartTime) > 0) {
    EraseTrail();
    Start(module);
  }
  return 0;
}

int32_t Stop(ModuleDescriptor&) noexcept {
  // On a restart the trail is wiped; at the end of the run the picture stays.
  if (cyclic && Saver().runFlag != 0) EraseTrail();
  cyclic.reset();
  return 0;
}

// The three path speeds, each from a fresh random draw; a larger Q is slower.
void ChoosePathSpeeds(CyclicFrame& frame, int32_t q) {
  const float divisor = static_cast<float>(std::max(q, 1));
  frame.speed0 = (RandomFraction() + 0.05f) / (3 * divisor);
  frame.speed1 = (RandomFraction() + 0.05f) / (5 * divisor);
  frame.speed2 = (RandomFraction() + 0.05f) / (4 * divisor);
}

// All objects at the centre, spread evenly in phase: object N-1 at phase 0,
// object 0 furthest along.
void PlaceObjects(ObjectSet& set) {
  const CyclicState& s = *cyclic;
  const float step = 6.283184f / static_cast<float>(s.objectCount);
  float phase = 0;
  for (int32_t k = s.objectCount - 1; k >= 0; --k) {
    PathObject& o = set.objects[k];
    o.x = s.cx;
    o.y = s.cy;
    o.phase = phase;
    phase += step;
  }
  set.angle0 = set.angle1 = set.angle2 = 0;
  set.wobble = 0;
}

// The amplitude A and angle B of one axis's path at phase phi; both are
// rounded to single precision, as they are stored.
struct PathTerm {
  float a, b;
};

PathTerm PathAt(int32_t pathType, const ObjectSet& set, float phi, float wf) {
  const double a0 = set.angle0, a1 = set.angle1, w = set.wobble;
  double a = 0, b = 0;
  switch (pathType) {
    case 1: a = std::sin(a0) * wf; b = std::cos(a1) * phi; break;
    case 2: a = std::sin(a0) * wf; b = std::sin(a0 + a1) * phi; break;
    case 3: a = std::sin(a0 + a1) * wf; b = std::sin(a1) * phi; break;
    case 4: a = std::sin(a0 + w) * wf; b = std::sin(a1 + w) * phi; break;
    case 5: a = std::sin(a0) * wf; b = std::sin(std::cos(a1) + w) * phi; break;
    case 6: a = std::sin(std::cos(a0) + w) * wf; b = std::sin(a0) * phi; break;
    case 7: a = std::sin(w) * wf; b = std::sin(std::sin(w) + w) * phi; break;
    default: a = std::sin(a1 + w) * wf; b = std::sin(w) * phi; break;
  }
  return {static_cast<float>(a), static_cast<float>(b)};
}

void UpdatePositions(ObjectSet& set, const CyclicFrame& frame) {
  const CyclicState& s = *cyclic;
  const int32_t n = s.objectCount;
  for (int32_t k = n - 1; k >= 0; --k) {
    PathObject& o = set.objects[k];
    o.prevX = o.x;
    const PathTerm t = PathAt(s.xPathType, set, o.phase, s.amplitude);
    o.x = s.cx + TruncateToInt(std::sin(static_cast<double>(t.b)) * t.a);
  }
  for (int32_t k = n - 1; k >= 0; --k) {
    PathObject& o = set.objects[k];
    o.prevY = o.y;
    const PathTerm t = PathAt(s.yPathType, set, o.phase, s.amplitude);
    o.y = s.cy + TruncateToInt(std::cos(static_cast<double>(t.b)) * t.a);
  }
  set.angle0 += frame.speed0;
  set.angle1 += frame.speed1;
  set.angle2 += frame.speed2;
  set.wobble = std::sin(set.angle2);
  const float drift = 0.01f * std::sin(set.angle0 + set.angle1);
  for (int32_t k = n - 1; k >= 0; --k) set.objects[k].phase += drift;
}

// One object's motion as a line of figures from (px, py) to (x, y), scaled
// into the first tile and translated into every selected tile. Polygon
// figures shrink with the grid; a dot keeps the pen already selected.
void DrawTiledLine(int32_t x, int32_t y, int32_t px, int32_t py, const CyclicFrame& frame) {
  const CyclicState& s = *cyclic;
  const int32_t columns = std::max(frame.columns, 1);
  const int32_t rows = std::max(frame.rows, 1);
  const int32_t tileWidth = s.clientWidth / columns;
  const int32_t tileHeight = s.clientHeight / rows;
  Stamp copy = frame.stamp;
  copy.size = copy.size / static_cast<float>(std::max((columns + rows) >> 1, 1));
  for (int32_t i = 0; i < columns; ++i) {
    for (int32_t j = 0; j < rows; ++j) {
      if (!TileSelected(i, j, frame.tileType)) continue;
      StampLine(x / columns + i * tileWidth, y / rows + j * tileHeight,
                px / columns + i * tileWidth, py / rows + j * tileHeight, copy);
    }
  }
}

// Every object's last step, in planar-symmetric copies whose rotation angle
// keeps running from one object to the next; then the figures turn.
void DrawSet(const ObjectSet& set, CyclicFrame& frame) {
  const CyclicState& s = *cyclic;
  const int32_t symmetry = std::max(frame.symmetry, 1);
  const float step = 6.283f / static_cast<float>(symmetry);
  float rotation = 0;
  for (int32_t k = s.objectCount - 1; k >= 0; --k) {
    const PathObject& o = set.objects[k];
    if (symmetry < 2) {
      DrawTiledLine(o.x, o.y, o.prevX, o.prevY, frame);
      continue;
    }
    for (int32_t copy = 0; copy < symmetry; ++copy) {
      gfx::Point now{o.x - s.cx, o.y - s.cy};
      gfx::Point before{o.prevX - s.cx, o.prevY - s.cy};
      RotatePoint(now, rotation);
      RotatePoint(before, rotation);
      DrawTiledLine(now.x + s.cx, now.y + s.cy, before.x + s.cx, before.y + s.cy, frame);
      rotation += step;
    }
  }
  frame.stamp.angle += frame.stamp.spin;
}

// Replays the oldest recorded frame with the erasing objects, in black.
void EraseStep() {
  CyclicState& s = *cyclic;
  CyclicFrame& entry = s.trail.Oldest();
  SelectStampTools(entry.stamp, gfx::kBlack);
  UpdatePositions(s.erasing, entry);
  DrawSet(s.erasing, entry);
  ReleaseStampTools(entry.stamp);
  s.trail.DropOldest();
}

// Erases every frame still on the screen (nothing when the trail is endless).
void EraseTrail() {
  while (cyclic->trail.HasFramesToErase()) EraseStep();
}

}  // namespace

const ModuleDefinition kCyclicModule{kCyclicControls, Draw, Init, Start, Stop};

}  // namespace lumox
