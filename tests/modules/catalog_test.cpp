// The catalog and the string table must agree: every control row names a
// label that exists, the labels run 10..116 in module and row order, and
// each module's rows describe a usable control.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "modules/module_catalog.h"
#include "resources/strings.h"

namespace lumox {
namespace {

TEST(Catalog, LabelsRunFromTenToOneHundredSixteenInOrder) {
  int expected = 10;
  for (int module = 0; module < kModuleCount; ++module) {
    for (const ControlRow& row : GetModuleDefinition(module).controls) {
      EXPECT_EQ(row.labelId, expected) << kModuleNames[module] << " slot " << row.index;
      EXPECT_STRNE(LoadResourceString(row.labelId), "") << row.labelId;
      ++expected;
    }
  }
  EXPECT_EQ(expected, 117);
  EXPECT_STREQ(LoadResourceString(kStringDescription), "QR Lumoxic");
  EXPECT_STREQ(LoadResourceString(0), "");
  EXPECT_STREQ(LoadResourceString(117), "");
  EXPECT_STREQ(LoadResourceString(-3), "");
}

TEST(Catalog, EveryModuleHasAUsableTable) {
  for (int module = 0; module < kModuleCount; ++module) {
    const ModuleDefinition& d = GetModuleDefinition(module);
    ASSERT_NE(d.Draw, nullptr);
    ASSERT_NE(d.Init, nullptr);
    ASSERT_NE(d.Start, nullptr);
    ASSERT_NE(d.Stop, nullptr);
    std::set<int> slots;
    int previous = -1;
    bool hasStrength = false;
    for (const ControlRow& row : d.controls) {
      EXPECT_TRUE(slots.insert(row.index).second) << kModuleNames[module] << " " << row.index;
      EXPECT_GT(row.index, previous) << kModuleNames[module];
      previous = row.index;
      EXPECT_GE(row.index, 0);
      EXPECT_LT(row.index, kControlsPerModule);
      EXPECT_LE(row.minimum, row.defaultValue) << kModuleNames[module] << " " << row.index;
      EXPECT_LE(row.defaultValue, row.maximum) << kModuleNames[module] << " " << row.index;
      if (row.index == 9) {
        // The render thread reads slot 9 of every module as its speed.
        hasStrength = std::string(LoadResourceString(row.labelId)) == "Strength";
      }
    }
    EXPECT_TRUE(hasStrength) << kModuleNames[module];
  }
}

TEST(Catalog, ModulesNotYetBuiltDoNothing) {
  ModuleDescriptor module;
  for (int index = kPlasma; index < kRandom; ++index) {
    const ModuleDefinition& d = GetModuleDefinition(index);
    EXPECT_EQ(d.Draw, &NoOpEntryPoint);
    EXPECT_EQ(d.Draw(module), 0);
  }
  EXPECT_NE(GetModuleDefinition(kBezier).Draw, &NoOpEntryPoint);
  // Random has its own Start and Draw; its Init and Stop are the shared no-op.
  const ModuleDefinition& random = GetModuleDefinition(kRandom);
  EXPECT_NE(random.Start, &NoOpEntryPoint);
  EXPECT_NE(random.Draw, &NoOpEntryPoint);
  EXPECT_EQ(random.Init, &NoOpEntryPoint);
  EXPECT_EQ(random.Stop, &NoOpEntryPoint);
}

}  // namespace
}  // namespace lumox
