#include <climits>
#include <memory>
#include <set>
#include <string>

#include "base/random.h"
#include "control/control_fixture.h"
#include "control/controls.h"
#include "state/module.h"

namespace lumox {
namespace {

namespace off = share_offset;

// A control as its module defines it, with the given source.
ModuleControl Defined(int32_t def, int32_t min, int32_t max, int32_t source = kSourceSet) {
  ModuleControl control = DefinedControl(0, def, min, max);
  control.Source = source;
  return control;
}

using ControlsTest = BlockTest;

TEST_F(ControlsTest, RandomizeDrawsWithinTheRangeForEverySourceButSet) {
  ModuleDescriptor module;
  module.controls[0] = Defined(4, 0, 20, kSourceSet);
  module.controls[1] = Defined(4, 0, 20, kSourceRandom);
  module.controls[1].RangeLo = 15;  // reversed range: still 5..15
  module.controls[1].RangeHi = 5;
  module.controls[2] = Defined(0, INT32_MIN, INT32_MAX, kSourceOscillate);
  module.controls[3] = Defined(7, 7, 7, kSourceVolume);
  SeedRandom(99);
  std::set<int32_t> seen;
  for (int i = 0; i < 500; ++i) {
    RandomizeControls(module);
    EXPECT_EQ(module.controls[0].Value, 4);
    EXPECT_GE(module.controls[1].Value, 5);
    EXPECT_LE(module.controls[1].Value, 15);
    EXPECT_EQ(module.controls[3].Value, 7);
    seen.insert(module.controls[1].Value);
  }
  EXPECT_EQ(seen.size(), 11u);
  // The draw is min + rand() mod span.
  SeedRandom(7);
  const int32_t draw = Rand();
  SeedRandom(7);
  RandomizeControls(module);
  EXPECT_EQ(module.controls[1].Value, 5 + draw % 11);
}

TEST_F(ControlsTest, EvaluateControlsReplacesOnlyLiveSourcesTruncated) {
  SetUnitScales();
  SetLevels(0.375f, 0.375f);
  ModuleDescriptor module;
  module.controls[0] = Defined(3, 0, 100, kSourceSet);
  module.controls[1] = Defined(3, 0, 100, kSourceRandom);
  module.controls[2] = Defined(3, 0, 100, kSourceOscillate);
  module.controls[3] = Defined(3, -100, 0, kSourceVolume);
  EvaluateControls(module);
  EXPECT_EQ(module.controls[0].Value, 3);
  EXPECT_EQ(module.controls[1].Value, 3);
  EXPECT_EQ(module.controls[2].Value, 42);
  EXPECT_FLOAT_EQ(module.controls[2].Smoothed, 0.525f);
  EXPECT_EQ(module.controls[3].Value, -62);  // -62.5, toward zero
}

TEST_F(ControlsTest, ValidateRepairsValuesAndRangesOutsideTheLimits) {
  ModuleDescriptor module;
  module.controls[0] = Defined(4, 0, 20);
  module.controls[0].Value = 50;
  module.controls[0].RangeHi = -1;
  module.controls[0].RangeLo = 21;
  module.controls[1] = Defined(4, 0, 20);
  module.controls[1].Value = -1;
  module.controls[1].RangeLo = 20;  // valid, even above RangeHi
  module.controls[1].RangeHi = 0;
  module.controls[2] = Defined(-5, -10, -1);
  module.controls[2].Value = INT32_MIN;
  module.controls[2].RangeHi = INT32_MAX;
  ValidateControls(module);
  EXPECT_EQ(module.controls[0].Value, 4);
  EXPECT_EQ(module.controls[0].RangeLo, 0);
  EXPECT_EQ(module.controls[0].RangeHi, 20);
  EXPECT_EQ(module.controls[1].Value, 4);
  EXPECT_EQ(module.controls[1].RangeLo, 20);
  EXPECT_EQ(module.controls[1].RangeHi, 0);
  EXPECT_EQ(module.controls[2].Value, -5);
  EXPECT_EQ(module.controls[2].RangeLo, -10);
  EXPECT_EQ(module.controls[2].RangeHi, -1);
}

TEST(ControlSourceName, NamesEverySourceAndNothingOutside) {
  EXPECT_STREQ(ControlSourceName(kSourceSet), "Set");
  EXPECT_STREQ(ControlSourceName(kSourceFirstBand), "150Hz");
  EXPECT_STREQ(ControlSourceName(kSourceLastBand), "18KHz");
  EXPECT_STREQ(ControlSourceName(-1), "");
  EXPECT_STREQ(ControlSourceName(kSourceCount), "");
}

}  // namespace
}  // namespace lumox
