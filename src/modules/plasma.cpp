// Plasma: a cloud grown by recursive midpoint displacement in an 8-bit
// buffer of palette indices.
//
// The buffer is a bottom-up bitmap (memory row 0 is the bottom screen row)
// in which 0 means "not computed yet". A stack of rectangles is subdivided
// depth-first, 512 rectangles a frame: each sets the midpoints of its edges
// from their end points plus a random displacement that shrinks with the
// edge, and its centre from the mean of its corners. The top-left quadrant
// is always popped first, so the finished part grows from the screen's
// top-left corner along the diagonal. While it grows, that finished square
// is shown stretched over the top-left quarter of the screen and mirrored
// into the other three; when the cloud is complete an image effect folds it
// and the whole picture is shown. Sometimes the module stops early and holds
// the kaleidoscope instead. After "Image Duration" seconds a new cloud starts.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "base/random.h"
#include "base/truncate.h"
#include "control/controls.h"
#include "gfx/canvas.h"
#include "image/image_effects.h"
#include "modules/module_catalog.h"
#include "modules/module_support.h"
#include "platform/clock.h"
#include "platform/system.h"

namespace lumox {
namespace {

enum PlasmaControl : int {
  kRoughness = 0,
  kUpdateInterval = 1,
  kEffect = 2,
  kImageDuration = 3,
};

constexpr ControlRow kPlasmaControls[] = {
    {44, kRoughness, 10, 1, 100},
    {45, kUpdateInterval, 5, 1, 30},
    {46, kEffect, 0, 0, 20},
    {47, kImageDuration, 30, 1, 1000},
    {48, kStrengthSlot, 1, -10, 10},  // "Strength"
};

constexpr int32_t kColours = 236;
constexpr int32_t kRectanglesPerFrame = 512;
constexpr int32_t kStartProgress = 32;
// Depth-first halving keeps at most three rectangles per level plus one;
// 16384 pixels take 15 levels.
constexpr size_t kStackCapacity = 64;

struct Box {
  int32_t x0, y0, x1, y1;
};

struct PlasmaState {
  int32_t width = 0, height = 0, stride = 0;
  std::vector<uint8_t> bitmap;   // stride x (height + 3), bottom-up
  std::vector<uint8_t> scratch;  // the image effects' copy, made once
  std::array<Box, kStackCapacity> stack{};
  size_t stackCount = 0;
  double roughness = 0.5;
  uint32_t updateInterval = 0, holdTime = 0;  // milliseconds
  int32_t effect = 0;
  int32_t lastProgress = kStartProgress;
  uint32_t nextUpdate = 0;
  bool pictureHeld = false;  // waiting for nextPicture
  uint32_t nextPicture = 0;
  bool done = false;

  uint8_t& At(int32_t x, int32_t memoryRow) {
    return bitmap[static_cast<size_t>(memoryRow) * stride + x];
  }
  gfx::DibView View() const { return {bitmap.data(), width, height, nullptr, 0}; }
};

std::unique_ptr<PlasmaState> plasma;

bool Allocate(const ModuleDescriptor& module);
int32_t Progress();
void ShowQuarterView(gfx::Canvas& dc, int32_t progress);
void Subdivide();

int32_t Start(ModuleDescriptor& module) noexcept {
  RandomizeControls(module);
  EvaluateControls(module);
  if (!plasma && !Allocate(module)) {
    System().DebugOutput("Could not allocate buffers");
    return 0;
  }
  PlasmaState& s = *plasma;
  const int32_t roughness = ControlValue(module, kPlasmaControls, kRoughness);
  s.roughness = (roughness == 100 ? Rand() % 60 + 20 : roughness) * 0.05;
  s.updateInterval = 1000u * static_cast<uint32_t>(ControlValue(module, kPlasmaControls, kUpdateInterval));
  s.effect = ControlValue(module, kPlasmaControls, kEffect);
  s.holdTime = 1000u * static_cast<uint32_t>(ControlValue(module, kPlasmaControls, kImageDuration));
  if (module.dc != nullptr) module.dc->SetStretchMode(gfx::StretchMode::ColorOnColor);

  std::fill(s.bitmap.begin(), s.bitmap.end(), 0);
  const int32_t w1 = s.width - 1, h1 = s.height - 1;
  s.stack[0] = {0, 0, w1, h1};
  s.stackCount = 1;
  for (auto [x, y] : {std::pair{0, 0}, {w1, 0}, {0, h1}, {w1, h1}}) {
    s.At(x, y) = static_cast<uint8_t>(Rand() % kColours);
  }
  s.pictureHeld = false;
  s.nextUpdate = TickCount();
  return 0;
}

int32_t Draw(ModuleDescriptor& module) noexcept {
  if (!plasma || module.dc == nullptr) return kYield;
  PlasmaState& s = *plasma;
  gfx::Canvas& dc = *module.dc;
  const uint32_t now = TickCount();
  if (s.pictureHeld && TickDelta(now, s.nextPicture) >= 0) {
    s.done = false;
    s.lastProgress = kStartProgress;
    Start(module);
  }
  if (s.done) return kYield;

  const int32_t progress = Progress();
  const bool grownEnough = progress > s.lastProgress + 30 || s.stackCount == 0;
  if (grownEnough && TickDelta(now, s.nextUpdate) >= 0) {
    bool finish = false;
    if (s.stackCount != 0) {
      finish = progress > std::min(s.width - 1, s.height - 1) / 2 && Rand() % 4 == 0;
      ShowQuarterView(dc, progress);
    } else {
      ApplyImageEffect({s.bitmap.data(), s.width, s.height, s.stride}, s.effect, s.scratch);
      dc.StretchDIBits(0, 0, s.width, s.height, 0, 0, s.width, s.height, s.View());
      finish = true;
    }
    s.lastProgress = progress;
    if (finish) {
      s.done = true;
      s.pictureHeld = true;
      s.nextPicture = now + s.holdTime;
      return 0;
    }
    s.nextUpdate = now + s.updateInterval;
  }
  Subdivide();
  return 0;
}

int32_t Stop(ModuleDescriptor&) noexcept {
  plasma.reset();
  return 0;
}

bool Allocate(const ModuleDescriptor& module) {
  try {
    auto state = std::make_unique<PlasmaState>();
    state->width = std::max(module.width, 1);
    state->height = std::max(module.height, 1);
    state->stride = (state->width + 3) & ~3;
    const size_t rows = static_cast<size_t>(state->height);
    state->bitmap.assign(static_cast<size_t>(state->stride) * (rows + 3), 0);
    state->scratch.assign(static_cast<size_t>(state->stride) * rows, 0);
    plasma = std::move(state);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

// How far the finished part reaches along the diagonal from the screen's
// top-left corner. The walk stops at the last column as well as the last
// row, so a window taller than wide never reads past a row's end.
int32_t Progress() {
  PlasmaState& s = *plasma;
  const int32_t h1 = s.height - 1;
  const int32_t limit = std::min(s.width - 1, h1);
  int32_t i = 0;
  while (i < limit && s.At(i, h1 - i) != 0) ++i;
  return i;
}

// The top-left i x i square stretched over the top-left quarter, then that
// quarter mirrored into the other three.
void ShowQuarterView(gfx::Canvas& dc, int32_t i) {
  const PlasmaState& s = *plasma;
  const int32_t w1 = s.width - 1, h1 = s.height - 1;
  const int32_t halfW = s.width >> 1, halfH = s.height >> 1;
  dc.StretchDIBits(0, 0, halfW, halfH, 0, s.height - i, i, i, s.View());
  dc.StretchBlt(w1, h1, -halfW, -halfH, dc, 0, 0, halfW, halfH);
  dc.StretchBlt(w1, 0, -halfW, halfH, dc, 0, 0, halfW, halfH);
  dc.StretchBlt(0, h1, halfW, -halfH, dc, 0, 0, halfW, halfH);
}

// An edge midpoint not computed yet: the mean of the edge's ends (read now:
// on a one-pixel-wide rectangle an earlier midpoint may be one of them),
// displaced by up to half the edge's length times the roughness.
void SetMidpoint(int32_t x, int32_t y, Box ends, int32_t scale) {
  PlasmaState& s = *plasma;
  uint8_t& pixel = s.At(x, y);
  if (pixel != 0) return;
  const int32_t a = s.At(ends.x0, ends.y0), b = s.At(ends.x1, ends.y1);
  const double offset = (Rand() / 32767.0 - 0.5) * scale * s.roughness;
  int32_t value = TruncateToInt(offset + ((a + b) >> 1));
  if (value < 0) value = 5;
  if (value >= kColours) value = 231;
  pixel = static_cast<uint8_t>(value);
}

void Subdivide() {
  PlasmaState& s = *plasma;
  for (int n = 0; n < kRectanglesPerFrame && s.stackCount != 0; ++n) {
    const auto [x0, y0, x1, y1] = s.stack[--s.stackCount];
    if (x1 - x0 <= 1 && y1 - y0 <= 1) continue;
    const int32_t mx = (x0 + x1) >> 1, my = (y0 + y1) >> 1;
    const int32_t across = std::abs(x0 - x1), up = std::abs(y0 - y1);
    SetMidpoint(mx, y0, {x0, y0, x1, y0}, across);
    SetMidpoint(x1, my, {x1, y0, x1, y1}, up);
    SetMidpoint(mx, y1, {x0, y1, x1, y1}, across);
    SetMidpoint(x0, my, {x0, y0, x0, y1}, up);
    s.At(mx, my) =
        static_cast<uint8_t>((s.At(x0, y0) + s.At(x1, y0) + s.At(x0, y1) + s.At(x1, y1)) >> 2);
    if (s.stackCount + 4 > kStackCapacity) continue;  // only past 2^20 pixels a side
    s.stack[s.stackCount++] = {mx, y0, x1, my};
    s.stack[s.stackCount++] = {x0, y0, mx, my};
    s.stack[s.stackCount++] = {mx, my, x1, y1};
    s.stack[s.stackCount++] = {x0, my, mx, y1};  // the top-left quadrant, popped next
  }
}

}  // namespace

const ModuleDefinition kPlasmaModule{kPlasmaControls, Draw, NoOpEntryPoint, Start, Stop};

}  // namespace lumox
