#include "control/controls.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>

#include "base/random.h"
#include "base/truncate.h"
#include "control/oscillator_table.h"
#include "control/sound_link.h"
#include "control/sound_share.h"
#include "state/module.h"

namespace lumox {
namespace {

namespace off = share_offset;

constexpr const char* kSourceNames[kSourceCount] = {
    "Set",    "Random", "Oscillate", "Volume",  "Left",   "Right",  "150Hz",  "400Hz",
    "600Hz",  "800Hz",  "1KHz",      "1.5KHz",  "2KHz",   "2.5KHz", "3.25KHz", "4KHz",
    "5KHz",   "6.25KHz", "8KHz",     "10KHz",   "12.5KHz", "18KHz"};

bool IsSoundSource(int32_t source) {
  return source >= kSourceVolume && source <= kSourceLastBand;
}

// A level as the readers pass it on: NaN and infinities (a broken player,
// a zero divisor) read as silence, anything else is held within
// +-kLevelLimit so that no later product overflows.
float SaneLevel(float v) {
  if (!std::isfinite(v)) return 0.0f;
  if (v > kLevelLimit) return kLevelLimit;
  if (v < -kLevelLimit) return -kLevelLimit;
  return v;
}

// One cycle is 400 / sense steps; the oscillator's phase is the state, and
// the table index its fraction of a cycle. Only the fraction matters, so
// the state is kept below one cycle: a float phase that grew without bound
// would, after a few days of running, stop advancing altogether.
float Oscillate(float& state, float sense, float rangeLo, float rangeHi, float lo, float hi) {
  state = state + sense * 0.0025f;
  if (!std::isfinite(state)) state = 0.5f;
  // Exact: the fraction of a float is representable, and trunc(x * 2048)
  // moves by a whole number of cycles when x does.
  if (std::fabs(state) >= 1.0f) state -= std::trunc(state);
  const int32_t k = static_cast<int32_t>(state * 2048.0f) & (kOscillatorTableSize - 1);
  float x = static_cast<float>(OscillatorTable[k]) * kOscillatorScale * 0.5f + 0.5f;
  if (rangeLo > rangeHi) x = 1.0f - x;
  return lo + x * (hi - lo);
}

// Sense 10 follows the level at once; Sense 1 moves a tenth of the way.
float FollowSound(int32_t source, float& state, float sense, float rangeLo, float rangeHi,
                  float lo, float hi) {
  if (CurrentSoundShare()->U32(off::SlowCPU) != 0 && source > kSourceVolume)
    source = kSourceVolume;
  const float m = ReadSoundLevel(source);
  const float t = rangeLo < rangeHi ? m : 1.0f - m;
  const float updated = SaneLevel((sense * t + (10.0f - sense) * state) * 0.1f);
  state = updated;
  return lo + (hi - lo) * updated;
}

bool IsLive(int32_t source, size_t enabledField) {
  if (source == kSourceOscillate) return true;
  return IsSoundSource(source) && SoundEnabled(*CurrentSoundShare(), enabledField);
}

}  // namespace

float LevelTracker::Normalise(float v) {
  float high = peak;
  float low = floor;
  if (v > high) peak = high = v;
  if (v < low) floor = low = v;
  const float span = high - low;
  // The span is zero only when every level so far was this one; a lost
  // update between the two threads may even leave it negative.
  if (!(span > 0.0f)) return v > 0.0f ? 1.0f : 0.0f;
  const float r = v / span;
  return r > 1.0f ? 1.0f : r;
}

LevelTracker& ChannelTracker() {
  static LevelTracker tracker;
  return tracker;
}

LevelTracker& BandTracker() {
  static LevelTracker tracker;
  return tracker;
}

void ResetLevelTrackers() {
  for (LevelTracker* tracker : {&ChannelTracker(), &BandTracker()}) {
    tracker->peak = 1e-11f;
    tracker->floor = 1e11f;
  }
}

float ReadSoundLevel(int32_t source) {
  if (!IsSoundSource(source)) return 0.0f;
  const SoundShare& share = *CurrentSoundShare();
  const float left = share.F32(off::LeftLevel);
  const float right = share.F32(off::RightLevel);
  const bool autoGain = share.U32(off::AutoGain) != 0;

  if (source >= kSourceFirstBand) {
    const int band = source - kSourceFirstBand;
    const float sum = share.LeftBand(band) + share.RightBand(band);
    if (autoGain) return BandTracker().Normalise(SaneLevel(sum * 0.5f));
    return SaneLevel(sum / (2.0f * share.F32(off::BandFullScale)));
  }

  const float divisor = autoGain ? static_cast<float>(share.U32(off::LevelDivisor))
                                 : share.F32(off::LevelFullScale);
  float v = 0.0f;
  switch (source) {
    case kSourceVolume: v = (left + right) / (2.0f * divisor); break;
    case kSourceLeft: v = left / divisor; break;
    default: v = right / divisor; break;
  }
  return autoGain ? ChannelTracker().Normalise(SaneLevel(v)) : SaneLevel(v);
}

float EvaluateControl(int32_t source, float& state, float sense, float rangeLo, float rangeHi) {
  const float lo = rangeLo < rangeHi ? rangeLo : rangeHi;
  const float hi = rangeLo < rangeHi ? rangeHi : rangeLo;
  if (!std::isfinite(state)) state = 0.5f;
  if (source == kSourceOscillate) return Oscillate(state, sense, rangeLo, rangeHi, lo, hi);
  return FollowSound(source, state, sense, rangeLo, rangeHi, lo, hi);
}

bool IsControlLive(int32_t source) { return IsLive(source, off::ModuleSoundEnabled); }

bool IsPaletteSourceLive(int32_t source) { return IsLive(source, off::PaletteSoundEnabled); }

void RandomizeControls(ModuleDescriptor& module) {
  for (ModuleControl& control : module.controls) {
    if (control.Source == kSourceSet) continue;
    // In 64 bits: the span of two arbitrary int32 ends overflows 32.
    const int64_t lo = std::min(control.RangeLo, control.RangeHi);
    const int64_t span = std::llabs(int64_t{control.RangeHi} - control.RangeLo) + 1;
    control.Value = static_cast<int32_t>(lo + Rand() % span);
  }
}

void EvaluateControls(ModuleDescriptor& module) {
  for (ModuleControl& control : module.controls) {
    if (control.Source <= kSourceRandom) continue;
    control.Value = TruncateToInt(
        EvaluateControl(control.Source, control.Smoothed, static_cast<float>(control.Sense),
                        static_cast<float>(control.RangeLo), static_cast<float>(control.RangeHi)));
  }
}

void ValidateControls(ModuleDescriptor& module) {
  for (ModuleControl& control : module.controls) {
    if (control.Value < control.Minimum || control.Value > control.Maximum)
      control.Value = control.Default;
    if (control.RangeLo < control.Minimum || control.RangeLo > control.Maximum)
      control.RangeLo = control.Minimum;
    if (control.RangeHi > control.Maximum || control.RangeHi < control.Minimum)
      control.RangeHi = control.Maximum;
  }
}

bool SoundEnabled(const SoundShare& share, size_t enabledField) {
  return share.U32(enabledField) != 0 && share.U32(off::PlayerActive) != 0;
}

const char* ControlSourceName(int32_t source) {
  if (source < 0 || source >= kSourceCount) return "";
  return kSourceNames[source];
}

std::vector<const char*> FillSourceList(bool soundCapable) {
  const int count = soundCapable ? kSourceCount : kSourceRandom + 1;
  return std::vector<const char*>(std::begin(kSourceNames), std::begin(kSourceNames) + count);
}

}  // namespace lumox
