// Star: a field of points in space flying towards the viewer while the
// whole field turns about the X, Y and Z axes.
//
// Every frame each point moves towards the camera, is turned with the field
// and projected through a perspective camera; the stretch between its
// previous and its new screen position is drawn as a streak of Stamp
// figures in one palette colour. The colour advances by one index per
// frame, so successive frames leave bands that the palette animation sets
// flowing. Streaks can be repeated as rotational copies about the screen
// centre and as miniature copies in a grid of tiles. With "Stars" at 0 the
// field is a tunnel: 20 points that always re-enter on a ring of radius 90
// around the axis of view. Points keep their turned coordinates, so the
// revolve controls keep the field turning frame after frame.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <new>

#include "base/random.h"
#include "base/truncate.h"
#include "control/controls.h"
#include "gfx/canvas.h"
#include "modules/module_catalog.h"
#include "modules/module_support.h"
#include "modules/toolkit.h"

namespace lumox {
namespace {

enum StarControl : int {
  kStars = 0,
  kStarSize = 1,
  kSpeed = 2,
  kXRevolve = 3,
  kYRevolve = 4,
  kZRevolve = 5,
  kStarRotation = 6,
  kStarSides = 7,
  kStarType = 8,
  kXTiling = 10,
  kYTiling = 11,
  kTileType = 12,
  kSymmetry = 13,
};

constexpr ControlRow kStarControls[] = {
    {73, kStars, 20, 0, 99},
    {74, kStarSize, 1, 1, 320},
    {75, kSpeed, 4, 1, 60},
    {76, kXRevolve, 0, -99, 99},
    {77, kYRevolve, 0, -99, 99},
    {78, kZRevolve, 0, -99, 99},
    {79, kStarRotation, 10, -100, 100},
    {80, kStarSides, 1, 1, 10},
    {81, kStarType, 0, 0, 8},
    {82, kStrengthSlot, 1, -10, 10},  // "Strength"
    {83, kXTiling, 1, 1, 20},
    {84, kYTiling, 1, 1, 20},
    {85, kTileType, 0, 0, 3},
    {86, kSymmetry, 1, 1, 128},
};

constexpr int kMaxStars = 99;
constexpr int kTunnelStars = 20;
constexpr double kTunnelRadius = 90.0;
constexpr double kRevolveUnit = 0.0004;  // radians per frame per step of a revolve control
constexpr double kRotationUnit = 0.007;  // radians per step of "Star Rotation"
constexpr float kFullTurn = 6.2832f;
// Projected positions are held within +-2^30 so that moving them about the
// screen centre and into tiles cannot overflow; a point that far out is
// off any screen in the same direction.
constexpr int64_t kFarAway = int64_t{1} << 30;

// A perspective viewer at (x, y, z) looking along +z.
struct Camera {
  double width = 320, height = 200;
  double halfWidth = 160, halfHeight = 100;
  double focalLength = 200.0;
  double x = 0, y = 0, z = -125.0;

  void SetViewport(int32_t w, int32_t h) {
    width = w;
    height = h;
    halfWidth = width * 0.5;
    halfHeight = height * 0.5;
  }
};

struct StarPoint {
  double x = 0, y = 0, z = 0;
  int32_t screenX = 0, screenY = 0;  // where it was last projected
};

struct StarState {
  bool started = false;
  int32_t count = 0;
  bool tunnel = false;
  int32_t speed = 1;
  double xRevolve = 0, yRevolve = 0, zRevolve = 0;  // radians per frame
  int32_t columns = 1, rows = 1, tileType = 0;
  int32_t symmetry = 1;
  float angleStep = kFullTurn;
  int32_t clientWidth = 0, clientHeight = 0;
  int32_t halfWidth = 0, halfHeight = 0;
  int32_t colorCounter = 0;
  Stamp stamp;
  Camera camera;
  std::array<StarPoint, kMaxStars> points{};
};

std::unique_ptr<StarState> star;

void Respawn(StarPoint& point);
bool ProjectPoint(const Camera& camera, StarPoint& point);
void RotatePoint3D(StarPoint& point, double ax, double ay, double az);
void DrawStreak(int32_t x0, int32_t y0, int32_t x1, int32_t y1, gfx::ColorRef color);
double LiveAngle(ModuleDescriptor& module, int slot, double unit, double current);

int32_t Init(ModuleDescriptor&) noexcept {
  // A camera without a window keeps its 320 x 200 viewport until Start.
  star.reset(new (std::nothrow) StarState);
  return 0;
}

int32_t Start(ModuleDescriptor& module) noexcept {
  if (!star) return 0;
  StarState& s = *star;
  RandomizeControls(module);
  EvaluateControls(module);
  s.count = ControlValue(module, kStarControls, kStars);
  const int32_t size = ControlValue(module, kStarControls, kStarSize);
  s.speed = ControlValue(module, kStarControls, kSpeed);
  s.xRevolve = ControlValue(module, kStarControls, kXRevolve) * kRevolveUnit;
  s.yRevolve = ControlValue(module, kStarControls, kYRevolve) * kRevolveUnit;
  s.zRevolve = ControlValue(module, kStarControls, kZRevolve) * kRevolveUnit;
  const float spin =
      static_cast<float>(ControlValue(module, kStarControls, kStarRotation) * kRotationUnit);
  const int32_t sides = ControlValue(module, kStarControls, kStarSides);
  const int32_t type = ControlValue(module, kStarControls, kStarType);
  s.columns = ControlValue(module, kStarControls, kXTiling);
  s.rows = ControlValue(module, kStarControls, kYTiling);
  s.tileType = ControlValue(module, kStarControls, kTileType);
  s.symmetry = ControlValue(module, kStarControls, kSymmetry);
  s.angleStep = kFullTurn / static_cast<float>(s.symmetry);

  s.tunnel = s.count == 0;
  if (s.tunnel) s.count = kTunnelStars;

  // Faster points leave longer streaks: space their figures further apart.
  InitStamp(module.dc, sides, type, s.speed / 5 + 1, size, spin, s.stamp);

  s.camera.SetViewport(module.width, module.height);
  s.clientWidth = module.width;
  s.clientHeight = module.height;
  s.halfWidth = module.width >> 1;
  s.halfHeight = module.height >> 1;
  s.colorCounter = 0;

  for (int32_t k = s.count - 1; k >= 0; --k) Respawn(s.points[k]);
  s.started = true;
  return 0;
}

int32_t Draw(ModuleDescriptor& module) noexcept {
  if (!star || !star->started || module.dc == nullptr) return kYield;
  StarState& s = *star;

  s.colorCounter = (s.colorCounter + 1) % gfx::kSaverColors;
  const gfx::ColorRef color = gfx::PaletteIndex(static_cast<uint32_t>(s.colorCounter));
  SelectStampTools(s.stamp, color);

  s.stamp.size = static_cast<float>(
      LiveValue(module, kStarControls, kStarSize, TruncateToInt(s.stamp.size)));
  s.speed = LiveValue(module, kStarControls, kSpeed, s.speed);
  s.xRevolve = LiveAngle(module, kXRevolve, kRevolveUnit, s.xRevolve);
  s.yRevolve = LiveAngle(module, kYRevolve, kRevolveUnit, s.yRevolve);
  s.zRevolve = LiveAngle(module, kZRevolve, kRevolveUnit, s.zRevolve);
  s.stamp.spin = static_cast<float>(LiveAngle(module, kStarRotation, kRotationUnit, s.stamp.spin));
  s.columns = LiveValue(module, kStarControls, kXTiling, s.columns);
  s.rows = LiveValue(module, kStarControls, kYTiling, s.rows);
  const int32_t symmetry = LiveValue(module, kStarControls, kSymmetry, s.symmetry);
  if (symmetry != s.symmetry) {
    s.symmetry = symmetry;
    s.angleStep = kFullTurn / static_cast<float>(symmetry);
  }

  for (int32_t k = 0; k < s.count; ++k) {
    StarPoint& p = s.points[k];
    p.z -= s.speed;
    const int32_t px = p.screenX, py = p.screenY;
    RotatePoint3D(p, s.xRevolve, s.yRevolve, s.zRevolve);
    if (!ProjectPoint(s.camera, p)) {
      Respawn(p);
      continue;
    }
    // A point that came from outside the client area (or from its left or
    // top edge, where a failed projection leaves it) draws nothing yet.
    if (px <= 0 || px >= s.clientWidth || py <= 0 || py >= s.clientHeight) continue;
    if (s.symmetry < 2) {
      DrawStreak(p.screenX, p.screenY, px, py, color);
      continue;
    }
    for (int32_t copy = 0; copy < s.symmetry; ++copy) {
      const float angle = static_cast<float>(copy) * s.angleStep;
      gfx::Point now{p.screenX - s.halfWidth, p.screenY - s.halfHeight};
      gfx::Point before{px - s.halfWidth, py - s.halfHeight};
      RotatePoint(now, angle);
      RotatePoint(before, angle);
      DrawStreak(SaturatingAdd(now.x, s.halfWidth), SaturatingAdd(now.y, s.halfHeight),
                 before.x + s.halfWidth, before.y + s.halfHeight, color);
    }
  }

  // Keep the angle within a turn: the figures look the same, and a float
  // that grew for hours would lose the small per-frame steps.
  s.stamp.angle = std::remainder(s.stamp.angle + s.stamp.spin, kFullTurn);
  ReleaseStampTools(s.stamp);
  return 0;
}

int32_t Stop(ModuleDescriptor&) noexcept {
  star.reset();
  return 0;
}

// A new place for a point that left the view (and for every point at
// Start), projected once so that its screen position is that of the new
// place. Each coordinate takes its own random draw.
void Respawn(StarPoint& point) {
  StarState& s = *star;
  const auto r = [] { return static_cast<double>(Rand()) / kRandMax; };
  if (s.tunnel) {
    const double a = r() * 6.28;
    point.x = std::sin(a) * kTunnelRadius;
    point.y = std::cos(a) * kTunnelRadius;
    point.z = r() * 150 + 200;
  } else {
    const double w = s.clientWidth, h = s.clientHeight;
    point.x = r() * 4 * w - 4.0 * s.halfWidth;
    point.y = r() * 4 * h - 4.0 * s.halfHeight;
    point.z = r() * 4 * w;
  }
  ProjectPoint(s.camera, point);
}

// Whether the point lies in front of the camera; its screen position
// becomes its projection, or (0, 0) when it does not.
bool ProjectPoint(const Camera& camera, StarPoint& point) {
  point.screenX = point.screenY = 0;
  if (!(point.z > camera.z)) return false;
  const double d = point.z - camera.z;
  const double x = camera.x + (point.x - camera.x) / d * camera.focalLength + camera.halfWidth;
  const double y = camera.halfHeight - ((point.y - camera.y) / d * camera.focalLength + camera.y);
  point.screenX = static_cast<int32_t>(std::clamp(TruncateToInt64(x), -kFarAway, kFarAway));
  point.screenY = static_cast<int32_t>(std::clamp(TruncateToInt64(y), -kFarAway, kFarAway));
  return true;
}

// Turns the point about Z by az, then about X by ax, then about Y by ay.
void RotatePoint3D(StarPoint& point, double ax, double ay, double az) {
  const double x1 = std::sin(az) * point.y + std::cos(az) * point.x;
  const double y1 = std::cos(az) * point.y - std::sin(az) * point.x;
  const double y2 = std::sin(ax) * point.z + std::cos(ax) * y1;
  const double z1 = std::cos(ax) * point.z - std::sin(ax) * y1;
  const double z2 = std::sin(ay) * x1 + std::cos(ay) * z1;
  const double x2 = std::cos(ay) * x1 - std::sin(ay) * z1;
  point.x = x2;
  point.y = y2;
  point.z = z2;
}

// The streak from (x0, y0) back to (x1, y1), shrunk into the first tile
// and translated into every selected tile with a figure shrunk alike.
void DrawStreak(int32_t x0, int32_t y0, int32_t x1, int32_t y1, gfx::ColorRef color) {
  StarState& s = *star;
  const int32_t tileWidth = s.clientWidth / s.columns;
  const int32_t tileHeight = s.clientHeight / s.rows;
  Stamp copy = s.stamp;
  copy.size = s.stamp.size / static_cast<float>((s.columns + s.rows) >> 1);
  // A dot's size is its pen's width: the shrunk dot needs its own pen.
  if (copy.sides < 2) SelectStampTools(copy, color);
  x0 /= s.columns;
  x1 /= s.columns;
  y0 /= s.rows;
  y1 /= s.rows;
  for (int32_t i = 0; i < s.columns; ++i) {
    for (int32_t j = 0; j < s.rows; ++j) {
      if (!TileSelected(i, j, s.tileType)) continue;
      const int32_t dx = i * tileWidth, dy = j * tileHeight;
      StampLine(SaturatingAdd(x0, dx), SaturatingAdd(y0, dy), SaturatingAdd(x1, dx),
                SaturatingAdd(y1, dy), copy);
    }
  }
}

// A revolve or rotation control re-read each frame: when its source is
// live, its untruncated value held to the control's limits, in radians;
// otherwise `current`.
double LiveAngle(ModuleDescriptor& module, int slot, double unit, double current) {
  float value = 0;
  if (!EvaluateLive(module, slot, value) || !(value == value)) return current;
  const ControlRow& row = RowOf(kStarControls, slot);
  return std::clamp<double>(value, row.minimum, row.maximum) * unit;
}

}  // namespace

const ModuleDefinition kStarModule{kStarControls, Draw, Init, Start, Stop};

}  // namespace lumox
