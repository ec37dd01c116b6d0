// The sine table behind every oscillation.
//
// 2048 entries, entry k = round(16382 * sin(2*pi*(k + 1) / 2048)): one full
// period, shifted by one step so that entries 1023 and 2047 are the zero
// crossings. The largest entry is 16382 (entries 509 to 513), the smallest
// -16382. Users scale entries by 1/16383. The control evaluator, the palette
// engine and the Pattern module index it.
//
// The table is computed at compile time, so it is ready before any static
// initialiser of another file can read it.
#pragma once

#include <array>
#include <cstdint>

namespace lumox {

constexpr int kOscillatorTableSize = 2048;
constexpr int32_t kOscillatorAmplitude = 16382;
constexpr float kOscillatorScale = 1.0f / 16383.0f;

extern const std::array<int32_t, kOscillatorTableSize> OscillatorTable;

}  // namespace lumox
