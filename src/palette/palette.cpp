#include "palette/palette.h"

#include <cstdint>

#include "base/random.h"
#include "state/module_control.h"
#include "gfx/canvas.h"
#include "gfx/screen.h"
#include "platform/clock.h"

namespace lumox {
namespace {

struct ParameterDefault {
  int32_t value;
  int32_t minimum;
  int32_t maximum;
  int32_t rangeLo;
  int32_t rangeHi;
  int32_t source;
  int32_t soundCapable;
};

// The defaults of the ten parameters, in parameter order; every channel
// gets the same row.
constexpr ParameterDefault kDefaults[kPaletteParameters] = {
    {100, 0, 100, 0, 100, kSourceSet, 1},     // Scale: brightness, percent
    {6, 1, 80, 1, 12, kSourceRandom, 1},      // Density: wave step per entry
    {14, 1, 300, 1, 200, kSourceSet, 1},      // FadeFactor
    {14, 1, 300, 1, 200, kSourceSet, 1},      // RampDecay
    {16, 0, 300, 10, 30, kSourceSet, 0},      // Seconds between effects
    {30, 10, 200, 10, 60, kSourceSet, 0},     // CycleRate, milliseconds
    {1000, 0, 3000, 10, 600, kSourceSet, 0},  // Event: steps between events
    {1, -50, 50, -3, 3, kSourceSet, 1},       // Direction: entries per step
    {9, 1, 64, 6, 16, kSourceRandom, 1},      // MorphRate, of 256
    {100, 0, 200, 0, 100, kSourceSet, 1},     // Intensity, percent
};

constexpr int32_t kDefaultSense = 7;
constexpr int32_t kDefaultDuration = 15000;

// One random-walk step of a custom palette channel.
void WalkChannel(int64_t& level, int64_t& step) {
  if (level + step >= 0 && level + step <= 255) {
    level += step;
  } else {
    step = -step;
  }
}

}  // namespace

PaletteState* CreatePaletteState(gfx::Canvas* dc) {
  SeedRandom(TickCount());

  // The record is born with zeroed wave tables, black entries marked
  // reserved, every effect Ramp and the animate flag set.
  auto* state = new PaletteState;
  state->Animate = 1;
  state->dc = dc;
  SetPaletteDefaults(*state);

  // Select and realise: on our screen the logical palette becomes the 236
  // saver colours. Keep the colours it replaces for the release.
  if (dc != nullptr && dc->screen() != nullptr) {
    gfx::Screen& screen = *dc->screen();
    std::array<gfx::Rgb, kPaletteEntries> colors{};
    for (int k = 0; k < kPaletteEntries; ++k) {
      state->previousColors[k] = screen.Entry(gfx::kFirstSaverEntry + k);
      colors[k] = state->entries[k].Color();
    }
    screen.AnimatePalette(0, kPaletteEntries, colors.data());
  }

  const int stepRed = Rand() % 10;
  const int stepGreen = Rand() % 10;
  const int stepBlue = Rand() % 10;
  MakeRandomCustomPalette(state->custom, stepRed, stepGreen, stepBlue);
  return state;
}

void SetPaletteDefaults(PaletteState& state) {
  PaletteSettings& settings = state.settings;
  for (int p = 0; p < kPaletteParameters; ++p) {
    const ParameterDefault& row = kDefaults[p];
    settings.limits[p].Minimum = row.minimum;
    settings.limits[p].Maximum = row.maximum;
    settings.limits[p].SoundCapable = row.soundCapable;
    for (PaletteValue& value : settings.values[p]) {
      value.Value = row.value;
      value.RangeLo = row.rangeLo;
      value.RangeHi = row.rangeHi;
      value.Source = row.source;
      value.Sense = kDefaultSense;
      value.Smoothed = 0.5f;
    }
  }
  for (ChannelAnimation& channel : state.channels) {
    channel.Duration = kDefaultDuration;
    channel.ChangeTime = 0;
    channel.EventCounter = 0;
    channel.Morphing = 0;
    channel.FadeOn = 0;
    channel.RampOn = 0;
    channel.CoarseWave = 0;
    channel.BlackoutOn = 0;
    channel.CustomOn = 0;
  }
}

void MakeRandomCustomPalette(CustomPalette& entries, int stepRed, int stepGreen, int stepBlue) {
  int64_t red = Rand() % 256;
  int64_t green = Rand() % 256;
  int64_t blue = Rand() % 256;
  int64_t sr = stepRed, sg = stepGreen, sb = stepBlue;
  for (CustomColor& entry : entries) {
    WalkChannel(red, sr);
    WalkChannel(green, sg);
    WalkChannel(blue, sb);
    entry.Set({static_cast<uint8_t>(red), static_cast<uint8_t>(green),
               static_cast<uint8_t>(blue)});
    entry.flags = 1;
  }
}

void ReleasePaletteState(PaletteState* state) {
  if (state == nullptr) return;
  gfx::Canvas* dc = state->dc;
  if (dc != nullptr && dc->screen() != nullptr) {
    dc->screen()->AnimatePalette(0, kPaletteEntries, state->previousColors.data());
  }
  delete state;
}

}  // namespace lumox
