#include "control/oscillator_table.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lumox {
namespace {

TEST(OscillatorTable, MatchesTheRoundedSineEverywhere) {
  for (int k = 0; k < kOscillatorTableSize; ++k) {
    const long double angle = 2.0L * 3.14159265358979323846264338327950288L * (k + 1) / 2048.0L;
    const long expected = std::lround(16382.0L * std::sin(angle));
    ASSERT_EQ(OscillatorTable[k], expected) << "entry " << k;
  }
}

}  // namespace
}  // namespace lumox
