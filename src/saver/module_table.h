// Filling the module table: control definitions, stored settings, the
// controls that accept live sources, and the entry points.
//
// The render thread sets the table up at the start of a run (and once more
// after launching the sound player), the configuration dialog when it
// opens.
#pragma once

#include <cstdint>

#include "state/module.h"

namespace lumox {

struct RuntimeServices;
struct SaverState;

// Defines one control of a module: Defined, its label, source "Set", value
// and default = `defaultValue`, range and limits = minimum..maximum, Sense
// 10, Smoothed 0.5. Empties the module's text. A module or control index
// out of range is ignored.
void DefineControl(ModuleTable& table, int module, int32_t labelId, int control,
                   int32_t defaultValue, int32_t minimum, int32_t maximum);

// Whether a module's control may take the oscillating and sound sources.
bool IsSoundCapable(int module, int control);

// The whole table set-up: names and palette pointers, every module's
// controls, the stored settings (the saved display named by "Active"; the
// Random module when nothing is active), the sound-capable flags, entry
// points and table pointers, and a final validation of every record.
void SetUpModuleTable(SaverState& saver, const RuntimeServices& services);
// The same with the real subsystems.
void SetUpModuleTable(SaverState& saver);

}  // namespace lumox
