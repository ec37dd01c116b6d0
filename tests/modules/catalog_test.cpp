// The catalog and the string table must agree: every control row names a
// label of its own that exists, and each module's rows describe a usable
// control. (Every module's entry points are called by the other module tests.)
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "modules/module_catalog.h"
#include "resources/strings.h"

namespace lumox {
namespace {

TEST(Catalog, EveryRowHasALabelOfItsOwn) {
  std::set<int> labels;
  for (int module = 0; module < kModuleCount; ++module) {
    for (const ControlRow& row : GetModuleDefinition(module).controls) {
      EXPECT_TRUE(labels.insert(row.labelId).second) << kModuleNames[module] << " " << row.index;
      EXPECT_STRNE(LoadResourceString(row.labelId), "") << row.labelId;
    }
  }
  EXPECT_STREQ(LoadResourceString(0), "");
  EXPECT_STREQ(LoadResourceString(-3), "");
  EXPECT_STREQ(LoadResourceString(*labels.rbegin() + 1), "");
}

TEST(Catalog, EveryModuleHasAUsableTable) {
  for (int module = 0; module < kModuleCount; ++module) {
    int previous = -1;
    bool hasStrength = false;
    for (const ControlRow& row : GetModuleDefinition(module).controls) {
      EXPECT_GT(row.index, previous) << kModuleNames[module];  // in order, each slot once
      previous = row.index;
      EXPECT_LT(row.index, kControlsPerModule);
      EXPECT_LE(row.minimum, row.defaultValue) << kModuleNames[module] << " " << row.index;
      EXPECT_LE(row.defaultValue, row.maximum) << kModuleNames[module] << " " << row.index;
      // The render thread reads slot 9 of every module as its speed.
      if (row.index == 9) hasStrength = std::string(LoadResourceString(row.labelId)) == "Strength";
    }
    EXPECT_TRUE(hasStrength) << kModuleNames[module];
  }
}

}  // namespace
}  // namespace lumox
