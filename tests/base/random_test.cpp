#include "base/random.h"

#include <gtest/gtest.h>

namespace lumox {
namespace {

TEST(Random, FollowsTheLinearCongruentialRule) {
  SeedRandom(1);
  // state = 1 * 214013 + 2531011 = 2745024 -> (2745024 >> 16) & 0x7FFF = 41
  EXPECT_EQ(Rand(), 41);
  EXPECT_EQ(RandomState(), 2745024u);
  // The next states of the same rule, computed independently.
  uint32_t state = 2745024u;
  for (int i = 0; i < 1000; ++i) {
    state = state * 214013u + 2531011u;
    ASSERT_EQ(Rand(), static_cast<int32_t>((state >> 16) & 0x7FFF)) << "draw " << i;
  }
}

TEST(Random, DrawsStayInRangeAndSameSeedRepeats) {
  SeedRandom(12345);
  int first[50];
  for (int& value : first) {
    value = Rand();
    EXPECT_GE(value, 0);
    EXPECT_LE(value, kRandMax);
  }
  SeedRandom(12345);
  for (int value : first) EXPECT_EQ(Rand(), value);
}

}  // namespace
}  // namespace lumox
