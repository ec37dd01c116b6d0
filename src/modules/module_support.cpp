#include "modules/module_support.h"

#include <algorithm>
#include <cassert>

#include "control/controls.h"

namespace lumox {

const ControlRow& RowOf(std::span<const ControlRow> rows, int slot) {
  for (const ControlRow& row : rows) {
    if (row.index == slot) return row;
  }
  assert(false && "the module has no control in this slot");
  static constexpr ControlRow kNone{0, 0, 0, 0, 0};
  return kNone;
}

int32_t HoldToRow(int64_t value, const ControlRow& row) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, row.minimum, row.maximum));
}

int32_t ControlValue(const ModuleDescriptor& module, std::span<const ControlRow> rows, int slot) {
  return HoldToRow(module.controls[slot].Value, RowOf(rows, slot));
}

bool EvaluateLive(ModuleDescriptor& module, int slot, float& value) {
  ModuleControl& control = module.controls[slot];
  if (!IsControlLive(control.Source)) return false;
  value = EvaluateControl(control.Source, control.Smoothed, static_cast<float>(control.Sense),
                          static_cast<float>(control.RangeLo),
                          static_cast<float>(control.RangeHi));
  return true;
}

int32_t LiveValue(ModuleDescriptor& module, std::span<const ControlRow> rows, int slot,
                  int32_t current) {
  float value = 0;
  if (!EvaluateLive(module, slot, value)) return current;
  if (!(value == value)) return current;  // a level divided by a zero full scale
  return HoldToRow(TruncateToInt(value), RowOf(rows, slot));
}

}  // namespace lumox
