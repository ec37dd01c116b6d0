// Pattern: full-screen interference patterns painted ring by ring.
//
// Start builds a wave table T (triangle, sine or a rough, spiked variant), a
// column profile U (one value per pixel column) and a row profile V (one per
// row), each the average of several waves of random frequency read from T,
// and picks one of 21 formulas that turn U, V and the pixel position
// (optionally warped by a turbulence function) into a palette index. The
// picture is painted as rectangular rings from the screen edge inwards,
// three rings per frame, each ring replicated into a grid of mirrored tiles;
// with "Folding" a ring is a back-and-forth repetition of a short sample of
// itself. When the centre is reached the picture is held for "Image
// Duration" seconds and the next one is painted over it. Every pixel is a
// palette index, so the palette animation makes the finished pattern flow.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "base/random.h"
#include "control/controls.h"
#include "control/oscillator_table.h"
#include "gfx/canvas.h"
#include "modules/module_catalog.h"
#include "modules/module_support.h"
#include "modules/ring_painter.h"
#include "modules/toolkit.h"
#include "platform/clock.h"
#include "platform/system.h"

namespace lumox {
namespace {

enum PatternControl : int {
  kWaves = 0,
  kTurbulence = 1,
  kType = 2,
  kImageDuration = 3,
  kTurbulenceType = 4,
  kPatternDensity = 5,
  kWaveType = 6,
  kFolding = 7,
  kXTiling = 10,
  kYTiling = 11,
  kTileType = 12,
};

constexpr ControlRow kPatternControls[] = {
    {32, kWaves, 2, 2, 30},
    {33, kTurbulence, 0, 0, 100},
    {34, kType, 21, 0, 21},
    {35, kImageDuration, 30, 0, 1000},
    {36, kTurbulenceType, 1, 0, 5},
    {37, kPatternDensity, 50, 0, 100},
    {38, kWaveType, 0, 0, 6},
    {39, kFolding, 0, 0, 20},
    {40, kStrengthSlot, 1, -10, 10},  // "Strength"
    {41, kXTiling, 1, 1, 20},
    {42, kYTiling, 1, 1, 20},
    {43, kTileType, 0, 0, 3},
};

constexpr int kWaveTableSize = 2048;
constexpr int kFrequencies = 31;   // A[0..30], B[0..30]
constexpr int kFormulas = 21;
constexpr int kRingsPerFrame = 3;

struct PatternState {
  int32_t w = 0, h = 0;    // client size W, H
  int32_t w1 = 0, h1 = 0;  // W - 1, H - 1
  // The buffers: profiles, the ring painter's edges, the wave table.
  std::vector<int32_t> u, v;
  RingPainter painter;
  std::array<int32_t, kWaveTableSize> wave{};

  int32_t formula = 0;
  RingRect ring;           // the next ring, in screen coordinates
  uint32_t nextDrawTime = 0;
  uint32_t holdTime = 0;
  int32_t waveCount = 2;   // N
  bool turbulence = false;
  int32_t turbulenceKind = 0;
  float turbulenceDivisor = 1;  // D
  std::array<float, kFrequencies> a{}, b{};
  int32_t columnOffset = 0, rowOffset = 0;
  float f0 = 0, f1 = 0;
  int32_t band = 1;        // BAND
  int32_t divider = 1;     // DIV
  int32_t shift = 6;       // s
  int32_t folding = 0;     // F
  int32_t columns = 1, rows = 1, tileType = 0;
};

std::unique_ptr<PatternState> pattern;

void BuildWaveTable(PatternState& s, int32_t waveType, float& base);
void BuildProfiles(PatternState& s);
int32_t PixelIndex(const PatternState& s, int32_t x, int32_t y);

int32_t Init(ModuleDescriptor& module) noexcept {
  pattern.reset();
  std::unique_ptr<PatternState> s(new (std::nothrow) PatternState);
  bool allocated = s != nullptr && s->painter.Allocate(module.width, module.height);
  if (allocated) {
    try {
      s->u.assign(static_cast<size_t>(module.width) + 1, 0);
      s->v.assign(static_cast<size_t>(module.height) + 1, 0);
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
  s->w1 = s->w - 1;
  s->h1 = s->h - 1;
  s->nextDrawTime = TickCount();
  pattern = std::move(s);
  return 0;
}

int32_t Start(ModuleDescriptor& module) noexcept {
  if (!pattern) return 0;
  PatternState& s = *pattern;
  RandomizeControls(module);
  EvaluateControls(module);
  s.waveCount = ControlValue(module, kPatternControls, kWaves);
  float t = static_cast<float>(ControlValue(module, kPatternControls, kTurbulence)) * 0.01f;
  s.formula = ControlValue(module, kPatternControls, kType);
  s.holdTime = 1000u * static_cast<uint32_t>(ControlValue(module, kPatternControls, kImageDuration));
  s.turbulenceKind = ControlValue(module, kPatternControls, kTurbulenceType);
  const int32_t waveType = ControlValue(module, kPatternControls, kWaveType);
  s.folding = 2 * ControlValue(module, kPatternControls, kFolding);
  s.columns = ControlValue(module, kPatternControls, kXTiling);
  s.rows = ControlValue(module, kPatternControls, kYTiling);
  s.tileType = ControlValue(module, kPatternControls, kTileType);

  if (s.formula >= kFormulas) {
    s.waveCount = Rand() % s.waveCount + 1;
    s.formula = Rand() % kFormulas;
  }

  s.ring = {0, 0, s.w1, s.h1};
  if (module.dc != nullptr) module.dc->SetStretchMode(gfx::StretchMode::ColorOnColor);

  s.columnOffset = Rand() % 236;
  s.rowOffset = Rand() % 236;
  s.f0 = RandomFraction() + 0.05f;
  s.f1 = RandomFraction() + 0.05f;

  s.turbulence = true;
  if (t <= 0.009f) {
    s.turbulence = false;
  } else if (t > 0.99f) {
    s.turbulence = Rand() % 3 == 0;
    t = RandomFraction();
  }
  if (s.turbulenceKind > 4) s.turbulenceKind = Rand() % 5;
  static constexpr float kTurbulenceScale[5] = {1100000.125f, 30000, 50000, 1100000, 30000};
  s.turbulenceDivisor = (1 - t) * kTurbulenceScale[s.turbulenceKind];

  s.band = Rand() % 12000 + 1 + 2048;
  s.divider = Rand() % 12 + 1;
  s.shift = 6 + Rand() % 2;

  float base = 0;
  BuildWaveTable(s, waveType, base);

  // Random-source controls draw new values between the frequencies, so the
  // density may change from one to the next.
  for (int n = 0; n < kFrequencies; ++n) {
    RandomizeControls(module);
    float density = static_cast<float>(ControlValue(module, kPatternControls, kPatternDensity));
    s.a[n] = 0.01f * density + 0.1f * RandomFraction() + base;
    RandomizeControls(module);
    density = static_cast<float>(ControlValue(module, kPatternControls, kPatternDensity));
    s.b[n] = 0.8f * (0.01f * density + RandomFraction()) + base;
  }
  BuildProfiles(s);
  return 0;
}

int32_t Draw(ModuleDescriptor& module) noexcept {
  if (!pattern || module.dc == nullptr) return kYield;
  PatternState& s = *pattern;
  if (TickDelta(TickCount(), s.nextDrawTime) < 0) return kYield;
  gfx::Canvas& dc = *module.dc;

  s.columns = LiveValue(module, kPatternControls, kXTiling, s.columns);
  s.rows = LiveValue(module, kPatternControls, kYTiling, s.rows);
  s.folding = LiveValue(module, kPatternControls, kFolding, s.folding);

  // The ring in the first tile, and the origin the other tiles copy it to.
  const int32_t columns = s.columns, rows = s.rows;
  const int32_t tileWidth = s.w / columns;
  const int32_t tileHeight = s.h / rows;
  RingRect r{s.ring.left / columns, s.ring.top / rows, s.ring.right / columns,
             s.ring.bottom / rows};
  RingRect o = r;
  if (!TileSelected(0, 0, s.tileType)) {
    if (columns >= 2) {
      r.left += tileWidth;
      r.right += tileWidth;
    } else if (rows >= 2) {
      r.top += tileHeight;
      r.bottom += tileHeight;
    } else {
      r.left = r.right + 1;  // no tile at all
    }
  }

  s.ring.left += 3 * columns;
  s.ring.top += 3 * rows;
  s.ring.right -= 3 * columns;
  s.ring.bottom -= 3 * rows;

  const auto ringLeft = [&r] { return r.right >= r.left && r.bottom >= r.top; };
  for (int k = 0; k < kRingsPerFrame && ringLeft(); ++k) {
    // Folded: a short sample along the top and right edges repeated back
    // and forth, opposite edges straight copies.
    const auto index = [&s](int32_t x, int32_t y) { return PixelIndex(s, x, y); };
    if (s.folding > 0) {
      s.painter.PaintFolded(dc, r, s.folding, FoldCopy::Straight, index);
    } else {
      s.painter.PaintExact(dc, r, index);
    }
    if (columns + rows > 1) {
      TileRectEdges(dc, columns, rows, tileWidth, tileHeight, s.tileType, r.right - r.left + 1,
                    r.bottom - r.top + 1, r, o);
    }
    r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    o = {o.left + 1, o.top + 1, o.right - 1, o.bottom - 1};
  }
  if (!ringLeft()) {
    // The picture is finished: hold it, and prepare the next one.
    s.nextDrawTime = TickCount() + s.holdTime;
    Start(module);
  }
  return 0;
}

int32_t Stop(ModuleDescriptor&) noexcept {
  pattern.reset();
  return 0;
}

// --- the wave table ---

// A triangle wave between -16383 and 16383 rising by `step` per entry.
void FillTriangle(std::array<int32_t, kWaveTableSize>& t, float step) {
  float v = 0;
  for (int32_t& entry : t) {
    entry = TruncateToInt(v);
    v += step;
    if (v > 16383) {
      v = 16383;
      step = -step;
    }
    if (v < -16383) {
      v = -16383;
      step = -step;
    }
  }
}

// Each pass replaces every inner entry, in place, by the mean of itself and
// its neighbours.
void Smooth(std::array<int32_t, kWaveTableSize>& t, int passes) {
  for (int pass = 0; pass < passes; ++pass) {
    for (int k = 0; k + 2 < kWaveTableSize; ++k) t[k + 1] = (t[k] + t[k + 1] + t[k + 2]) / 3;
  }
}

// Wave types: 1 triangle, 2 sine, 3 rough triangle; 4-6 the same with
// spikes. `base` is the smallest wave divisor that goes with the shape.
void BuildWaveTable(PatternState& s, int32_t waveType, float& base) {
  auto& t = s.wave;
  if (waveType <= 0 || waveType > 6) waveType = Rand() % 6 + 1;
  switch (waveType) {
    case 1:
    case 4:
      FillTriangle(t, 31.998046875f);
      base = 0.02f;
      break;
    case 2:
    case 5:
      t = OscillatorTable;
      base = 0.02f;
      break;
    default: {
      Rand();  // discarded
      FillTriangle(t, 35 + 60 * RandomFraction());
      for (int32_t& entry : t) entry += entry < 1 ? Rand() % 19659 : -(Rand() % 19659);
      Smooth(t, 30);
      base = 0.2f;
      break;
    }
  }
  if (waveType >= 4) {
    const int32_t spikesSeed = Rand();
    const int32_t passesSeed = Rand();
    const int32_t spikes = spikesSeed % 85 + 32;
    for (int k = 0; k < spikes; ++k) {
      const int32_t i = Rand() % 1984 + 32;
      const int32_t sign = Rand() % 2 == 0 ? 1 : -1;
      const int32_t value = sign * (Rand() % 16383);
      t[i - 1] = t[i] = t[i + 1] = value;
    }
    Smooth(t, passesSeed % 48 + 48);
    base += 0.2f;
  }
}

// T<v>: the wave table at a non-negative position.
int32_t WaveAt(const PatternState& s, float position) {
  return s.wave[TruncateToInt64(position) & (kWaveTableSize - 1)];
}

// Formulas 3-8 sum the waves with their sign; the others sum magnitudes, so
// their profiles are never negative.
void BuildProfiles(PatternState& s) {
  const bool signedSum = s.formula >= 3 && s.formula <= 8;
  const auto profile = [&](int32_t position, const std::array<float, kFrequencies>& divisors) {
    int32_t sum = 0;
    for (int n = 0; n < s.waveCount; ++n) {
      const int32_t term = WaveAt(s, static_cast<float>(position) / divisors[n]);
      sum += signedSum ? term : std::abs(term);
    }
    return sum / s.waveCount;
  };
  for (int32_t y = 0; y <= s.h1; ++y) s.v[y] = profile(y + s.rowOffset, s.b);
  for (int32_t x = 0; x <= s.w1; ++x) s.u[x] = profile(x + s.columnOffset, s.a);
}

// --- the warp and the formulas ---

// S(v): the oscillator table, one period per unit of v, within +-0.5.
float Sine(float v) {
  return static_cast<float>(OscillatorTable[TruncateToInt64(v * 2048.0f) & 2047]) / 32766.0f;
}

struct Position {
  int32_t x, y;
};

Position WarpByProfiles(const PatternState& s, Position p) {
  const float d = s.turbulenceDivisor;
  const float sigma = Sine(static_cast<float>(s.v[p.y] + s.u[p.x]) / d);
  return {std::abs(TruncateToInt(static_cast<float>(p.x) * sigma)),
          std::abs(TruncateToInt(static_cast<float>(p.y) * sigma))};
}

Position Warp(const PatternState& s, Position p) {
  const float d = s.turbulenceDivisor;
  const int32_t cx = s.w1 >> 1, cy = s.h1 >> 1;
  const float radius2 = static_cast<float>((int64_t{p.x} - cx) * (p.x - cx) +
                                           (int64_t{p.y} - cy) * (p.y - cy));
  switch (s.turbulenceKind) {
    case 0: {
      const float sigma = Sine(radius2 / d);
      return {std::abs(TruncateToInt(static_cast<float>(p.x) * sigma)),
              std::abs(TruncateToInt(static_cast<float>(p.y) * sigma))};
    }
    case 1:
      return WarpByProfiles(s, p);
    case 2: {
      const float sigma = Sine(static_cast<float>(s.v[p.y]) / d) +
                          Sine(static_cast<float>(s.u[p.x]) / d);
      return {std::abs(TruncateToInt(static_cast<float>(p.x) * sigma)),
              std::abs(TruncateToInt(static_cast<float>(p.y) * sigma))};
    }
    case 3: {
      const float q = radius2 / d;
      return {static_cast<int32_t>(std::llabs(TruncateToInt64(static_cast<float>(p.x) * q)) % s.w),
              static_cast<int32_t>(std::llabs(TruncateToInt64(static_cast<float>(p.y) * q)) % s.h)};
    }
    default:
      return WarpByProfiles(s, WarpByProfiles(s, p));
  }
}

// m > 0 ? v mod m (never negative) : 0.
int32_t Wrap(int64_t v, int32_t m) {
  if (m <= 0) return 0;
  const int64_t r = v % m;
  return static_cast<int32_t>(r < 0 ? r + m : r);
}

// The palette index of pixel (x0, y0).
int32_t PixelIndex(const PatternState& s, int32_t x0, int32_t y0) {
  const int32_t w1 = s.w1, h1 = s.h1, sh = s.shift;
  x0 = std::clamp(x0, 0, w1);
  y0 = std::clamp(y0, 0, h1);
  const bool oddCell = ((x0 + y0) & 1) != 0;
  Position p{x0, y0};
  const bool warped = s.turbulence && (s.formula != 20 || oddCell);
  // Formula 15 reads its first value before the warp.
  int32_t g = 0;
  if (s.formula == 15) {
    g = oddCell ? std::abs(s.u[x0] + s.v[y0]) : std::abs(s.u[w1 - x0] + s.v[h1 - y0]);
  }
  if (warped) p = Warp(s, p);
  const int32_t x = p.x, y = p.y;

  const auto P = [&s](int32_t a, int32_t b) { return s.u[a] + s.v[b]; };
  // The profile sum at the position reflected through the centre (q = 1),
  // top to bottom (2) or left to right (3); q = 0 keeps `a`.
  const auto reflected = [&](int32_t q, int32_t a) {
    switch (q) {
      case 1: return P(w1 - x, h1 - y);
      case 2: return P(x, h1 - y);
      case 3: return P(w1 - x, y);
      default: return a;
    }
  };
  const auto weave = [&] {
    return (Wrap(TruncateToInt(static_cast<float>(x) * s.f0), 236) ^
            Wrap(TruncateToInt(static_cast<float>(y0) * s.f1), 236));
  };
  const auto waveSum = [&] {
    int32_t sum = 0;
    for (int n = 0; n < s.waveCount; ++n) {
      sum += std::abs(WaveAt(s, static_cast<float>(x) / s.a[n]) +
                      WaveAt(s, static_cast<float>(y) / s.b[n]));
    }
    return sum / s.waveCount;
  };
  const auto pairWave = [&](int n) {
    return std::abs(WaveAt(s, static_cast<float>(x) / s.a[n]) +
                    WaveAt(s, static_cast<float>(y) / s.b[n])) >> (sh + 1);
  };

  int32_t r = 0;
  switch (s.formula) {
    case 0: r = P(x, y) >> sh; break;
    case 1: {
      const int32_t a = P(x, y);
      r = reflected((a / s.band) & 3, a) >> sh;
      break;
    }
    case 2: r = ((P(x, y) >> sh) & 31) + weave() / s.divider; break;
    case 3: r = std::abs(P(x, y)) >> sh; break;
    case 4: {
      const int32_t a = std::abs(P(x, y));
      r = std::abs(reflected((a / s.band) & 3, a)) >> sh;
      break;
    }
    case 5: r = weave() / s.divider + ((std::abs(P(x, y)) >> sh) & 31); break;
    case 6: r = waveSum() >> sh; break;
    case 7: {
      const int32_t a = waveSum();
      r = std::abs(reflected((a / s.band) & 3, a)) >> sh;
      break;
    }
    case 8: {
      int32_t a = waveSum();
      switch ((a / s.band) % 3) {
        case 1: a = std::abs(P(w1 - x, h1 - y)); break;
        case 2: a = std::abs(s.u[Wrap(2 * int64_t{x}, w1)] + s.v[Wrap(2 * int64_t{y}, h1)]); break;
        default: break;
      }
      r = a >> sh;
      break;
    }
    case 9: r = reflected((x + y) & 3, P(x, y)) >> sh; break;
    case 10:
      r = (oddCell ? std::abs(P(x, y)) : std::abs(P(w1 - x, h1 - y))) >> sh;
      break;
    case 11: r = (std::abs(P(x, y)) & std::abs(P(w1 - x, h1 - y))) >> sh; break;
    case 12: r = (std::abs(P(x, y)) >> sh) + ((std::abs(P(w1 - x, h1 - y)) >> sh) & 15); break;
    case 13: r = (std::abs(P(x, y)) + std::abs(P(w1 - x, h1 - y))) >> (sh + 1); break;
    case 14: {
      const int64_t b = P(x, y) >> (sh + 6);
      r = std::abs(s.u[Wrap(x + 100 * b, w1)] + s.v[Wrap(y + 100 * b, h1)]) >> sh;
      break;
    }
    case 15: r = std::abs(reflected((g / s.band) & 3, g)) >> sh; break;
    case 16: r = pairWave(oddCell ? 0 : 1); break;
    case 17: r = oddCell ? P(x, y) >> sh : weave(); break;
    case 18:
      r = oddCell ? std::abs(P(x, y)) >> 7 : std::abs(P(w1 - x, h1 - y)) >> 5;
      break;
    case 19:
      if (oddCell) {
        // The third term reads the column profile at a row number; held to
        // the columns on screens taller than wide.
        r = (std::abs(P(x, y)) >> sh) + ((std::abs(P(w1 - x, h1 - y)) >> sh) & 7) +
            ((std::abs(s.u[Wrap(y, s.w)] + s.v[h1 - y]) >> sh) & 7);
      } else {
        r = (std::abs(P(w1 - x, h1 - y)) >> sh) + ((std::abs(P(w1 - x, y)) >> sh) & 7) +
            ((std::abs(P(x, y)) >> sh) & 7);
      }
      break;
    default: r = pairWave(0); break;
  }
  return Wrap(r, gfx::kSaverColors);
}

}  // namespace

const ModuleDefinition kPatternModule{kPatternControls, Draw, Init, Start, Stop};

}  // namespace lumox
