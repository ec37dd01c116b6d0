#include "saver/module_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "fake_modules.h"
#include "modules/module_catalog.h"
#include "resources/strings.h"
#include "saver/runtime_services.h"
#include "state/palette_state.h"
#include "state/saver_state.h"

namespace lumox {
namespace {

using test::Calls;

class ModuleTableTest : public testing::Test {
 protected:
  ModuleTableTest() { test::UseFakeModules(services); }
  test::TestEnvironment env;
  SaverState saver;
  RuntimeServices services;
};

TEST_F(ModuleTableTest, DefinitionsThenStoredSettingsThenSoundFlagsThenValidation) {
  PaletteState palette;
  saver.palette = &palette;
  saver.table[kStain].width = 640;  // the render context's fields stay
  services.setUpSavedDisplays = [](SaverState& state) {
    // The stored settings see the definitions but not yet the flags.
    EXPECT_EQ(state.table[kBezier].controls[0].Defined, 1);
    EXPECT_EQ(state.table[kBezier].controls[1].SoundCapable, 0);
    EXPECT_TRUE(Calls().With("Validate").empty());
    state.table[kBezier].controls[0].Value = 77;
    state.options.Active = {};
    state.options.Active[kStar] = 1;
  };
  SetUpModuleTable(saver, services);
  for (int i = 0; i < kModuleCount; ++i) {
    const ModuleDescriptor& module = saver.table[i];
    EXPECT_STREQ(module.name, kModuleNames[i]);
    EXPECT_EQ(module.palette, &palette);
    EXPECT_EQ(module.controls[0].LabelId, 100 + i);
    EXPECT_EQ(module.controls[9].Minimum, -10);
    EXPECT_EQ(module.Draw, test::FakeModuleDefinition(i).Draw);
    EXPECT_EQ(saver.options.Active[i], i == kStar ? 1 : 0) << i;
  }
  EXPECT_EQ(Calls().With("Validate").size(), 12u);
  EXPECT_EQ(saver.table[kBezier].controls[1].SoundCapable, 1);
  EXPECT_EQ(saver.table[kBezier].controls[0].Value, 77);
  EXPECT_EQ(saver.table[kStain].width, 640);
}

TEST_F(ModuleTableTest, NoActiveModuleRunsRandomAndASecondSetUpStartsClean) {
  services.setUpSavedDisplays = [](SaverState& state) { state.options.Active = {}; };
  SetUpModuleTable(saver, services);
  EXPECT_EQ(saver.options.Active[kRandom], 1);
  ModuleControl& left = saver.table[kCyclic].controls[15];  // left over from elsewhere
  left = DefinedControl(9, 9, 9, 9);
  left.SoundCapable = 1;
  saver.table[kCyclic].controls[9].Source = kSourceOscillate;
  std::strcpy(saver.table[kBitmap].text, "old");
  SetUpModuleTable(saver, services);
  EXPECT_EQ((std::vector<int32_t>{left.Defined, left.LabelId, left.Source, left.Value, left.Default,
                                  left.RangeLo, left.RangeHi, left.Minimum, left.Maximum,
                                  left.Sense, left.SoundCapable}),
            std::vector<int32_t>(11, 0)) << "wiped";
  EXPECT_EQ(saver.table[kCyclic].controls[9].Source, kSourceSet);
  EXPECT_EQ(saver.table[kBitmap].text[0], '\0');
  int active = 0;
  for (const auto& flag : saver.options.Active) active += flag != 0;
  EXPECT_EQ(active, 1);
}

TEST(SoundCapableControls, AreTheOnesTheModulesNameAndNoOthers) {
  // The controls that offer "Oscillate" and the sound sources, by the names
  // the module descriptions give them.
  const std::pair<int, std::set<std::string>> documented[] = {
      {kPlasma, {}}, {kEffect, {}}, {kBitmap, {}}, {kRandom, {}},
      {kSphere, {"Size", "Symmetry", "X Tiling", "Y Tiling"}},
      {kStain, {"Folding", "X Tiling", "Y Tiling"}},
      {kStar, {"Star Size", "Speed", "X Revolve", "Y Revolve", "Z Revolve", "Star Rotation",
               "X Tiling", "Y Tiling", "Symmetry"}},
      {kVortex, {"Spasticity", "Amplitude", "Collapse Rate", "Radius Flux", "Flux Amplitude",
                 "X Tiling", "Y Tiling"}}};
  SaverState saver;
  RuntimeServices services;
  services.moduleDefinition = &GetModuleDefinition;
  SetUpModuleTable(saver, services);
  // The same answer where the table is not at hand.
  for (int module = 0; module < kModuleCount; ++module) {
    for (int c = 0; c < kControlsPerModule; ++c)
      EXPECT_EQ(IsSoundCapable(module, c), saver.table[module].controls[c].SoundCapable != 0);
  }
  EXPECT_FALSE(IsSoundCapable(-1, 1) || IsSoundCapable(kModuleCount, 1));
  for (const auto& [module, names] : documented) {
    std::set<std::string> capable;
    for (const ModuleControl& control : saver.table[module].controls)
      if (control.SoundCapable) capable.insert(LoadResourceString(control.LabelId));
    EXPECT_EQ(capable, names) << kModuleNames[module];
  }
  // The modules whose descriptions give the control numbers instead.
  const std::pair<int, std::set<int>> numbered[] = {
      {kBezier, {1, 3, 4, 6, 7}}, {kCyclic, {1, 3, 4, 5, 10, 11}}, {kPattern, {7, 10, 11}},
      {kPolygon, {1, 2, 4, 5}}};
  for (const auto& [module, controls] : numbered) {
    std::set<int> capable;
    for (int c = 0; c < kControlsPerModule; ++c)
      if (saver.table[module].controls[c].SoundCapable) capable.insert(c);
    EXPECT_EQ(capable, controls) << kModuleNames[module];
  }
}

}  // namespace
}  // namespace lumox
