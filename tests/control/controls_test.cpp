#include <array>
#include <climits>
#include <cmath>
#include <set>

#include "base/random.h"
#include "control/control_fixture.h"
#include "control/controls.h"
#include "control/oscillator_table.h"
#include "state/module.h"

namespace lumox {
namespace {

using ControlsTest = BlockTest;

ModuleControl Defined(int32_t def, int32_t min, int32_t max, int32_t source = kSourceSet) {
  ModuleControl control = DefinedControl(0, def, min, max);
  control.Source = source;
  return control;
}

TEST_F(ControlsTest, RandomizeDrawsEveryValueOfTheRangeForEverySourceButSet) {
  ModuleDescriptor module;
  module.controls[0] = Defined(4, 0, 20, kSourceSet);
  module.controls[1] = Defined(4, 0, 20, kSourceRandom);
  module.controls[1].RangeLo = 15;  // either way round: 5..15
  module.controls[1].RangeHi = 5;
  module.controls[2] = Defined(0, INT32_MIN, INT32_MAX, kSourceOscillate);
  module.controls[3] = Defined(7, 7, 7, kSourceVolume);
  std::set<int32_t> seen;
  for (int i = 0; i < 500; ++i) {
    RandomizeControls(module);
    ASSERT_EQ(module.controls[0].Value, 4);
    ASSERT_EQ(module.controls[3].Value, 7);
    seen.insert(module.controls[1].Value);
  }
  EXPECT_EQ(seen, (std::set<int32_t>{5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
}

TEST_F(ControlsTest, EvaluateControlsReplacesOnlyLiveSourcesTruncatedTowardZero) {
  SetUnitScales();
  SetLevels(0.375f, 0.375f);
  ModuleDescriptor module;
  for (int32_t source : {kSourceSet, kSourceRandom, kSourceOscillate})
    module.controls[source] = Defined(3, 0, 100, source);
  module.controls[3] = Defined(3, -100, 0, kSourceVolume);
  EvaluateControls(module);
  EXPECT_EQ(module.controls[0].Value, 3);
  EXPECT_EQ(module.controls[1].Value, 3);
  EXPECT_EQ(module.controls[2].Value, 42);
  EXPECT_EQ(module.controls[3].Value, -62);  // -62.5
}

TEST_F(ControlsTest, ValidateRepairsValuesAndRangesOutsideTheLimits) {
  ModuleDescriptor module;
  module.controls[0] = Defined(4, 0, 20);
  module.controls[1] = Defined(4, 0, 20);
  module.controls[2] = Defined(-5, -10, -1);
  const int32_t loaded[3][3] = {{50, 21, -1}, {-1, 20, 0}, {INT32_MIN, -10, INT32_MAX}};
  const int32_t repaired[3][3] = {{4, 0, 20}, {4, 20, 0}, {-5, -10, -1}};
  for (int i = 0; i < 3; ++i) {
    module.controls[i].Value = loaded[i][0];
    module.controls[i].RangeLo = loaded[i][1];
    module.controls[i].RangeHi = loaded[i][2];
  }
  ValidateControls(module);
  for (int i = 0; i < 3; ++i) {
    const ModuleControl& c = module.controls[i];
    EXPECT_EQ((std::array{c.Value, c.RangeLo, c.RangeHi}),
              (std::array{repaired[i][0], repaired[i][1], repaired[i][2]})) << i;
  }
}

TEST(ControlSourceName, NamesEverySourceAndNothingOutside) {
  EXPECT_STREQ(ControlSourceName(kSourceSet), "Set");
  EXPECT_STREQ(ControlSourceName(kSourceVolume), "Volume");
  EXPECT_STREQ(ControlSourceName(kSourceFirstBand + 12), "8KHz");
  EXPECT_STREQ(ControlSourceName(kSourceLastBand), "18KHz");
  EXPECT_STREQ(ControlSourceName(-1), "");
  EXPECT_STREQ(ControlSourceName(kSourceCount), "");
}

TEST(OscillatorTable, IsTheRoundedSineShiftedByOneStep) {
  for (int k = 0; k < kOscillatorTableSize; ++k) {
    const long double angle = 2.0L * 3.14159265358979323846264338327950288L * (k + 1) / 2048.0L;
    ASSERT_EQ(OscillatorTable[k], std::lround(16382.0L * std::sin(angle))) << "entry " << k;
  }
}

}  // namespace
}  // namespace lumox
