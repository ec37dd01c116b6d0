// The palette animation thread.
//
// Each colour channel is generated separately from its wave table, shaped
// by an envelope (Ramp or Fade), a custom palette or blackout, scaled,
// shifted along the palette a few entries per step (colour cycling), and
// every few seconds cross-faded into a freshly chosen effect. Random events
// now and then reverse the cycling or make the wave jump.
//
// The thread body is split into pieces so a headless host can drive the
// animation on its own thread, deterministically (with a manual clock and a
// fixed seed):
//   PaletteThreadBegin(state);                  // first effects
//   for (;;) { PaletteThreadStep(state); wait PaletteStepInterval(state); }
// PaletteThreadMain is the real thread, built from the same pieces.
//
// Parameters from a hand-edited registry (or a loud sound source) are not
// range-checked on loading, so every use below limits what it must: the
// cycling distance to +-236 (a whole row regenerated), the morph step to
// 1..256 (every morph ends), the step interval to 10..1000 ms, brightness
// and intensity to 0..255 per channel; wave and envelope indices wrap.
#pragma once

#include <cstdint>

#include "state/palette_state.h"

namespace lumox {

namespace gfx {
class Screen;
}
struct SaverState;

// Chooses and generates a new effect for one channel: draws the Random
// parameters and evaluates the live ones, sets the duration, the envelope
// flags and the change time, fills the wave table and regenerates all 236
// levels of Current.
void NewChannelEffect(PaletteState& state, int channel);

// Computes level `entry` (0..235) of a channel's Current from the wave (or
// the custom colours) at the channel's Counter, and advances the Counter.
void GenerateEntry(PaletteState& state, int channel, int entry);

// One animation step: starts due effect changes, morphs or cycles each
// channel, scales, and hands the 236 colours to the screen.
void AnimateStep(PaletteState& state);

// The per-step random events: every Event steps a channel reverses its
// cycling or jumps to another wave position.
void RandomEvents(PaletteState& state);

// Every channel starts a new effect in half a second (the Random module
// calls it after switching to another saved display).
void ForceNewEffects(PaletteState& state);

// The thread's start: a new effect for red, green and blue, in that order.
void PaletteThreadBegin(PaletteState& state);
// One period of the thread: AnimateStep, then RandomEvents.
void PaletteThreadStep(PaletteState& state);
// Milliseconds to wait after a step: the red CycleRate, limited to
// 10..1000 so a zero or negative stored rate cannot make the thread spin.
uint32_t PaletteStepInterval(const PaletteState& state);

// The thread body: draws on its own canvas of `screen` (stored in the
// state's dc while it runs, the previous dc restored at the end), begins,
// sets saver.paletteReady, then steps every interval while saver.runFlag is
// set, skipping the steps while saver.palettePaused is set.
void PaletteThreadMain(PaletteState& state, gfx::Screen& screen, SaverState& saver) noexcept;

}  // namespace lumox
