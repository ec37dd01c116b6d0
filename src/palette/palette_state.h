// The animated palette: its parameters, its animation state, its colours.
//
// One record per process. The palette thread is the only writer of the
// working arrays; the window's hot keys and the render thread (loading
// another saved display) write parameters, effects and change times while
// it runs. Every such field is a Relaxed word, so each access is whole and
// a step that sees a half-updated parameter set simply uses it.
#pragma once

#include <array>
#include <cstdint>

#include "base/relaxed.h"
#include "gfx/color.h"

namespace lumox {

namespace gfx {
class Canvas;
}

constexpr int kPaletteEntries = 236;
constexpr int kChannels = 3;
constexpr int kWaveTableSize = 2048;

enum Channel : int { kRed = 0, kGreen = 1, kBlue = 2 };

enum PaletteParameter : int {
  kScale = 0,
  kDensity,
  kFadeFactor,
  kRampDecay,
  kSeconds,
  kCycleRate,
  kEvent,
  kDirection,
  kMorphRate,
  kIntensity,
};
constexpr int kPaletteParameters = 10;

// The order of the effect radio buttons.
enum ChannelEffect : int32_t {
  kEffectRamp = 0,
  kEffectFade,
  kEffectSmooth,
  kEffectCoarse,
  kEffectBlackout,
  kEffectRandom,
  kEffectCustom,
};

// One parameter of one channel: the persisted fields of a control, plus
// the evaluator state.
struct PaletteValue {
  Relaxed<int32_t> Source = 0;
  Relaxed<int32_t> Value = 0;
  Relaxed<int32_t> RangeLo = 0;
  Relaxed<int32_t> RangeHi = 0;
  Relaxed<int32_t> Sense = 7;
  Relaxed<float> Smoothed = 0.5f;
};

struct PaletteParameterLimits {
  int32_t Minimum = 0;
  int32_t Maximum = 0;
  int32_t SoundCapable = 0;
};

struct PaletteSettings {
  std::array<PaletteParameterLimits, kPaletteParameters> limits{};
  // values[parameter][channel]
  std::array<std::array<PaletteValue, kChannels>, kPaletteParameters> values{};
  std::array<Relaxed<int32_t>, kChannels> Effect{};  // ChannelEffect per channel
  Relaxed<int32_t> AllEffect = 0;                     // read-only legacy slot
};

struct CustomColor {
  uint8_t red = 0, green = 0, blue = 0, flags = 1;
};
using CustomPalette = std::array<CustomColor, kPaletteEntries>;

// The per-channel working set of the palette thread.
struct ChannelAnimation {
  std::array<uint8_t, kPaletteEntries> Current{};
  std::array<uint8_t, kPaletteEntries> Previous{};
  std::array<uint8_t, kPaletteEntries> Next{};
  Relaxed<int32_t> Counter = 0;
  Relaxed<int32_t> Step = 0;
  Relaxed<int32_t> Offset = 0;
  Relaxed<int32_t> Morphing = 0;
  Relaxed<int32_t> MorphPos = 0;
  Relaxed<int32_t> MorphStep = 0;
  Relaxed<int32_t> EventCounter = 0;
  Relaxed<int32_t> Duration = 15000;
  Relaxed<uint32_t> ChangeTime = 0;
  Relaxed<int32_t> RampOn = 0;
  Relaxed<int32_t> FadeOn = 0;
  Relaxed<int32_t> BlackoutOn = 0;
  Relaxed<int32_t> CustomOn = 0;
  Relaxed<int32_t> CoarseWave = 0;
  Relaxed<int32_t> RampPrev = 0;
};

using WaveTable = std::array<int32_t, kWaveTableSize>;

struct PaletteState {
  // The logical palette as last handed to AnimatePalette.
  std::array<gfx::Rgb, kPaletteEntries> entries{};
  std::array<ChannelAnimation, kChannels> channels{};
  Relaxed<int32_t> StepsSinceChange = 0;
  PaletteSettings settings;
  Relaxed<int32_t> Animate = 1;
  // The next capture stores the colours on screen as its custom palette
  // (set by the capture-colours hot key).
  Relaxed<int32_t> LiveColors = 0;
  gfx::Canvas* dc = nullptr;
  CustomPalette custom{};
  std::array<WaveTable, kChannels> waves{};
};

}  // namespace lumox
