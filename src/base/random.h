// The process-wide random generator.
//
// One linear congruential generator shared by every thread without a lock:
// state <- state * 214013 + 2531011 (mod 2^32), result (state >> 16) & 0x7FFF.
// It is seeded with the tick count when the render thread starts, when the
// palette state is created and when a slide-show loader starts. Two threads
// drawing at once may both see the same state; that only repeats a number.
#pragma once

#include <cstdint>

namespace lumox {

constexpr int32_t kRandMax = 32767;

void SeedRandom(uint32_t seed);

// One draw, 0 to 32767.
int32_t Rand();

// The current state word (for tests that check the exact sequence).
uint32_t RandomState();

// A draw divided by 32767: 0.0 to 1.0 inclusive.
inline float RandomFraction() { return static_cast<float>(Rand()) / 32767.0f; }

}  // namespace lumox
