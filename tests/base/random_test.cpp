#include "base/random.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "base/truncate.h"

namespace lumox {
namespace {

TEST(Random, FollowsTheLinearCongruentialRule) {
  // state <- state x 214013 + 2531011, draw (state >> 16) & 0x7FFF.
  SeedRandom(1);
  for (int32_t draw : {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358}) EXPECT_EQ(Rand(), draw);
}

TEST(TruncateToInt, TowardZeroAndSaturating) {
  const float inf = std::numeric_limits<float>::infinity();
  const std::pair<long double, int32_t> cases[] = {
      {-3.7L, -3},          {3.7L, 3},          {-0.9L, 0},         {NAN, 0},
      {inf, INT32_MAX},     {-inf, INT32_MIN},  {2147483648.0L, INT32_MAX},
      {-2147483649.0L, INT32_MIN}, {2147483520.0L, 2147483520}, {-2147483648.0L, INT32_MIN}};
  for (const auto& [value, expected] : cases) EXPECT_EQ(TruncateToInt(value), expected) << value;
  EXPECT_EQ(TruncateToInt64(1e30), int64_t{1} << 62);
  EXPECT_EQ(TruncateToInt64(-7.9), -7);
  EXPECT_EQ(SaturatingAdd(INT32_MAX, 1), INT32_MAX);
  EXPECT_EQ(SaturatingAdd(INT32_MIN, -1), INT32_MIN);
  EXPECT_EQ(SaturatingAdd(-5, 3), -2);
}

}  // namespace
}  // namespace lumox
