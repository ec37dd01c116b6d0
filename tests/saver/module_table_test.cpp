#include "saver/module_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "fake_modules.h"
#include "state/palette_state.h"
#include "saver/runtime_services.h"
#include "state/saver_state.h"

namespace lumox {
namespace {

using test::Calls;

class ModuleTableTest : public testing::Test {
 protected:
  ModuleTableTest() {
    test::UseFakeModules(services);
  }
  int ActiveCount() const {
    int n = 0;
    for (const auto& active : saver.options.Active) n += active != 0;
    return n;
  }

  test::TestEnvironment env;
  SaverState saver;
  RuntimeServices services;
};

TEST(DefineControl, SetsTheWholeControlAndEmptiesTheText) {
  ModuleTable table{};
  std::strcpy(table[kBitmap].text, "C:\\pictures");
  table[kBitmap].controls[3].Smoothed = 0.9f;
  table[kBitmap].controls[3].Source = kSourceOscillate;
  DefineControl(table, kBitmap, 57, 3, 7, -2, 30);
  const ModuleControl& c = table[kBitmap].controls[3];
  EXPECT_EQ(table[kBitmap].text[0], '\0');
  EXPECT_EQ((std::vector<int32_t>{c.Defined, c.LabelId, c.Source, c.Value, c.Default, c.RangeLo,
                                  c.Minimum, c.RangeHi, c.Maximum, c.Sense}),
            (std::vector<int32_t>{1, 57, kSourceSet, 7, 7, -2, -2, 30, 30, 10}));
  EXPECT_FLOAT_EQ(c.Smoothed, 0.5f);
}

TEST(DefineControl, IgnoresIndicesOutsideTheTable) {
  ModuleTable table{};
  std::strcpy(table[0].text, "kept");
  DefineControl(table, 0, 1, 20, 0, 0, 1);
  DefineControl(table, 0, 1, -1, 0, 0, 1);
  DefineControl(table, 12, 1, 0, 0, 0, 1);
  DefineControl(table, -1, 1, 0, 0, 0, 1);
  EXPECT_STREQ(table[0].text, "kept");
  for (const ModuleDescriptor& module : table) {
    for (const ModuleControl& c : module.controls) EXPECT_EQ(c.Defined, 0);
  }
}

TEST_F(ModuleTableTest, FillsEveryRecord) {
  PaletteState livePalette;
  PaletteState* palette = &livePalette;
  saver.palette = palette;
  SetUpModuleTable(saver, services);
  for (int i = 0; i < kModuleCount; ++i) {
    const ModuleDescriptor& module = saver.table[i];
    EXPECT_STREQ(module.name, kModuleNames[i]);
    EXPECT_EQ(module.palette, palette);
    EXPECT_EQ(module.table, saver.table.data());
    EXPECT_EQ(module.index(), i);
    EXPECT_EQ(module.controls[0].LabelId, 100 + i);
    EXPECT_EQ(module.controls[9].Minimum, -10);
    EXPECT_EQ(module.controls[5].Defined, 0);
    EXPECT_EQ(module.Draw, test::FakeModuleDefinition(i).Draw);
    EXPECT_EQ(module.Stop, test::FakeModuleDefinition(i).Stop);
  }
  // Every record is validated once, after everything else.
  EXPECT_EQ(Calls().With("Validate").size(), 12u);
}

TEST_F(ModuleTableTest, SettingsStepRunsBetweenDefinitionAndFlags) {
  services.setUpSavedDisplays = [this](SaverState& state) {
    // The stored settings see the definitions but not yet the flags.
    EXPECT_EQ(state.table[kBezier].controls[0].Defined, 1);
    EXPECT_EQ(state.table[kBezier].controls[1].SoundCapable, 0);
    EXPECT_TRUE(Calls().With("Validate").empty());
    state.table[kBezier].controls[0].Value = 77;
    for (auto& active : state.options.Active) active = 0;
    state.options.Active[kStar] = 1;
  };
  SetUpModuleTable(saver, services);
  EXPECT_EQ(saver.table[kBezier].controls[1].SoundCapable, 1);
  EXPECT_EQ(saver.table[kBezier].controls[2].SoundCapable, 0);
  EXPECT_EQ(saver.table[kBezier].controls[0].Value, 77);
  EXPECT_EQ(ActiveCount(), 1);
  EXPECT_EQ(saver.options.Active[kStar], 1);
}

TEST_F(ModuleTableTest, NoActiveModuleRunsRandom) {
  services.setUpSavedDisplays = [](SaverState& state) {
    for (auto& active : state.options.Active) active = 0;
  };
  SetUpModuleTable(saver, services);
  EXPECT_EQ(ActiveCount(), 1);
  EXPECT_EQ(saver.options.Active[kRandom], 1);
}

TEST_F(ModuleTableTest, ASecondSetUpStartsFromCleanControls) {
  SetUpModuleTable(saver, services);
  saver.table[kCyclic].controls[15].Defined = 1;  // left over from elsewhere
  saver.table[kCyclic].controls[9].Source = kSourceOscillate;
  std::strcpy(saver.table[kBitmap].text, "old");
  SetUpModuleTable(saver, services);
  EXPECT_EQ(saver.table[kCyclic].controls[15].Defined, 0);
  EXPECT_EQ(saver.table[kCyclic].controls[9].Source, kSourceSet);
  EXPECT_EQ(saver.table[kBitmap].text[0], '\0');
}

TEST_F(ModuleTableTest, KeepsTheRenderContextFields) {
  saver.table[kStain].width = 640;
  saver.table[kStain].height = 480;
  SetUpModuleTable(saver, services);
  EXPECT_EQ(saver.table[kStain].width, 640);
  EXPECT_EQ(saver.table[kStain].height, 480);
}

}  // namespace
}  // namespace lumox
