// The animation step, the random events and the thread around them.
#include "palette/palette_thread.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>

#include "base/random.h"
#include "gfx/canvas.h"
#include "gfx/screen.h"
#include "palette/live_parameter.h"
#include "platform/clock.h"
#include "state/saver_state.h"

namespace lumox {
namespace {

// After this many steps without an effect change, animation goes on only
// on a display with a palette. Our screen is a 256-colour palette device,
// so it always does.
constexpr int32_t kStepsBeforePaletteCheck = 236;
constexpr bool kScreenHasPalette = true;

constexpr int32_t kMinimumMorphStep = 1;   // a morph must end
constexpr int32_t kMaximumMorphStep = 256;  // one step completes it
constexpr int32_t kMaximumScale = 1000000;  // keeps level x scale within 32 bits
constexpr uint32_t kMinimumInterval = 10;
constexpr uint32_t kMaximumInterval = 1000;
constexpr int32_t kEventJumpRange = 2048;
constexpr uint32_t kForcedChangeDelay = 500;

// Deadlines are compared as unsigned 32-bit tick counts.
bool ChangeIsDue(uint32_t now, const ChannelAnimation& animation) {
  return now > animation.ChangeTime && !animation.Morphing;
}

void BeginEffectChange(PaletteState& state, int channel) {
  ChannelAnimation& animation = state.channels[channel];
  animation.Previous = animation.Current;
  NewChannelEffect(state, channel);
  animation.Next = animation.Current;
  animation.Morphing = 1;
  animation.MorphPos = 0;
  animation.MorphStep = std::clamp(PeekParameter(state.settings.values[kMorphRate][channel]),
                                   kMinimumMorphStep, kMaximumMorphStep);
  state.StepsSinceChange = 0;
  state.Animate = 1;
}

// The cross-fade weighs the old levels by 255 - pos and the new ones by
// pos, and divides by 256: the morph never quite reaches Next before it
// ends, and cycling carries on from there.
void MorphStep(ChannelAnimation& animation) {
  const uint32_t pos = static_cast<uint32_t>(std::clamp(animation.MorphPos.load(), 0, 255));
  for (int k = 0; k < kPaletteEntries; ++k) {
    animation.Current[k] = static_cast<uint8_t>(
        (animation.Previous[k] * (255u - pos) + animation.Next[k] * pos) / 256u);
  }
  const int32_t step = std::clamp(animation.MorphStep.load(), kMinimumMorphStep, kMaximumMorphStep);
  animation.MorphPos = static_cast<int32_t>(pos) + step;
  if (animation.MorphPos > 255) animation.Morphing = 0;
}

// Moves the colours `distance` entries toward entry 0 (negative: toward
// entry 235) and generates the entries that moved in. A distance beyond
// the row regenerates the whole row.
void CycleChannel(PaletteState& state, int channel, int32_t distance) {
  uint8_t* current = state.channels[channel].Current.data();
  const int d = std::clamp(distance, -kPaletteEntries, kPaletteEntries);
  if (d > 0) {
    std::memmove(current, current + d, kPaletteEntries - d);
    for (int i = kPaletteEntries - d; i < kPaletteEntries; ++i) GenerateEntry(state, channel, i);
  } else if (d < 0) {
    const int n = -d;
    std::memmove(current + n, current, kPaletteEntries - n);
    for (int i = n - 1; i >= 0; --i) GenerateEntry(state, channel, i);
  }
}

uint8_t ScaleLevel(uint8_t level, uint32_t scale) {
  return static_cast<uint8_t>(std::min<uint32_t>(level * scale / 100u, 255u));
}

int32_t NegateSaturating(int32_t value) {
  return value == std::numeric_limits<int32_t>::min() ? std::numeric_limits<int32_t>::max()
                                                      : -value;
}

}  // namespace

void AnimateStep(PaletteState& state) {
  const uint32_t now = TickCount();
  for (int c = 0; c < kChannels; ++c) {
    if (ChangeIsDue(now, state.channels[c])) BeginEffectChange(state, c);
  }

  if (!state.Animate) return;
  if (state.StepsSinceChange <= kStepsBeforePaletteCheck) {
    state.StepsSinceChange += 1;
  } else {
    state.Animate = kScreenHasPalette ? 1 : 0;
  }

  for (int c = 0; c < kChannels; ++c) {
    ChannelAnimation& animation = state.channels[c];
    if (animation.Morphing) {
      MorphStep(animation);
    } else {
      CycleChannel(state, c, UpdateParameter(state.settings.values[kDirection][c]));
    }
  }

  // Brightness in percent, saturating: a scale above 100 (a stored or
  // sound-driven value) brightens up to full level instead of wrapping.
  std::array<uint32_t, kChannels> scale{};
  for (int c = 0; c < kChannels; ++c) {
    scale[c] = static_cast<uint32_t>(
        std::clamp(PeekParameter(state.settings.values[kScale][c]), 0, kMaximumScale));
  }
  std::array<gfx::Rgb, kPaletteEntries> colors;
  for (int k = 0; k < kPaletteEntries; ++k) {
    colors[k] = {ScaleLevel(state.channels[kRed].Current[k], scale[kRed]),
                 ScaleLevel(state.channels[kGreen].Current[k], scale[kGreen]),
                 ScaleLevel(state.channels[kBlue].Current[k], scale[kBlue])};
    state.entries[k].Set(colors[k]);
    state.entries[k].flags = kPcReserved;
  }
  if (state.dc != nullptr && state.dc->screen() != nullptr) {
    state.dc->screen()->AnimatePalette(0, kPaletteEntries, colors.data());
  }
}

void RandomEvents(PaletteState& state) {
  for (int c = 0; c < kChannels; ++c) {
    ChannelAnimation& animation = state.channels[c];
    const int32_t n = animation.EventCounter;
    animation.EventCounter = static_cast<int32_t>(static_cast<uint32_t>(n) + 1u);
    if (n > state.settings.values[kEvent][c].Value) {
      animation.EventCounter = 0;
      if (Rand() % 2 == 0) {
        PaletteValue& direction = state.settings.values[kDirection][c];
        direction.Value = NegateSaturating(direction.Value);
      } else {
        animation.Counter = Rand() % kEventJumpRange;
      }
    }
  }
}

void ForceNewEffects(PaletteState& state) {
  const uint32_t when = TickCount() + kForcedChangeDelay;
  for (ChannelAnimation& animation : state.channels) animation.ChangeTime = when;
}

void PaletteThreadBegin(PaletteState& state) {
  for (int c = 0; c < kChannels; ++c) NewChannelEffect(state, c);
}

void PaletteThreadStep(PaletteState& state) {
  AnimateStep(state);
  RandomEvents(state);
}

uint32_t PaletteStepInterval(const PaletteState& state) {
  const int32_t rate = state.settings.values[kCycleRate][kRed].Value;
  return static_cast<uint32_t>(std::clamp<int64_t>(rate, kMinimumInterval, kMaximumInterval));
}

void PaletteThreadMain(PaletteState& state, gfx::Screen& screen, SaverState& saver) noexcept {
  gfx::Canvas canvas(screen);
  gfx::Canvas* const previous = state.dc;
  state.dc = &canvas;

  PaletteThreadBegin(state);
  saver.paletteReady = 1;
  while (saver.runFlag) {
    if (!saver.palettePaused) PaletteThreadStep(state);
    SleepMs(PaletteStepInterval(state));
  }

  canvas.SelectClipRegion(nullptr);
  state.dc = previous;
}

}  // namespace lumox
