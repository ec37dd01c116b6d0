// Small helpers the display modules share: safe float-to-integer
// conversion, and reading a control's working value held to the limits of
// its definition.
//
// Controls are validated when settings load, but a live source can still
// carry a value past its range (sound above full scale with AutoGain off),
// and a test or a hand-edited registry can hand a module anything. The
// modules therefore hold every working value to the Minimum..Maximum of the
// control's own definition row before using it.
#pragma once

#include <cstdint>
#include <limits>
#include <span>

#include "modules/module_catalog.h"
#include "state/module.h"

namespace lumox {

// Truncation toward zero, saturated to the int32 range; NaN gives 0.
inline int32_t TruncToInt(long double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0L) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483648.0L) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

// Truncation toward zero into 64 bits, saturated at +-2^62; NaN gives 0.
inline int64_t TruncToInt64(double v) {
  constexpr double kLimit = 4611686018427387904.0;  // 2^62
  if (!(v == v)) return 0;
  if (v >= kLimit) return int64_t{1} << 62;
  if (v <= -kLimit) return -(int64_t{1} << 62);
  return static_cast<int64_t>(v);
}

inline int32_t SaturatingAdd(int32_t a, int32_t b) {
  const int64_t sum = int64_t{a} + b;
  if (sum > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (sum < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(sum);
}

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
