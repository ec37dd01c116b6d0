#include "control/oscillator_table.h"

#include <gtest/gtest.h>

#include <algorithm>
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

TEST(OscillatorTable, ZerosPeakAndTroughWhereDocumented) {
  EXPECT_EQ(OscillatorTable[1023], 0);
  EXPECT_EQ(OscillatorTable[2047], 0);
  const auto [low, high] = std::minmax_element(OscillatorTable.begin(), OscillatorTable.end());
  EXPECT_EQ(*high, 16382);
  EXPECT_EQ(*low, -16382);
  for (int k = 0; k < kOscillatorTableSize; ++k) {
    const bool inPeak = k >= 509 && k <= 513;
    EXPECT_EQ(OscillatorTable[k] == 16382, inPeak) << "entry " << k;
    // The second half mirrors the first.
    EXPECT_EQ(OscillatorTable[(k + 1024) % 2048], -OscillatorTable[k]) << "entry " << k;
  }
}

}  // namespace
}  // namespace lumox
