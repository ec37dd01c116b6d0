// Stain: pictures computed pixel by pixel from two to four coloured nodes,
// grown ring by ring from the middle of the screen.
//
// Each picture places its nodes at random, colours them from the two ends
// of the palette (alternately near 235 and near 0), and picks one of ten
// formulas (the stain kinds) that turn a pixel's distances to the nodes into
// a palette index: bands of equal distance combined by XOR, OR or sum,
// colours blended by squared distance, a weave of two frequencies, a field
// swirling round the nodes, or mixtures of these chosen by a coarser band.
// The picture grows outward from a segment through the middle of the first
// tile, four rectangular rings per frame; each ring goes straight to the
// screen and is copied into the other tiles, mirrored. Distances are looked
// up in per-column and per-row tables of squares made once per picture, so
// a pixel costs a few additions and square roots. With "Folding" a ring is
// a back-and-forth repetition of a short sample of itself instead.
// When the picture fills its tile it stays for "Image Duration" seconds;
// then new nodes are picked and the next picture grows over the old one.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include "base/random.h"
#include "base/truncate.h"
#include "control/controls.h"
#include "gfx/canvas.h"
#include "modules/module_catalog.h"
#include "modules/module_support.h"
#include "modules/ring_painter.h"
#include "modules/toolkit.h"
#include "platform/clock.h"
#include "platform/system.h"

namespace lumox {
namespace {

enum StainControl : int {
  kNodes = 0,
  kFolding = 1,
  kType = 2,
  kImageDuration = 3,
  kXTiling = 10,
  kYTiling = 11,
  kTileType = 12,
};

constexpr ControlRow kStainControls[] = {
    {65, kNodes, 2, 2, 4},
    {66, kFolding, 0, 0, 20},
    {67, kType, 4, 0, 10},
    {68, kImageDuration, 20, 1, 1000},
    {69, kStrengthSlot, 1, -10, 10},  // "Strength"
    {70, kXTiling, 1, 1, 20},
    {71, kYTiling, 1, 1, 20},
    {72, kTileType, 0, 0, 3},
};

constexpr int kMaxNodes = 4;
constexpr int32_t kKinds = 10;  // "Type" 10 picks one of them at random
constexpr int kRingsPerFrame = 4;
// Node colours come from the ends of the palette: 235 down to 177 for even
// nodes, 0 up to 58 for odd ones.
constexpr int32_t kNodeColourSpread = 59;

struct StainNode {
  int32_t x = 0, y = 0;
  int32_t colour = 0;
};

// Squared distances from one pixel column (or row) to each node.
using Squares = std::array<int64_t, kMaxNodes>;

struct StainState;
using StainFunction = int32_t (*)(const StainState& s, int32_t x, int32_t y);

struct StainState {
  int32_t w = 0, h = 0;  // client size W, H
  std::vector<Squares> columnSquares, rowSquares;
  RingPainter painter;
  std::array<StainNode, kMaxNodes> nodes{};
  int32_t nodeCount = 2;
  int32_t kind = 0;
  StainFunction function = nullptr;
  int32_t fold = 0;
  uint32_t durationMs = 0;
  int32_t columns = 1, rows = 1, tileType = 0;
  float fx = 0, fy = 0;
  int32_t diagonal = 1;  // DG: the client diagonal, at least 1
  int32_t ringCount = 0;
  uint32_t nextPictureTime = 0;
};

std::unique_ptr<StainState> stain;

void SetUpPicture(ModuleDescriptor& module);
void PaintRing(gfx::Canvas& dc, const RingRect& ring);
extern const StainFunction kStainFunctions[kKinds];

int32_t Init(ModuleDescriptor& module) noexcept {
  stain.reset();
  std::unique_ptr<StainState> s(new (std::nothrow) StainState);
  bool allocated = s != nullptr && s->painter.Allocate(module.width, module.height);
  if (allocated) {
    try {
      s->columnSquares.assign(static_cast<size_t>(module.width), Squares{});
      s->rowSquares.assign(static_cast<size_t>(module.height), Squares{});
    } catch (const std::bad_alloc&) {
      allocated = false;
    }
  }
  if (!allocated) {
    // Idle: Draw finds no buffers and yields.
    System().DebugOutput("Could not allocate buffers");
    return 0;
  }
  s->w = module.width;
  s->h = module.height;
  s->nextPictureTime = TickCount();
  stain = std::move(s);
  return 0;
}

int32_t Start(ModuleDescriptor& module) noexcept {
  if (stain) SetUpPicture(module);
  return 0;
}

int32_t Draw(ModuleDescriptor& module) noexcept {
  if (!stain || module.dc == nullptr) return kYield;
  StainState& s = *stain;
  if (TickDelta(TickCount(), s.nextPictureTime) < 0) return kYield;
  gfx::Canvas& dc = *module.dc;

  s.columns = LiveValue(module, kStainControls, kXTiling, s.columns);
  s.rows = LiveValue(module, kStainControls, kYTiling, s.rows);
  // A live fold length is taken as it comes, not doubled as at set-up.
  s.fold = LiveValue(module, kStainControls, kFolding, s.fold);

  // The tiles share their edge pixels: tile i spans i * tw ... (i + 1) * tw.
  const int32_t tw = (s.w - 1) / s.columns;
  const int32_t th = (s.h - 1) / s.rows;
  // The rings grow from a segment through the middle of the first tile,
  // along its longer side, so the last ring touches all four tile edges.
  RingRect ring;
  if (tw > th) {
    ring = {th >> 1, th >> 1, tw - (th >> 1), th >> 1};
  } else {
    ring = {tw >> 1, tw >> 1, tw >> 1, th - (tw >> 1)};
  }
  ring = {ring.left - s.ringCount, ring.top - s.ringCount, ring.right + s.ringCount,
          ring.bottom + s.ringCount};
  RingRect origin = ring;
  if (!TileSelected(0, 0, s.tileType)) {
    // Paint in the next selected tile instead; with a single tile there is
    // none, and the picture counts as finished at once.
    if (s.columns > 1) {
      ring.left += tw;
      ring.right += tw;
    } else if (s.rows > 1) {
      ring.top += th;
      ring.bottom += th;
    } else {
      origin.left = -1;
    }
  }

  for (int k = 0; k < kRingsPerFrame; ++k) {
    if (origin.left < 0 || origin.top < 0) {
      // The picture fills its tile: hold it, and prepare the next one.
      s.nextPictureTime = TickCount() + s.durationMs;
      SetUpPicture(module);
      return 0;
    }
    PaintRing(dc, ring);
    if (s.columns + s.rows > 1) {
      TileRectEdges(dc, s.columns, s.rows, tw, th, s.tileType, ring.right - ring.left + 1,
                    ring.bottom - ring.top + 1, ring, origin);
    }
    ring = {ring.left - 1, ring.top - 1, ring.right + 1, ring.bottom + 1};
    origin = {origin.left - 1, origin.top - 1, origin.right + 1, origin.bottom + 1};
    ++s.ringCount;
  }
  return 0;
}

int32_t Stop(ModuleDescriptor&) noexcept {
  stain.reset();
  return 0;
}

// A random position from `margin` pixels inside the edges of a side of
// `length` pixels; on sides too short for the margins, the middle.
int32_t NodePosition(int32_t length, int32_t margin) {
  const int32_t span = length - 2 * margin - 1;
  return span > 0 ? Rand() % span + margin : length / 2;
}

// Start, and again after every finished picture: new controls, kind and
// nodes, and the tables of squared distances.
void SetUpPicture(ModuleDescriptor& module) {
  StainState& s = *stain;
  RandomizeControls(module);
  EvaluateControls(module);
  s.nodeCount = ControlValue(module, kStainControls, kNodes);
  s.fold = 2 * ControlValue(module, kStainControls, kFolding);
  s.kind = ControlValue(module, kStainControls, kType);
  s.durationMs = 1000u * static_cast<uint32_t>(ControlValue(module, kStainControls, kImageDuration));
  s.columns = ControlValue(module, kStainControls, kXTiling);
  s.rows = ControlValue(module, kStainControls, kYTiling);
  s.tileType = ControlValue(module, kStainControls, kTileType);

  if (s.kind >= kKinds) {
    // A random kind, and between two nodes and the chosen number.
    s.nodeCount = Rand() % (s.nodeCount - 1) + 2;
    s.kind = Rand() % kKinds;
  }
  s.function = kStainFunctions[s.kind];
  s.ringCount = 0;
  if (module.dc != nullptr) module.dc->SetStretchMode(gfx::StretchMode::ColorOnColor);

  const float frequencyScale = 4.0f * static_cast<float>(s.nodeCount) * 0.02f;
  s.fx = RandomFraction() * frequencyScale;
  s.fy = RandomFraction() * frequencyScale;
  // A one-pixel window has no diagonal; 1 keeps the distance scale finite.
  const double w1 = s.w - 1, h1 = s.h - 1;
  s.diagonal = std::max(TruncateToInt(std::sqrt(w1 * w1 + h1 * h1)), 1);

  for (int k = 0; k < s.nodeCount; ++k) {
    StainNode& node = s.nodes[k];
    node.x = NodePosition(s.w, 4);
    node.y = NodePosition(s.h, 4);
    const int32_t spread = Rand() % kNodeColourSpread;
    node.colour = k % 2 == 0 ? 235 - spread : spread;
  }
  for (int32_t y = 0; y < s.h; ++y) {
    for (int k = 0; k < s.nodeCount; ++k) {
      const int64_t d = y - s.nodes[k].y;
      s.rowSquares[y][k] = d * d;
    }
  }
  for (int32_t x = 0; x < s.w; ++x) {
    for (int k = 0; k < s.nodeCount; ++k) {
      const int64_t d = x - s.nodes[k].x;
      s.columnSquares[x][k] = d * d;
    }
  }
}

void PaintRing(gfx::Canvas& dc, const RingRect& ring) {
  StainState& s = *stain;
  const auto index = [&s](int32_t x, int32_t y) { return s.function(s, x, y); };
  if (s.fold > 0) {
    s.painter.PaintFolded(dc, ring, s.fold, FoldCopy::SkewedTowardsLongerFold, index);
  } else {
    s.painter.PaintExact(dc, ring, index);
  }
}

// --- the stain functions: a client pixel to a palette index ---

// A palette index from any value. Every formula's values are non-negative,
// where this is the plain remainder by 236.
int32_t Mod236(int64_t v) {
  const int64_t r = v % gfx::kSaverColors;
  return static_cast<int32_t>(r < 0 ? r + gfx::kSaverColors : r);
}

int64_t SquaredDistance(const StainState& s, int32_t x, int32_t y, int k) {
  return s.columnSquares[x][k] + s.rowSquares[y][k];
}

// The distance to node k scaled so that the client diagonal is 236.
int32_t ScaledDistance(const StainState& s, int32_t x, int32_t y, int k) {
  const double distance = std::sqrt(static_cast<double>(SquaredDistance(s, x, y, k)));
  return TruncateToInt(distance / s.diagonal * 236.0);
}

// The node colours weighted by squared distance. The sums are taken in 64
// bits: at 1920 x 1080 and above four weighted squares pass 2^31.
int32_t Blend(const StainState& s, int32_t x, int32_t y) {
  int64_t squares = 0, weighted = 0;
  for (int k = 0; k < s.nodeCount; ++k) {
    const int64_t d = SquaredDistance(s, x, y, k);
    squares += d;
    weighted += d * s.nodes[k].colour;
  }
  const int64_t q = squares >> 2;
  return q == 0 ? 0 : static_cast<int32_t>(weighted / q);
}

// Which of three formulas a pixel takes in the mixed kinds: bands 20
// palette steps wide of the blend.
int32_t Band(const StainState& s, int32_t x, int32_t y) {
  return Mod236(Blend(s, x, y)) / 20 % 3;
}

int32_t DistanceXor(const StainState& s, int32_t x, int32_t y) {
  int32_t v = 0;
  for (int k = 0; k < s.nodeCount; ++k) v ^= ScaledDistance(s, x, y, k);
  return Mod236(v);
}

int32_t BlendKind(const StainState& s, int32_t x, int32_t y) { return Mod236(Blend(s, x, y)); }

int32_t DistanceSum(const StainState& s, int32_t x, int32_t y) {
  int64_t v = 0;
  for (int k = 0; k < s.nodeCount; ++k) v += ScaledDistance(s, x, y, k);
  return Mod236(v);
}

int32_t Weave(const StainState& s, int32_t x, int32_t y) {
  const int32_t across = Mod236(TruncateToInt64(std::floor(static_cast<float>(x) * s.fx)));
  const int32_t down = Mod236(TruncateToInt64(std::floor(static_cast<float>(y) * s.fy)));
  return Mod236(across ^ down);
}

int32_t DistanceOr(const StainState& s, int32_t x, int32_t y) {
  int32_t v = 0;
  for (int k = 0; k < s.nodeCount; ++k) v |= ScaledDistance(s, x, y, k);
  return Mod236(v);
}

// A field swirling round the nodes, each weighted by its colour. The terms
// are exact in 64 bits (each is at most 16 * 235 times the pixel's distance
// from the node), so no product wraps on large screens.
int32_t Field(const StainState& s, int32_t x, int32_t y) {
  int64_t p = 0, q = 0;
  for (int k = 0; k < s.nodeCount; ++k) {
    const int64_t d = SquaredDistance(s, x, y, k);
    if (d == 0) return 0;
    const int64_t dx = s.nodes[k].x - x, dy = s.nodes[k].y - y;
    const int64_t weight = 16 * int64_t{s.nodes[k].colour};
    p += weight * dx * dx * dy / d;
    q += weight * dy * dy * dx / d;
  }
  const double a = static_cast<double>(p >> 4), b = static_cast<double>(q >> 4);
  return Mod236(TruncateToInt64(std::sqrt(a * a + b * b)) >> 7);
}

int32_t Checkered(const StainState& s, int32_t x, int32_t y) {
  return ((x + y) & 1) != 0 ? DistanceSum(s, x, y) : BlendKind(s, x, y);
}

int32_t BandedMix(const StainState& s, int32_t x, int32_t y) {
  switch (Band(s, x, y)) {
    case 0: return DistanceXor(s, x, y);
    case 1: return BlendKind(s, x, y);
    default: return DistanceOr(s, x, y);
  }
}

int32_t BandedXorMirrors(const StainState& s, int32_t x, int32_t y) {
  switch (Band(s, x, y)) {
    case 0: return DistanceXor(s, x, y);
    case 1: return DistanceXor(s, s.w - 1 - x, y);
    default: return DistanceXor(s, x, s.h - 1 - y);
  }
}

int32_t BandedBlendMirrors(const StainState& s, int32_t x, int32_t y) {
  switch (Band(s, x, y)) {
    case 0: return BlendKind(s, s.w - 1 - x, y);
    case 1: return BlendKind(s, x, s.h - 1 - y);
    default: return BlendKind(s, s.w - 1 - x, s.h - 1 - y);
  }
}

const StainFunction kStainFunctions[kKinds] = {
    DistanceXor, BlendKind, DistanceSum, Weave,           DistanceOr,
    Field,       Checkered, BandedMix,   BandedXorMirrors, BandedBlendMirrors,
};

}  // namespace

const ModuleDefinition kStainModule{kStainControls, Draw, Init, Start, Stop};

}  // namespace lumox
