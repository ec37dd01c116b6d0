// The animated palette: its parameters, its animation state, its colours.
//
// One record per process, made by CreatePaletteState (palette/palette.h) and
// animated by the palette thread (palette/palette_thread.h). The palette
// thread is the only writer of the working arrays (Current, Previous, Next,
// the wave tables); the window's hot keys and the render thread (loading
// another saved display) write parameters, effects, change times and the
// custom colours while it runs, and the capture reads the colours shown.
// Every such field is a Relaxed word (colours: one Relaxed byte each), so
// each access is whole and a step that sees a half-updated parameter set
// simply uses it.
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

// The order of the effect radio buttons. A value outside 0..6 (a hand-edited
// registry) acts as Random.
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

// Per parameter, shared by the three channels.
struct PaletteParameterLimits {
  Relaxed<int32_t> Minimum = 0;
  Relaxed<int32_t> Maximum = 0;
  Relaxed<int32_t> SoundCapable = 0;
};

struct PaletteSettings {
  std::array<PaletteParameterLimits, kPaletteParameters> limits{};
  // values[parameter][channel]
  std::array<std::array<PaletteValue, kChannels>, kPaletteParameters> values{};
  std::array<Relaxed<int32_t>, kChannels> Effect{};  // ChannelEffect per channel
  Relaxed<int32_t> AllEffect = 0;                     // read-only legacy slot
};

// The flag of every saver palette entry: the palette manager leaves the
// entry to the saver, which animates it.
constexpr uint8_t kPcReserved = 0x01;

// One colour in the layout of a logical palette entry: red, green, blue and
// a flag byte. Each byte is read and written whole by any thread; copy one
// with Color() and write one with Set().
struct PaletteEntry {
  Relaxed<uint8_t> red = 0;
  Relaxed<uint8_t> green = 0;
  Relaxed<uint8_t> blue = 0;
  Relaxed<uint8_t> flags = kPcReserved;

  gfx::Rgb Color() const { return {red, green, blue}; }
  void Set(gfx::Rgb color) {
    red = color.red;
    green = color.green;
    blue = color.blue;
  }
};

// The custom colours: the flag byte is always 1.
using CustomColor = PaletteEntry;
using CustomPalette = std::array<CustomColor, kPaletteEntries>;

// The per-channel working set of the palette thread. The arrays belong to
// that thread alone; the words may be written by others (the hot keys set
// ChangeTime, the settings loader resets the animation fields).
struct ChannelAnimation {
  std::array<uint8_t, kPaletteEntries> Current{};   // levels as shown, before Scale
  std::array<uint8_t, kPaletteEntries> Previous{};  // Current when the last change began
  std::array<uint8_t, kPaletteEntries> Next{};      // the new effect's levels
  Relaxed<int32_t> Counter = 0;       // wave position, +1 per generated entry
  Relaxed<int32_t> Step = 0;          // wave step per entry (Density)
  Relaxed<int32_t> Offset = 0;        // wave offset, 0..235 per effect
  Relaxed<int32_t> Morphing = 0;      // a cross-fade into Next is running
  Relaxed<int32_t> MorphPos = 0;      // cross-fade position, ends past 255
  Relaxed<int32_t> MorphStep = 0;     // cross-fade increment per step
  Relaxed<int32_t> EventCounter = 0;  // steps since the last random event
  Relaxed<int32_t> Duration = 15000;  // milliseconds an effect lasts
  Relaxed<uint32_t> ChangeTime = 0;   // tick count after which the next change starts
  Relaxed<int32_t> RampOn = 0;
  Relaxed<int32_t> FadeOn = 0;
  Relaxed<int32_t> BlackoutOn = 0;
  Relaxed<int32_t> CustomOn = 0;
  Relaxed<int32_t> CoarseWave = 0;
  Relaxed<int32_t> RampPrev = 0;      // previous Ramp envelope sample, kept across effects
};

using WaveTable = std::array<int32_t, kWaveTableSize>;

struct PaletteState {
  // The logical palette as last handed to AnimatePalette (all black with
  // kPcReserved until the palette thread's first step).
  std::array<PaletteEntry, kPaletteEntries> entries{};
  std::array<ChannelAnimation, kChannels> channels{};
  Relaxed<int32_t> StepsSinceChange = 0;
  PaletteSettings settings;
  Relaxed<int32_t> Animate = 1;
  // The next capture stores the colours on screen as its custom palette
  // (set by the capture-colours hot key).
  Relaxed<int32_t> LiveColors = 0;
  // The device context the palette is selected into. The palette thread
  // puts its own here while it runs and restores this one when it ends.
  gfx::Canvas* dc = nullptr;
  CustomPalette custom{};
  std::array<WaveTable, kChannels> waves{};
  // The screen's saver colours before this palette was selected, put back
  // by ReleasePaletteState.
  std::array<gfx::Rgb, kPaletteEntries> previousColors{};
};

}  // namespace lumox
