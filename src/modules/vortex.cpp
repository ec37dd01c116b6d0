// Vortex: a closed ring of points that collapses from the screen's corners
// into its centre, twisting and wobbling as it shrinks.
//
// Each frame every stretch of the ring between two neighbouring points is
// filled as a quadrilateral between where it was and where it is now, in
// the point's own colour index plus a frame counter, so the shrinking ring
// leaves a tunnel of coloured bands that the palette animation sets
// flowing. The whole ring turns by the same angle each frame, sin(R / P)
// times the amplitude, so the twist swings back and forth as the radius R
// falls. Once every point has passed the centre the picture stays "Image
// Duration" seconds and a new vortex starts over it. The picture can be
// shrunk into a grid of tiles.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "base/random.h"
#include "base/truncate.h"
#include "control/controls.h"
#include "gfx/canvas.h"
#include "modules/module_catalog.h"
#include "modules/module_support.h"
#include "modules/toolkit.h"
#include "platform/clock.h"

namespace lumox {
namespace {

enum VortexControl : int {
  kPoints = 0,
  kSpasticity = 1,
  kAmplitude = 2,
  kImageDuration = 3,
  kType = 4,
  kCollapseRate = 5,
  kRadiusFlux = 6,
  kFluxAmplitude = 7,
  kXTiling = 10,
  kYTiling = 11,
  kTileType = 12,
};

constexpr ControlRow kVortexControls[] = {
    {87, kPoints, 60, 2, 199},
    {88, kSpasticity, 300, 1, 300},
    {89, kAmplitude, 20, 1, 200},
    {90, kImageDuration, 20, 0, 1000},
    {91, kType, 1, 0, 5},
    {92, kCollapseRate, 5, 1, 50},
    {93, kRadiusFlux, 34, 0, 100},
    {94, kFluxAmplitude, 0, 0, 400},
    {95, kStrengthSlot, 1, -10, 10},  // "Strength"
    {96, kXTiling, 1, 1, 20},
    {97, kYTiling, 1, 1, 20},
    {98, kTileType, 0, 0, 3},
};

constexpr int kMaxPoints = 199;
constexpr float kAmplitudeUnit = 0.0033333334f;  // 1/300 radian
constexpr float kFluxUnit = 0.031836994f;        // radians per point along the ring
constexpr float kFullTurn = 6.283184f;

struct VortexPoint {
  int32_t x = 0, y = 0;
  int32_t previousX = 0, previousY = 0;
  int32_t colorIndex = 0;
  float angle = 0;
};

struct VortexState {
  bool started = false;
  int32_t clientWidth = 0, clientHeight = 0;
  int32_t pointCount = 0;
  std::array<VortexPoint, kMaxPoints> points{};
  float twistPeriod = 1;     // P
  float twistAmplitude = 0;  // A, radians per frame
  uint32_t durationMs = 0;
  int32_t type = 0;
  float collapse = 1;  // pixels the base radius shrinks per frame
  float fluxFrequency = 0, fluxAmplitude = 0;
  int32_t columns = 1, rows = 1, tileType = 0;
  int32_t centreX = 0, centreY = 0;
  float radius = 0;  // R, the base radius
  int32_t colorOffset = 1;
  bool visible = false;
  uint32_t endTime = 0;
};

// A fixed record of a few kilobytes: it lives for the whole process, so
// there is nothing to allocate.
VortexState vortex;

void SetUp(ModuleDescriptor& module);
void ReadLiveControls(ModuleDescriptor& module);
void MoveRing();
void DrawRing(gfx::Canvas& dc);

int32_t Start(ModuleDescriptor& module) noexcept {
  SetUp(module);
  return 0;
}

int32_t Draw(ModuleDescriptor& module) noexcept {
  VortexState& s = vortex;
  if (!s.started || module.dc == nullptr) return kYield;
  ReadLiveControls(module);
  if (s.visible) {
    MoveRing();
    DrawRing(*module.dc);
    s.endTime = TickCount() + s.durationMs;
  }
  if (TickDelta(TickCount(), s.endTime) <= 0) return kYield;
  SetUp(module);  // the old picture stays under the new vortex
  return 0;
}

int32_t Stop(ModuleDescriptor&) noexcept {
  vortex.started = false;
  return 0;
}

// A new vortex: the ring on the half diagonal round the centre, every
// point's previous position at the centre until the first move.
void SetUp(ModuleDescriptor& module) {
  VortexState& s = vortex;
  RandomizeControls(module);
  s.clientWidth = module.width;
  s.clientHeight = module.height;
  s.pointCount = ControlValue(module, kVortexControls, kPoints);
  s.twistPeriod = (RandomFraction() + 3.0f) *
                  static_cast<float>(301 - ControlValue(module, kVortexControls, kSpasticity));
  s.twistAmplitude =
      static_cast<float>(ControlValue(module, kVortexControls, kAmplitude)) * kAmplitudeUnit;
  s.durationMs =
      1000u * static_cast<uint32_t>(ControlValue(module, kVortexControls, kImageDuration));
  s.type = ControlValue(module, kVortexControls, kType);
  s.collapse = RandomFraction() +
               static_cast<float>(ControlValue(module, kVortexControls, kCollapseRate));
  s.fluxFrequency =
      static_cast<float>(ControlValue(module, kVortexControls, kRadiusFlux)) * kFluxUnit;
  s.fluxAmplitude = RandomFraction() +
                    static_cast<float>(ControlValue(module, kVortexControls, kFluxAmplitude));
  s.columns = ControlValue(module, kVortexControls, kXTiling);
  s.rows = ControlValue(module, kVortexControls, kYTiling);
  s.tileType = ControlValue(module, kVortexControls, kTileType);

  s.centreX = s.clientWidth / 2;
  s.centreY = s.clientHeight / 2;
  const double halfWidth = s.clientWidth >> 1, halfHeight = s.clientHeight >> 1;
  s.radius = static_cast<float>(std::sqrt(halfWidth * halfWidth + halfHeight * halfHeight));

  // The points go round from the last one; the type picks colour indices
  // that set odd points off against their even neighbours.
  const int32_t n = s.pointCount;
  const float step = kFullTurn / static_cast<float>(n);
  float angle = 0;
  for (int32_t k = n - 1; k >= 0; --k) {
    VortexPoint& p = s.points[k];
    p.x = s.centreX;
    p.y = s.centreY;
    p.angle = angle;
    angle += step;
    const bool odd = (k & 1) != 0;
    switch (odd ? s.type : 0) {
      case 1: p.colorIndex = n - k; break;
      case 2: p.colorIndex = k + 20; break;
      case 3: p.colorIndex = k * k; break;
      case 4: p.colorIndex = k >> 1; break;
      case 5: p.colorIndex = 2 * k; break;
      default: p.colorIndex = k; break;
    }
  }
  MoveRing();
  s.colorOffset = 1;
  s.visible = true;
  s.started = true;
}

// The live controls, each only when its source is live. A live value may
// lie past the control's limits (sound above full scale); it is held to
// them, which also keeps the twist period above zero: a "Spasticity" of
// 301 would make it zero and the twist a division by zero.
// LiveValue hands back -1 for a control that is not live: every one of
// these rows has a minimum of 0 or more.
void ReadLiveControls(ModuleDescriptor& module) {
  VortexState& s = vortex;
  float spasticity = 0;
  if (EvaluateLive(module, kSpasticity, spasticity) && spasticity == spasticity) {
    const ControlRow& row = RowOf(kVortexControls, kSpasticity);
    spasticity = std::clamp(spasticity, static_cast<float>(row.minimum),
                            static_cast<float>(row.maximum));
    s.twistPeriod = (RandomFraction() + 3.0f) * (301.0f - spasticity);
  }
  const int32_t amplitude = LiveValue(module, kVortexControls, kAmplitude, -1);
  if (amplitude >= 0) s.twistAmplitude = static_cast<float>(amplitude) * kAmplitudeUnit;
  const int32_t collapse = LiveValue(module, kVortexControls, kCollapseRate, -1);
  if (collapse >= 0) s.collapse = static_cast<float>(collapse);
  const int32_t flux = LiveValue(module, kVortexControls, kRadiusFlux, -1);
  if (flux >= 0) s.fluxFrequency = static_cast<float>(flux) * kFluxUnit;
  const int32_t fluxAmplitude = LiveValue(module, kVortexControls, kFluxAmplitude, -1);
  if (fluxAmplitude >= 0) s.fluxAmplitude = RandomFraction() + static_cast<float>(fluxAmplitude);
  s.columns = LiveValue(module, kVortexControls, kXTiling, s.columns);
  s.rows = LiveValue(module, kVortexControls, kYTiling, s.rows);
}

// One step of the collapse: each point moves to its radius (the base
// radius plus the wave along the ring), a point whose radius has fallen
// below zero staying at the centre; the ring stays visible while any point
// is off the centre. Then the base radius shrinks and the ring turns.
void MoveRing() {
  VortexState& s = vortex;
  s.visible = false;
  for (int32_t k = s.pointCount - 1; k >= 0; --k) {
    VortexPoint& p = s.points[k];
    p.previousX = p.x;
    p.previousY = p.y;
    float rho = std::sin(static_cast<float>(k) * s.fluxFrequency) * s.fluxAmplitude + s.radius;
    if (rho < 0) {
      rho = 0;
    } else {
      s.visible = true;
    }
    p.x = TruncateToInt(std::sin(p.angle) * rho) + s.centreX;
    p.y = TruncateToInt(std::cos(p.angle) * rho) + s.centreY;
  }
  s.radius -= s.collapse;
  const float turn = std::sin(s.radius / s.twistPeriod) * s.twistAmplitude;
  for (int32_t k = 0; k < s.pointCount; ++k) s.points[k].angle += turn;
}

// Each stretch of the ring filled between its previous and its new
// position, shrunk into every selected tile; then the colours move on.
void DrawRing(gfx::Canvas& dc) {
  VortexState& s = vortex;
  const int32_t tileWidth = s.clientWidth / s.columns;
  const int32_t tileHeight = s.clientHeight / s.rows;
  const int32_t n = s.pointCount;
  dc.SelectPen(gfx::Pen::Null());
  for (int32_t i = 0; i < s.columns; ++i) {
    for (int32_t j = 0; j < s.rows; ++j) {
      if (!TileSelected(i, j, s.tileType)) continue;
      const auto tiled = [&](int32_t x, int32_t y) {
        return gfx::Point{x / s.columns + i * tileWidth, y / s.rows + j * tileHeight};
      };
      for (int32_t k = 0; k < n; ++k) {
        const VortexPoint& p = s.points[k];
        const VortexPoint& q = s.points[(k + 1) % n];
        const gfx::Point band[4] = {tiled(p.x, p.y), tiled(q.x, q.y),
                                    tiled(q.previousX, q.previousY),
                                    tiled(p.previousX, p.previousY)};
        dc.SelectBrush(gfx::Brush::Solid(
            gfx::PaletteIndex(static_cast<uint32_t>((p.colorIndex + s.colorOffset) % 236))));
        dc.Polygon(band, 4);
      }
    }
  }
  dc.SelectBrush(gfx::Brush::Null());
  ++s.colorOffset;
}

}  // namespace

const ModuleDefinition kVortexModule{kVortexControls, Draw, NoOpEntryPoint, Start, Stop};

}  // namespace lumox
