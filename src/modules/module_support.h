// Small helpers the display modules share: reading a control's working
// value held to the limits of its definition.
//
// Controls are validated when settings load, but a live source can still
// carry a value past its range (sound above full scale with AutoGain off),
// and a test or a hand-edited registry can hand a module anything. The
// modules therefore hold every working value to the Minimum..Maximum of the
// control's own definition row before using it.
#pragma once

#include <cstdint>
#include <span>

#include "base/truncate.h"
#include "modules/module_catalog.h"
#include "state/module.h"

namespace lumox {

// The definition row of control `slot` in `rows` (the module's own table).
const ControlRow& RowOf(std::span<const ControlRow> rows, int slot);

// The control's stored value, held to its definition's limits.
int32_t ControlValue(const ModuleDescriptor& module, std::span<const ControlRow> rows, int slot);

// If the control's source is live, its current evaluated value (not
// truncated) through `value`, and true; otherwise false.
bool EvaluateLive(ModuleDescriptor& module, int slot, float& value);

// The working value of a control re-read each frame: when its source is
// live, the truncated evaluation held to the control's limits; otherwise
// `current` unchanged.
int32_t LiveValue(ModuleDescriptor& module, std::span<const ControlRow> rows, int slot,
                  int32_t current);

// The value held to a row's limits.
int32_t HoldToRow(int64_t value, const ControlRow& row);

}  // namespace lumox
