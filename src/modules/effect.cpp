// Effect: draws nothing of its own, but every "Display Interval" seconds
// transforms whatever the other modules have left on the screen.
//
// It inverts nested rectangles, ellipse rings or stripes (an inversion on
// palette hardware keeps a saver colour a saver colour, so the bands keep
// cycling with the palette), folds the screen into a kaleidoscope by
// mirroring its top-left cell outward again and again, or stamps
// concentric palette rings whose colours start from the screen pixel under
// their centre, read back as a palette index. Each effect draws new random
// steps, and a "Random" control draws a new value for every effect.
#include <algorithm>
#include <cstdint>

#include "base/random.h"
#include "control/controls.h"
#include "gfx/canvas.h"
#include "gfx/palette_readback.h"
#include "modules/module_catalog.h"
#include "modules/module_support.h"
#include "modules/toolkit.h"
#include "platform/clock.h"
#include "state/palette_state.h"

namespace lumox {
namespace {

enum EffectControl : int {
  kType = 0,
  kXStrength = 1,
  kYStrength = 2,
  kDisplayInterval = 3,
};

constexpr ControlRow kEffectControls[] = {
    {99, kType, 0, 0, 25},
    {100, kXStrength, 100, 2, 320},
    {101, kYStrength, 80, 2, 240},
    {102, kDisplayInterval, 20, 0, 1000},
    {103, kStrengthSlot, 1, -10, 10},  // "Strength"
};

struct EffectState {
  bool started = false;
  int32_t type = 0;
  int32_t xStrength = 2, yStrength = 2;
  uint32_t intervalMs = 0;
  uint32_t nextTime = 0;
  int32_t width = 0, height = 0;
  int32_t right = 0, bottom = 0;     // W - 1, H - 1
  int32_t halfWidth = 0, halfHeight = 0;
  gfx::LogicalPalette colors{};      // the palette's colours as the stamps read them
};

EffectState effect;

void TakeControls(ModuleDescriptor& module);
void ApplyEffect(gfx::Canvas& dc, const ModuleDescriptor& module);

int32_t Init(ModuleDescriptor& module) noexcept {
  EffectState& s = effect;
  s.width = module.width;
  s.height = module.height;
  s.right = module.width - 1;
  s.bottom = module.height - 1;
  s.halfWidth = module.width >> 1;
  s.halfHeight = module.height >> 1;
  return 0;
}

int32_t Start(ModuleDescriptor& module) noexcept {
  TakeControls(module);
  effect.started = true;
  return 0;
}

int32_t Draw(ModuleDescriptor& module) noexcept {
  EffectState& s = effect;
  if (!s.started || module.dc == nullptr) return kYield;
  if (TickDelta(TickCount(), s.nextTime) < 0) return 0;
  ApplyEffect(*module.dc, module);
  TakeControls(module);
  return 0;
}

// Nothing to release; Draw is idle until the next Start.
int32_t Stop(ModuleDescriptor&) noexcept {
  effect.started = false;
  return 0;
}

// New values for the random controls, and the next effect one interval on.
void TakeControls(ModuleDescriptor& module) {
  EffectState& s = effect;
  RandomizeControls(module);
  EvaluateControls(module);
  s.type = ControlValue(module, kEffectControls, kType);
  s.xStrength = ControlValue(module, kEffectControls, kXStrength);
  s.yStrength = ControlValue(module, kEffectControls, kYStrength);
  s.intervalMs =
      1000u * static_cast<uint32_t>(ControlValue(module, kEffectControls, kDisplayInterval));
  s.nextTime = TickCount() + s.intervalMs;
  if (module.dc != nullptr) module.dc->SetStretchMode(gfx::StretchMode::ColorOnColor);
}

// A random number below n; 0 when there is no room (a window one pixel
// wide has no W - 1 to take a remainder by).
int32_t RandomBelow(int32_t n) { return n > 0 ? Rand() % n : 0; }

// Rectangles stepping inwards from (x, y, w, h), each inverted.
void InvertNested(gfx::Canvas& dc, int32_t x, int32_t y, int32_t w, int32_t h, int32_t stepX,
                  int32_t stepY) {
  while (w > 0 && h > 0) {
    dc.PatBlt(x, y, w, h, gfx::RasterOp::DstInvert);
    x += stepX;
    y += stepY;
    w -= 2 * stepX;
    h -= 2 * stepY;
  }
}

// Ellipse outlines stepping inwards, each inverting the pixels under it.
void EllipseRings(gfx::Canvas& dc, int32_t left, int32_t top, int32_t width, int32_t height,
                  int32_t stepX, int32_t stepY) {
  if (stepX <= 0 && stepY <= 0) return;
  const gfx::RasterMode oldMode = dc.SetRasterMode(gfx::RasterMode::Not);
  const gfx::Pen oldPen = dc.SelectPen(gfx::Pen::Solid((stepX + stepY) / 3, gfx::kWhite));
  const gfx::Brush oldBrush = dc.SelectBrush(gfx::Brush::Null());
  int32_t right = left + width, bottom = top + height;
  while (left < right && top < bottom) {
    dc.Ellipse(left, top, right, bottom);
    left += stepX;
    right -= stepX;
    top += stepY;
    bottom -= stepY;
  }
  dc.SelectPen(oldPen);
  dc.SelectBrush(oldBrush);
  dc.SetRasterMode(oldMode);
}

// Alternate vertical, then horizontal, stripes inverted; the flag runs on
// from the vertical stripes into the horizontal ones.
void Stripes(gfx::Canvas& dc, int32_t bx, int32_t by) {
  const EffectState& s = effect;
  bool on = false;
  for (int64_t x = 0; x < int64_t{s.width} - bx; x += bx) {
    on = !on;
    if (on) dc.PatBlt(static_cast<int32_t>(x), 0, bx, s.height, gfx::RasterOp::DstInvert);
  }
  for (int64_t y = 0; y < int64_t{s.height} - by; y += by) {
    on = !on;
    if (on) dc.PatBlt(0, static_cast<int32_t>(y), s.width, by, gfx::RasterOp::DstInvert);
  }
}

// Folds the (X, Y) corner of the screen: the top-left quarter mirrored to
// its right, then that band mirrored below. Deeper folds do the smaller
// corners first, so the screen becomes a 2^depth x 2^depth kaleidoscope of
// its top-left cell; seeded, that cell is first a random piece of the
// screen stretched into it.
void MirrorFold(gfx::Canvas& dc, int32_t x, int32_t y, int32_t depth, bool seeded) {
  const EffectState& s = effect;
  const int32_t sx = x >> 1, sy = y >> 1;
  if (depth > 1) MirrorFold(dc, sx, sy, depth - 1, seeded);
  if (seeded && depth == 1) {
    const int32_t k1 = RandomBelow((sx >> 1) + 1);
    const int32_t s1 = Rand() % 2 != 0 ? -1 : 1;
    const int32_t k2 = RandomBelow((sy >> 1) + 1);
    const int32_t s2 = Rand() % 2 != 0 ? -1 : 1;
    const int32_t pieceWidth = sx + k1 * s1, pieceHeight = sy + k2 * s2;
    const int32_t pieceY = RandomBelow(s.height - pieceHeight);
    const int32_t pieceX = RandomBelow(s.width - pieceWidth);
    dc.StretchBlt(0, 0, sx + 1, sy + 1, dc, pieceX, pieceY, pieceWidth, pieceHeight);
  }
  dc.StretchBlt(x, 0, -(sx + 1), sy + 1, dc, 0, 0, sx, sy);
  dc.StretchBlt(0, y, x + 1, -(sy + 1), dc, 0, 0, x, sy);
}

// n stamps of concentric palette shapes, each starting from the palette
// index of the screen pixel at its centre. A pixel that cannot be read (under
// an overlay box, outside the clip) gives no stamp.
void PaletteStamps(gfx::Canvas& dc, const ModuleDescriptor& module, int32_t n, int32_t diameter,
                   int32_t style) {
  EffectState& s = effect;
  for (int i = 0; i < gfx::kSaverColors; ++i) {
    s.colors[static_cast<size_t>(i)] =
        module.palette != nullptr ? module.palette->entries[static_cast<size_t>(i)].Color()
                                  : gfx::Rgb{};
  }
  for (int32_t k = 0; k < n; ++k) {
    const int32_t x = RandomBelow(s.right);
    const int32_t y = RandomBelow(s.bottom);
    const int32_t index = gfx::GetPixelPaletteIndex(dc, x, y, s.colors);
    if (index >= 0) ConcentricFill(dc, x, y, index, diameter, style);
  }
}

void ApplyEffect(gfx::Canvas& dc, const ModuleDescriptor& module) {
  const EffectState& s = effect;
  int32_t bx = s.xStrength + Rand() % 8;
  int32_t by = s.yStrength + Rand() % 8;
  const int32_t n = bx % 20;
  const int32_t diameter = by % 30;
  switch (s.type) {
    case 0: InvertNested(dc, 0, 0, s.right, s.bottom, bx, by); break;
    case 1: EllipseRings(dc, 0, 0, s.right, s.bottom, bx, by); break;
    case 2:
      InvertNested(dc, 0, 0, s.right, s.bottom, bx, by);
      InvertNested(dc, 0, 0, s.right, s.bottom, by, bx);
      break;
    case 3:
      EllipseRings(dc, 0, 0, s.right, s.bottom, bx, by);
      EllipseRings(dc, 0, 0, s.right, s.bottom, by, bx);
      break;
    case 4: {
      bx &= ~1;
      by &= ~1;
      const gfx::Point corners[] = {
          {0, 0}, {s.halfWidth, s.halfHeight}, {s.halfWidth, 0}, {0, s.halfHeight}};
      for (const gfx::Point& c : corners) {
        InvertNested(dc, c.x, c.y, s.halfWidth, s.halfHeight, bx / 2, by / 2);
      }
      break;
    }
    case 5: {
      const gfx::Point corners[] = {
          {0, 0}, {s.halfWidth, s.halfHeight}, {s.halfWidth, 0}, {0, s.halfHeight}};
      for (const gfx::Point& c : corners) {
        EllipseRings(dc, c.x, c.y, s.halfWidth, s.halfHeight, bx / 2, by / 2);
      }
      break;
    }
    case 18: Stripes(dc, bx, by); break;
    case 19: MirrorFold(dc, s.width, s.height, 1 + Rand() % 6, false); break;
    case 20: MirrorFold(dc, s.width, s.height, 1 + Rand() % 6, true); break;
    case 21: PaletteStamps(dc, module, n, diameter, 1); break;
    case 22: PaletteStamps(dc, module, n, diameter, 9); break;
    case 23: PaletteStamps(dc, module, n, diameter, 17); break;
    case 24: PaletteStamps(dc, module, n, diameter, 25); break;
    case 25: PaletteStamps(dc, module, n, diameter, Rand() % 30); break;
    default:  // 6-17: folds of depth 1 to 6, without and with a seed
      if (s.type >= 6 && s.type <= 11) MirrorFold(dc, s.width, s.height, s.type - 5, false);
      if (s.type >= 12 && s.type <= 17) MirrorFold(dc, s.width, s.height, s.type - 11, true);
      break;
  }
}

}  // namespace

const ModuleDefinition kEffectModule{kEffectControls, Draw, Init, Start, Stop};

}  // namespace lumox
