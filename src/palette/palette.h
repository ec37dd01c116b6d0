// Building, defaulting and releasing the saver's palette.
//
// CreatePaletteState makes the process-wide palette record: all 236 saver
// entries black, the parameters at their defaults, a random custom palette,
// and the palette selected into the given device context (on our screen:
// its 236 saver colours set to the logical palette). ReleasePaletteState
// puts the screen's previous colours back and frees the record. Creation
// cannot fail.
#pragma once

#include "state/palette_state.h"

namespace lumox {

namespace gfx {
class Canvas;
}

// dc may be null (no screen to realise the palette on). When it is not, it
// must stay valid until ReleasePaletteState, or be set to null before.
PaletteState* CreatePaletteState(gfx::Canvas* dc);

// Writes the default parameter table into every channel and resets the
// per-channel animation fields (duration, change time, event counter,
// morphing and the effect flags). The channel effects are left alone.
void SetPaletteDefaults(PaletteState& state);

// Fills the custom colours by a random walk from three random bytes: each
// channel moves by its step per entry, and a step that would leave 0..255
// turns round instead (that entry repeats the previous value).
void MakeRandomCustomPalette(CustomPalette& entries, int stepRed, int stepGreen, int stepBlue);

// Restores the screen's previous saver colours and frees the record. Null
// is allowed.
void ReleasePaletteState(PaletteState* state);

}  // namespace lumox
