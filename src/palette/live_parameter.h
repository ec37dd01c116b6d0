// Reading a palette parameter while the palette thread runs.
//
// A parameter whose source is Oscillate or a sound source is "live": each
// read evaluates it afresh from its range and its smoothing state. Most
// reads write the result back into Value (so the palette page and a capture
// see it); a few only peek. Other sources use Value as it stands.
#pragma once

#include <cstdint>

#include "state/palette_state.h"

namespace lumox {

// Oscillate and the sound sources (2..21). Sources the evaluator does not
// know (a hand-edited registry) are not live: their Value is used.
bool IsLiveParameterSource(int32_t source);

// The live value of a parameter, truncated toward zero and limited to the
// int32 range (a sound level without automatic gain has no upper bound).
// Updates the parameter's smoothing state. `source` is the parameter's
// Source as read once by the caller (another thread may change it); it must
// be live.
int32_t EvaluateParameter(PaletteValue& parameter, int32_t source);

// The parameter's value: evaluated and written back into Value when live.
int32_t UpdateParameter(PaletteValue& parameter);

// The parameter's value: evaluated when live, but Value is left as it is.
int32_t PeekParameter(PaletteValue& parameter);

}  // namespace lumox
