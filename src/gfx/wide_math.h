// Exact intermediate products for rasterising with 64-bit coordinates.
//
// Coordinates are 32-bit, so differences and steps need 33 bits and their
// products up to 66: such expressions are evaluated in a 128-bit integer.
// Compilers without one (32-bit targets) fall back to long double, exact to
// 64 bits, which covers every coordinate a screen can show; beyond that the
// callers clamp what they compute to the drawable area anyway.
#pragma once

#include <cmath>
#include <cstdint>

namespace lumox::gfx {

#if defined(__SIZEOF_INT128__)
using Wide = __int128;

// floor(a / b) for b > 0, as a 64-bit value.
inline int64_t FloorDivWide(Wide a, int64_t b) {
  Wide q = a / b;
  if ((a % b != 0) && (a < 0)) --q;
  return static_cast<int64_t>(q);
}
#else
using Wide = long double;

inline int64_t FloorDivWide(Wide a, int64_t b) {
  return static_cast<int64_t>(std::floor(a / static_cast<Wide>(b)));
}
#endif

// ceil(a / b) for b > 0.
inline int64_t CeilDivWide(Wide a, int64_t b) { return -FloorDivWide(-a, b); }

}  // namespace lumox::gfx
