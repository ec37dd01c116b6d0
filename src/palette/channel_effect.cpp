// Choosing a channel's effect and generating its levels.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "base/random.h"
#include "state/module_control.h"
#include "control/oscillator_table.h"
#include "palette/live_parameter.h"
#include "palette/palette_thread.h"
#include "palette/wave_table.h"
#include "platform/clock.h"

namespace lumox {
namespace {

constexpr int32_t kEventNever = 3000;          // the Event setting that means "no events"
constexpr int32_t kEventNeverSteps = 16777215;  // what it becomes: years of steps
constexpr int32_t kEnvelopePeak = 16383;

bool ValidChannel(int channel) { return channel >= 0 && channel < kChannels; }

// A value drawn from a range given either way round. The span is computed
// in 64 bits: a stored range may cover the whole int32 span.
int32_t RandomInRange(int32_t rangeLo, int32_t rangeHi) {
  const int64_t lo = std::min(rangeLo, rangeHi);
  const int64_t span = std::llabs(static_cast<int64_t>(rangeHi) - rangeLo) + 1;
  return static_cast<int32_t>(lo + Rand() % span);
}

// Wave and envelope positions wrap at 2048. The 32-bit sums and products
// are taken modulo 2^32 (unsigned, so overflow is defined); since 2048
// divides 2^32, the low eleven bits are the non-negative remainder of the
// true value.
int WaveIndex(int32_t offset, int32_t step, int32_t counter) {
  const uint32_t position =
      static_cast<uint32_t>(offset) + static_cast<uint32_t>(step) * static_cast<uint32_t>(counter);
  return static_cast<int>(position & (kWaveTableSize - 1));
}
int EnvelopeIndex(int32_t counter, int32_t frequency) {
  return WaveIndex(0, frequency, counter);
}

int32_t WrappingIncrement(int32_t value) {
  return static_cast<int32_t>(static_cast<uint32_t>(value) + 1u);
}

uint8_t CustomLevel(const CustomColor& color, int channel) {
  switch (channel) {
    case kRed: return color.red;
    case kGreen: return color.green;
    default: return color.blue;
  }
}

void SetEnvelopeFlags(ChannelAnimation& animation, int32_t effect) {
  animation.RampOn = 0;
  animation.FadeOn = 0;
  animation.BlackoutOn = 0;
  animation.CoarseWave = Rand() % 2;
  animation.CustomOn = effect == kEffectCustom ? 1 : 0;
  switch (effect) {
    case kEffectRamp: animation.RampOn = 1; break;
    case kEffectFade: animation.FadeOn = 1; break;
    case kEffectSmooth: animation.CoarseWave = 0; break;
    case kEffectCoarse: animation.CoarseWave = 1; break;
    case kEffectBlackout: animation.BlackoutOn = 1; break;
    case kEffectCustom: break;
    default:  // Random, and anything a stored setting might hold
      animation.RampOn = (Rand() % 6 == 1) ? 1 : 0;
      if (animation.RampOn == 0) animation.FadeOn = (Rand() % 6 == 1) ? 1 : 0;
      break;
  }
}

}  // namespace

void NewChannelEffect(PaletteState& state, int channel) {
  if (!ValidChannel(channel)) return;
  ChannelAnimation& animation = state.channels[channel];
  auto parameter = [&](int p) -> PaletteValue& { return state.settings.values[p][channel]; };

  // Random parameters get a fresh draw, then live ones a fresh evaluation.
  for (int p = 0; p < kPaletteParameters; ++p) {
    PaletteValue& value = parameter(p);
    if (value.Source == kSourceRandom) value.Value = RandomInRange(value.RangeLo, value.RangeHi);
  }
  for (int p = 0; p < kPaletteParameters; ++p) {
    PaletteValue& value = parameter(p);
    const int32_t source = value.Source;
    if (IsLiveParameterSource(source)) value.Value = EvaluateParameter(value, source);
  }

  // Negative seconds count as none; the product is taken in 64 bits.
  const int64_t duration = std::clamp<int64_t>(
      static_cast<int64_t>(parameter(kSeconds).Value) * 1000, 0,
      std::numeric_limits<int32_t>::max());
  animation.Duration = static_cast<int32_t>(duration);

  SetEnvelopeFlags(animation, state.settings.Effect[channel]);

  if (parameter(kEvent).Value == kEventNever) parameter(kEvent).Value = kEventNeverSteps;

  animation.ChangeTime = TickCount() + static_cast<uint32_t>(animation.Duration.load());

  FillChannelWave(state.waves[channel], animation.CoarseWave != 0);

  animation.Step = parameter(kDensity).Value;
  animation.Offset = Rand() % kPaletteEntries;
  animation.Counter = 0;
  for (int i = 0; i < kPaletteEntries; ++i) GenerateEntry(state, channel, i);
}

void GenerateEntry(PaletteState& state, int channel, int entry) {
  if (!ValidChannel(channel) || entry < 0 || entry >= kPaletteEntries) return;
  ChannelAnimation& animation = state.channels[channel];
  auto parameter = [&](int p) -> PaletteValue& { return state.settings.values[p][channel]; };
  uint8_t& level = animation.Current[entry];

  if (animation.BlackoutOn) {
    level = 0;
    return;
  }

  const int32_t counter = animation.Counter;
  int32_t base;
  if (animation.CustomOn) {
    const int index = ((counter % kPaletteEntries) + kPaletteEntries) % kPaletteEntries;
    base = CustomLevel(state.custom[index], channel);
  } else {
    const int32_t wave = state.waves[channel][WaveIndex(animation.Offset, animation.Step, counter)];
    base = std::abs(wave) >> 6;  // wave entries stay within +-16383: 0..255
  }

  // Intensity in percent; the product is taken in 64 bits and a negative
  // intensity gives black.
  const int64_t intensity = UpdateParameter(parameter(kIntensity));
  level = static_cast<uint8_t>(std::clamp<int64_t>(base * intensity / 100, 0, 255));

  // A live Density changes the step from the next entry on.
  animation.Step = UpdateParameter(parameter(kDensity));

  if (animation.FadeOn) {
    const int32_t h = OscillatorTable[EnvelopeIndex(counter, UpdateParameter(parameter(kFadeFactor)))];
    level = h != 0 ? static_cast<uint8_t>(std::abs(h) * level / kEnvelopePeak) : 0;
  } else if (animation.RampOn) {
    // Only the falling part of the positive half-wave lights the entry:
    // bright bands fading out, separated by dark stretches.
    const int32_t h = OscillatorTable[EnvelopeIndex(counter, UpdateParameter(parameter(kRampDecay)))];
    level = (h < animation.RampPrev && h > 0) ? static_cast<uint8_t>(h * level / kEnvelopePeak) : 0;
    animation.RampPrev = h;
  }

  animation.Counter = WrappingIncrement(counter);
}

}  // namespace lumox
