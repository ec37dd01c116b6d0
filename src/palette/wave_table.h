// The wave a colour channel is generated from.
//
// Each new effect fills its channel's 2048-entry table with either a
// triangle wave or the sine of the oscillator table (peak about +-16383).
// A coarse wave then gets random spikes, and many in-place smoothing passes
// turn the spikes into soft bumps, so the colours wobble irregularly.
#pragma once

#include "state/palette_state.h"

namespace lumox {

// The triangle: 0 rising to 16383 over the first 512 entries, down to
// -16383 and back, period 2048. Accumulated exactly as the original
// floating-point walk (step 16383/512, truncated toward zero, reflected at
// +-16383), so its corners repeat one value.
void FillTriangleWave(WaveTable& wave);

// Adds `count` spikes at random places (32..2015): three neighbouring
// entries get one random value of random sign below 16383. Draws three
// random numbers per spike: place, sign, size.
void AddCoarseSpikes(WaveTable& wave, int count);

// `passes` smoothing passes over entries 1..2046, each entry becoming the
// mean (truncated toward zero) of itself and its two neighbours, in place:
// the left neighbour is already smoothed in the same pass.
void SmoothWave(WaveTable& wave, int passes);

// The whole fill for a new effect: triangle or sine (one random draw), then
// for a coarse wave 32..116 spikes and 48..95 smoothing passes.
void FillChannelWave(WaveTable& wave, bool coarse);

}  // namespace lumox
