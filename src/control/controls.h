// Turning a control's source into its current value.
//
// Every module control and every palette parameter takes its value from a
// fixed setting, a random draw when its module starts, a slow oscillation
// through its range, or a live sound level that the sound player publishes
// in the shared block. The evaluator runs on the render thread (module
// controls) and on the palette thread (palette parameters) at once; the
// only state they share is the pair of level trackers below, whose floats
// are relaxed atomics (a lost update between the threads does no harm).
//
// Bad input never leads to undefined behaviour: a source outside 0..21
// reads silence, a NaN or infinite level (or a zero divisor) reads as 0, a
// level beyond kLevelLimit is held there, and a float result is turned into
// an integer by TruncateToInt (base/truncate.h), which saturates instead of
// overflowing. Sane input gets the plain arithmetic unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/relaxed.h"
#include "state/module_control.h"

namespace lumox {

struct ModuleDescriptor;
class SoundShare;

// The largest level, in units of full scale, that a reader passes on.
constexpr float kLevelLimit = 10000.0f;

// A running peak and floor of the levels read with AutoGain on. Never reset
// while the process lives (except by tests), shared by every control and
// palette parameter.
struct LevelTracker {
  Relaxed<float> peak = 1e-11f;
  Relaxed<float> floor = 1e11f;

  // Widens the span by v and returns v / (peak - floor), at most 1; a zero
  // span yields 1 for a positive v and 0 otherwise.
  float Normalise(float v);
};

LevelTracker& ChannelTracker();  // Volume, Left, Right
LevelTracker& BandTracker();     // the sixteen bands
void ResetLevelTrackers();       // for tests: back to the initial peak and floor

// The current value of a live control (source 2..21). `state` is the
// control's Smoothed: the oscillator phase or the smoothed level fraction.
// Callers pass Sense, RangeLo and RangeHi converted from their integers and
// turn the result into an integer with TruncateToInt.
float EvaluateControl(int32_t source, float& state, float sense, float rangeLo, float rangeHi);

// The normalised level of sound source 3..21 (0 for any other source).
float ReadSoundLevel(int32_t source);

// Whether a module control's source changes while the module runs: true
// for Oscillate, and for the sound sources while module sound is enabled
// and the player is active.
bool IsControlLive(int32_t source);
// The same for palette parameters, with palette sound in place of module
// sound.
bool IsPaletteSourceLive(int32_t source);

// For each control with a source other than Set: a random value in its
// range. Called by module Start entry points, before EvaluateControls.
void RandomizeControls(ModuleDescriptor& module);
// For each control with a live source (Oscillate or sound): its value now.
void EvaluateControls(ModuleDescriptor& module);
// Puts a value, range low or range high outside the control's fixed limits
// back to its default, minimum or maximum.
void ValidateControls(ModuleDescriptor& module);

// True when the player runs and has sound switched on for this side
// (share_offset::ModuleSoundEnabled or PaletteSoundEnabled).
bool SoundEnabled(const SoundShare& share, size_t enabledField);

// The text of a source in every "Source" list ("Set" .. "18KHz"); "" for a
// number outside 0..21.
const char* ControlSourceName(int32_t source);

// The items of a "Source" list, in source order so that an item's position
// is its ControlSource: "Set" and "Random", and for a sound-capable control
// (or palette parameter) also "Oscillate", "Volume", "Left", "Right" and the
// sixteen bands.
std::vector<const char*> FillSourceList(bool soundCapable);

}  // namespace lumox
