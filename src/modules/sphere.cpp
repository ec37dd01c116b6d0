// Sphere: balls of concentric palette rings stamped in a ring of symmetric
// positions around the centre of the screen (or of every tile), each ball
// clipped to a circle and, optionally, to its wedge of the ring, so the
// picture looks like a kaleidoscope of spheres.
//
// The ball pictures are painted once per rebuild, in ten colourings, into
// memory surfaces that hold the same physical indices as the screen, so a
// frame only copies squares of them through a clip region and costs the
// same however many rings a ball has; the palette animation recolours them
// on the screen. The balls' distance from their centre follows the sound
// volume when the player runs, and is random each frame otherwise. After
// "Image Duration" seconds the controls are read again and the balls are
// repainted with new colourings.
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
#include "gfx/region.h"
#include "gfx/surface.h"
#include "modules/module_catalog.h"
#include "modules/module_support.h"
#include "modules/toolkit.h"
#include "overlay/overlays.h"
#include "platform/clock.h"
#include "platform/system.h"

namespace lumox {
namespace {

enum SphereControl : int {
  kSize = 0,
  kSymmetry = 1,
  kType = 2,
  kImageDuration = 3,
  kXTiling = 4,
  kYTiling = 5,
  kTileType = 6,
};

constexpr ControlRow kSphereControls[] = {
    {57, kSize, 100, 15, 250},         {58, kSymmetry, 8, 2, 128},      {59, kType, 0, 0, 63},
    {60, kImageDuration, 20, 1, 1000}, {61, kXTiling, 1, 1, 20},        {62, kYTiling, 1, 1, 20},
    {63, kTileType, 0, 0, 3},          {64, kStrengthSlot, 1, -10, 10},  // "Strength"
};

// "Type" bits; bits 3 and 4 (with the others) pick the ConcentricFill style.
constexpr int32_t kWedgeBit = 1;
constexpr int32_t kDoubleBit = 2;
constexpr int32_t kRandomSizeBit = 4;
constexpr int32_t kTileClipBit = 32;

constexpr float kFullTurn = 6.2832f;
constexpr int kBallColourings = 10;
constexpr int32_t kColouringStep = 20;  // palette indices between colourings
constexpr int32_t kSmallestBall = 10;
// The ball pictures are made once at the largest size "Size" allows, so a
// rebuild at another size needs no new memory.
constexpr int32_t kPictureSize = 250 + 2;
// Ball positions further out than this are off every screen; holding them
// here keeps the coordinate sums far from overflowing.
constexpr int64_t kFarAway = 1 << 24;

struct BallPicture {
  BallPicture() : surface(kPictureSize, kPictureSize), canvas(surface) {}
  gfx::Surface surface;
  gfx::Canvas canvas;
};

struct SphereState {
  int32_t width = 0, height = 0;
  std::array<std::unique_ptr<BallPicture>, kBallColourings> balls;
  int32_t diameter = 100;  // D
  int32_t symmetry = 8;    // N
  int32_t type = 0;        // T
  int32_t columns = 1, rows = 1, tileType = 0;
  float angleStep = kFullTurn / 8;  // S
  float halfDiagonal = 0;           // R
  int32_t colourMultiplier = 0;     // m
  uint32_t rebuildTime = 0;
  bool wedge = false, doubled = false, randomSize = false, tileClip = false;
  // The clip the canvas had when Draw began (the overlay boxes excluded,
  // say): every ball is clipped to it too, and it is put back at the end.
  bool hasOuterClip = false;
  gfx::Region outerClip;
  // Scratch for the clip of one ball, kept so that their storage is reused.
  gfx::Region ballClip, wedgeClip;
};

std::unique_ptr<SphereState> sphere;

void SetUp(ModuleDescriptor& module);
void StampBall(gfx::Canvas& dc, const BallPicture& ball, int32_t x, int32_t y, float angle,
               float orbit, int32_t half, int32_t size, const gfx::Rect& tile);

int32_t Init(ModuleDescriptor& module) noexcept {
  std::unique_ptr<SphereState> s(new (std::nothrow) SphereState);
  if (s) {
    try {
      for (auto& ball : s->balls) ball = std::make_unique<BallPicture>();
    } catch (const std::bad_alloc&) {
      s.reset();
    }
  }
  if (!s) {
    System().DebugOutput("Could not allocate buffers");
  } else {
    s->width = module.width;
    s->height = module.height;
  }
  sphere = std::move(s);
  return 0;
}

int32_t Start(ModuleDescriptor& module) noexcept {
  if (sphere) SetUp(module);
  return 0;
}

int32_t Draw(ModuleDescriptor& module) noexcept {
  if (!sphere || module.dc == nullptr) return kYield;
  SphereState& s = *sphere;
  gfx::Canvas& dc = *module.dc;

  float phase = static_cast<float>(Rand()) / 32767.0f * s.angleStep;
  const int32_t centres = (s.columns + s.rows) >> 1;
  const float unit = s.halfDiagonal / static_cast<float>(std::max(centres, 1));  // U
  float orbit;                                                                   // r
  if (IsControlLive(kSourceVolume)) {
    orbit = ReadSoundLevel(kSourceVolume) * unit + 1.0f;
  } else {
    orbit = static_cast<float>(Rand()) / 32767.0f * unit;
  }
  // Farther balls take later colourings; a level that is not a number
  // (a zero full scale) counts as none.
  if (!(orbit == orbit)) orbit = 0;
  const int64_t shade = unit > 0 ? TruncateToInt(orbit / unit * 236.0f) : 0;
  const int64_t colouring = (shade * s.colourMultiplier / kColouringStep) % kBallColourings;
  const BallPicture& ball =
      *s.balls[static_cast<size_t>((colouring + kBallColourings) % kBallColourings)];

  const int32_t symmetry = LiveValue(module, kSphereControls, kSymmetry, s.symmetry);
  if (symmetry != s.symmetry) {
    s.symmetry = symmetry;
    s.angleStep = kFullTurn / static_cast<float>(symmetry);
    s.wedge = (s.type & kWedgeBit) != 0 && symmetry >= 3;
  }
  s.columns = LiveValue(module, kSphereControls, kXTiling, s.columns);
  s.rows = LiveValue(module, kSphereControls, kYTiling, s.rows);

  int32_t size = s.randomSize ? Rand() % s.diameter : 2 * s.diameter / (s.columns + s.rows);
  size = std::min(std::max(size, kSmallestBall), s.diameter);
  const int32_t half = size >> 1;  // Q

  s.hasOuterClip = dc.HasClipRegion();
  if (s.hasOuterClip) s.outerClip = dc.ClipRegion();
  const int32_t tileWidth = s.width / s.columns;
  const int32_t tileHeight = s.height / s.rows;
  const int32_t firstX = (s.width / 2) / s.columns;
  const int32_t firstY = (s.height / 2) / s.rows;
  for (int32_t i = 0; i < s.symmetry; ++i) {
    phase = s.angleStep - phase;
    const float start = static_cast<float>(i) * s.angleStep;
    const float end = static_cast<float>(i + 1) * s.angleStep;
    for (int32_t column = 0; column < s.columns; ++column) {
      for (int32_t row = 0; row < s.rows; ++row) {
        if (!TileSelected(column, row, s.tileType)) continue;
        const int32_t x = firstX + column * tileWidth;
        const int32_t y = firstY + row * tileHeight;
        if (s.wedge) {
          const gfx::Point corners[3] = {
              {x, y},
              {x + TruncateToInt(std::sin(start) * unit),
               y + TruncateToInt(unit * std::cos(start))},
              {x + TruncateToInt(unit * std::sin(end)), y + TruncateToInt(unit * std::cos(end))}};
          s.wedgeClip = gfx::Region::FromPolygon(corners, 3, /*winding=*/true);
        }
        const gfx::Rect tile{column * tileWidth, row * tileHeight, (column + 1) * tileWidth,
                             (row + 1) * tileHeight};
        StampBall(dc, ball, x, y, start + phase, orbit, half, size, tile);
        if (s.doubled) StampBall(dc, ball, x, y, end - phase, orbit, half, size, tile);
      }
    }
  }

  dc.SelectClipRegion(s.hasOuterClip ? &s.outerClip : nullptr);
  if (TickDelta(TickCount(), s.rebuildTime) > 0) SetUp(module);
  ExcludeVisibleOverlayBoxes(dc);
  return 0;
}

int32_t Stop(ModuleDescriptor&) noexcept {
  sphere.reset();
  return 0;
}

// Reads the controls and paints the ten ball pictures (Start, and every
// "Image Duration" seconds).
void SetUp(ModuleDescriptor& module) {
  SphereState& s = *sphere;
  RandomizeControls(module);
  EvaluateControls(module);
  // A live Size moves within its range: the pictures are made at the top of
  // it, and the balls never grow past them.
  const ModuleControl& sizeControl = module.controls[kSize];
  const bool liveSize = sizeControl.Source != kSourceSet && sizeControl.Source != kSourceRandom;
  s.diameter =
      HoldToRow(liveSize ? sizeControl.RangeHi : sizeControl.Value, RowOf(kSphereControls, kSize));
  s.symmetry = ControlValue(module, kSphereControls, kSymmetry);
  s.type = ControlValue(module, kSphereControls, kType);
  const int32_t duration = ControlValue(module, kSphereControls, kImageDuration);
  s.columns = ControlValue(module, kSphereControls, kXTiling);
  s.rows = ControlValue(module, kSphereControls, kYTiling);
  s.tileType = ControlValue(module, kSphereControls, kTileType);

  s.colourMultiplier = Rand() % 8;
  s.angleStep = kFullTurn / static_cast<float>(s.symmetry);
  const float halfWidth = static_cast<float>(std::max(s.width, 0) >> 1);
  const float halfHeight = static_cast<float>(std::max(s.height, 0) >> 1);
  s.halfDiagonal = std::sqrt(halfWidth * halfWidth + halfHeight * halfHeight);
  s.rebuildTime = TickCount() + static_cast<uint32_t>(duration) * 1000u;

  s.wedge = (s.type & kWedgeBit) != 0 && s.symmetry >= 3;
  s.doubled = (s.type & kDoubleBit) != 0;
  s.randomSize = (s.type & kRandomSizeBit) != 0;
  s.tileClip = (s.type & kTileClipBit) != 0;

  // A new bitmap starts black; the rings then cover the ball's square.
  for (int i = 0; i < kBallColourings; ++i) {
    BallPicture& ball = *s.balls[static_cast<size_t>(i)];
    ball.surface.Fill(gfx::kPhysicalBlack);
    ConcentricFill(ball.canvas, s.diameter / 2, s.diameter / 2, i * kColouringStep, s.diameter + 2,
                   s.type);
  }
}

// Copies the ball's middle square (size x size) to the point `orbit` pixels
// from (x, y) at `angle`, through a circular clip, cut to the wedge and the
// tile when those are on; the overlay boxes stay excluded. Leaves the ball's
// clip selected (Draw puts the outer clip back once, after all balls).
void StampBall(gfx::Canvas& dc, const BallPicture& ball, int32_t x, int32_t y, float angle,
               float orbit, int32_t half, int32_t size, const gfx::Rect& tile) {
  SphereState& s = *sphere;
  const int64_t offsetX =
      std::clamp<int64_t>(TruncateToInt(std::sin(angle) * orbit), -kFarAway, kFarAway);
  const int64_t offsetY =
      std::clamp<int64_t>(TruncateToInt(orbit * std::cos(angle)), -kFarAway, kFarAway);
  const int32_t left = static_cast<int32_t>(x + offsetX - half);
  const int32_t top = static_cast<int32_t>(y + offsetY - half);
  s.ballClip = gfx::Region::FromEllipse(left, top, left + 2 * half, top + 2 * half);
  if (s.wedge) s.ballClip.Combine(s.wedgeClip, gfx::RegionOp::And);
  if (s.hasOuterClip) s.ballClip.Combine(s.outerClip, gfx::RegionOp::And);
  dc.SelectClipRegion(&s.ballClip);
  if (s.tileClip) dc.IntersectClipRect(tile.left, tile.top, tile.right, tile.bottom);
  ExcludeVisibleOverlayBoxes(dc);
  const int32_t source = s.diameter / 2 - half;
  dc.BitBlt(left, top, size, size, ball.canvas, source, source);
}

}  // namespace

const ModuleDefinition kSphereModule{kSphereControls, Draw, Init, Start, Stop};

}  // namespace lumox
