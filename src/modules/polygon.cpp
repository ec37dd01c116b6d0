// Polygon: one filled polygon whose vertices bounce around the screen.
//
// Each frame the polygon is filled in the next palette colour (the index
// runs up to 235 and back down again), repeated with rotational symmetry
// about the screen centre and shrunk into a grid of tiles. Nothing is
// erased: the frames pile up into a growing band of colour that the palette
// animation sets flowing. Every 100 seconds the module starts over from new
// vertices, leaving the old picture on the screen.
#include <algorithm>
#include <array>
#include <cstdint>

#include "base/random.h"
#include "control/controls.h"
#include "gfx/canvas.h"
#include "modules/module_catalog.h"
#include "modules/module_support.h"
#include "modules/toolkit.h"
#include "platform/clock.h"

namespace lumox {
namespace {

enum PolygonControl : int {
  kVertices = 0,
  kSymmetry = 1,
  kSpeed = 2,
  kOutline = 3,
  kXTiling = 4,
  kYTiling = 5,
  kTileType = 6,
};

constexpr ControlRow kPolygonControls[] = {
    {49, kVertices, 3, 2, 20},
    {50, kSymmetry, 10, 1, 50},
    {51, kSpeed, 4, 1, 320},
    {52, kOutline, 0, 0, 1},
    {53, kXTiling, 1, 1, 20},
    {54, kYTiling, 1, 1, 20},
    {55, kTileType, 0, 0, 3},
    {56, kStrengthSlot, 1, -10, 10},  // "Strength"
};

constexpr float kFullTurn = 6.2832f;
constexpr int kMaxVertices = 20;
// Start clamps the speed it reads; a live speed may go faster.
constexpr int32_t kStartSpeedLimit = 100;
constexpr uint32_t kRestartMs = 100000;

struct Vertex {
  int32_t x = 0, y = 0;
  int32_t vx = 1, vy = 1;  // +1 or -1
};

struct PolygonState {
  bool started = false;
  int32_t clientWidth = 0, clientHeight = 0;
  int32_t vertexCount = 0;
  std::array<Vertex, kMaxVertices> vertices{};
  int32_t symmetry = 1;
  float angleStep = kFullTurn;
  int32_t speed = 1;
  bool outline = false;
  int32_t columns = 1, rows = 1, tileType = 0;
  int32_t tileWidth = 0, tileHeight = 0;
  gfx::Point centre;
  int32_t colorIndex = 1, colorDirection = 1;
  uint32_t restartTime = 0;
  // Scratch for one symmetric copy and for its tiled, scaled copy.
  std::array<gfx::Point, kMaxVertices> rotated{};
  std::array<gfx::Point, kMaxVertices> tiled{};
};

// The state is a few hundred bytes of fixed arrays: it lives here for the
// whole process, so Init has nothing to allocate.
PolygonState polygon;

void DrawSymmetricCopies(gfx::Canvas& dc);
void MoveVertices();

int32_t Start(ModuleDescriptor& module) noexcept {
  PolygonState& s = polygon;
  RandomizeControls(module);
  EvaluateControls(module);
  s.clientWidth = module.width;
  s.clientHeight = module.height;
  s.vertexCount = ControlValue(module, kPolygonControls, kVertices);
  s.symmetry = ControlValue(module, kPolygonControls, kSymmetry);
  s.speed = std::min(ControlValue(module, kPolygonControls, kSpeed), kStartSpeedLimit);
  // Two vertices make a line, which only shows with an outline.
  s.outline = ControlValue(module, kPolygonControls, kOutline) != 0 || s.vertexCount == 2;
  s.columns = ControlValue(module, kPolygonControls, kXTiling);
  s.rows = ControlValue(module, kPolygonControls, kYTiling);
  s.tileType = ControlValue(module, kPolygonControls, kTileType);

  s.colorIndex = 1;
  s.colorDirection = 1;
  s.angleStep = kFullTurn / static_cast<float>(s.symmetry);
  s.tileWidth = s.clientWidth / s.columns;
  s.tileHeight = s.clientHeight / s.rows;
  s.centre = {s.clientWidth >> 1, s.clientHeight >> 1};

  // The vertices start inside the first tile (a window narrower than the
  // tiling has tiles of no width: they start on its edge) and then roam
  // the whole client area.
  const int32_t xSpan = std::max(s.tileWidth, 1);
  const int32_t ySpan = std::max(s.tileHeight, 1);
  for (int32_t k = s.vertexCount - 1; k >= 0; --k) {
    Vertex& v = s.vertices[k];
    v.x = Rand() % xSpan;
    v.y = Rand() % ySpan;
    v.vx = Rand() % 2 != 0 ? -1 : 1;
    v.vy = Rand() % 2 != 0 ? -1 : 1;
  }
  s.restartTime = TickCount() + kRestartMs;
  s.started = true;
  return 0;
}

int32_t Draw(ModuleDescriptor& module) noexcept {
  PolygonState& s = polygon;
  if (!s.started || module.dc == nullptr) return kYield;
  gfx::Canvas& dc = *module.dc;

  const int32_t symmetry = LiveValue(module, kPolygonControls, kSymmetry, s.symmetry);
  if (symmetry != s.symmetry) {
    s.symmetry = symmetry;
    s.angleStep = kFullTurn / static_cast<float>(symmetry);
  }
  s.speed = LiveValue(module, kPolygonControls, kSpeed, s.speed);
  s.columns = LiveValue(module, kPolygonControls, kXTiling, s.columns);
  s.rows = LiveValue(module, kPolygonControls, kYTiling, s.rows);
  s.tileWidth = s.clientWidth / s.columns;
  s.tileHeight = s.clientHeight / s.rows;

  s.colorIndex += s.colorDirection;
  if (s.colorIndex >= 235 || s.colorIndex <= 0) s.colorDirection = -s.colorDirection;

  dc.SelectPen(s.outline ? gfx::Pen::Solid(1, gfx::PaletteIndex(236 - s.colorIndex))
                         : gfx::Pen::Null());
  dc.SelectBrush(gfx::Brush::Solid(gfx::PaletteIndex(s.colorIndex)));
  DrawSymmetricCopies(dc);
  dc.SelectBrush(gfx::Brush::StockBlack());
  dc.SelectPen(gfx::Pen::Null());

  MoveVertices();
  if (TickDelta(TickCount(), s.restartTime) > 0) Start(module);  // the picture stays
  return 0;
}

int32_t Stop(ModuleDescriptor&) noexcept {
  polygon.started = false;
  return 0;
}

// The polygon through `points`, scaled into the first tile and translated
// into every selected tile (plain copies, nothing mirrored).
void DrawTiledPolygon(gfx::Canvas& dc, const gfx::Point* points) {
  PolygonState& s = polygon;
  for (int32_t i = 0; i < s.columns; ++i) {
    for (int32_t j = 0; j < s.rows; ++j) {
      if (!TileSelected(i, j, s.tileType)) continue;
      for (int32_t k = 0; k < s.vertexCount; ++k) {
        s.tiled[k] = {points[k].x / s.columns + i * s.tileWidth,
                      points[k].y / s.rows + j * s.tileHeight};
      }
      dc.Polygon(s.tiled.data(), s.vertexCount);
    }
  }
}

// The polygon and its copies turned about the screen centre by whole
// multiples of the angle step; each copy turns the unrotated vertices, so
// truncation never accumulates.
void DrawSymmetricCopies(gfx::Canvas& dc) {
  PolygonState& s = polygon;
  for (int32_t copy = 0; copy < s.symmetry; ++copy) {
    const float angle = static_cast<float>(copy) * s.angleStep;
    for (int32_t k = 0; k < s.vertexCount; ++k) {
      gfx::Point p{s.vertices[k].x - s.centre.x, s.vertices[k].y - s.centre.y};
      if (copy > 0) RotatePoint(p, angle);
      s.rotated[k] = {p.x + s.centre.x, p.y + s.centre.y};
    }
    DrawTiledPolygon(dc, s.rotated.data());
  }
}

// Each coordinate steps by the speed; one that would pass an edge of the
// client area turns back and stays where it is for this frame. A position
// on the right or bottom edge itself is still inside.
void MoveVertices() {
  PolygonState& s = polygon;
  for (int32_t k = 0; k < s.vertexCount; ++k) {
    Vertex& v = s.vertices[k];
    const int64_t x = int64_t{v.x} + int64_t{v.vx} * s.speed;
    if (x < 0 || x > s.clientWidth) {
      v.vx = -v.vx;
    } else {
      v.x = static_cast<int32_t>(x);
    }
    const int64_t y = int64_t{v.y} + int64_t{v.vy} * s.speed;
    if (y < 0 || y > s.clientHeight) {
      v.vy = -v.vy;
    } else {
      v.y = static_cast<int32_t>(y);
    }
  }
}

}  // namespace

const ModuleDefinition kPolygonModule{kPolygonControls, Draw, NoOpEntryPoint, Start, Stop};

}  // namespace lumox
