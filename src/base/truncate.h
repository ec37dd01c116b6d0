// Floating-point results become integers by truncation toward zero. Live
// controls, sound levels and geometry can produce values far outside the
// int32 range (or NaN from a zero full scale), where a plain cast is
// undefined; these conversions saturate instead.
#pragma once

#include <cstdint>
#include <limits>

namespace lumox {

// Truncation toward zero, saturated to the int32 range; NaN gives 0.
inline int32_t TruncateToInt(long double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0L) return std::numeric_limits<int32_t>::max();
  if (v <= -2147483648.0L) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

// Truncation toward zero into 64 bits, saturated at +-2^62; NaN gives 0.
inline int64_t TruncateToInt64(double v) {
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

}  // namespace lumox
