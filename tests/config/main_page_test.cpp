#include "config/main_page.h"

#include <gtest/gtest.h>

#include "config_fixture.h"
#include "platform/temp_dir.h"
#include "settings/saved_displays.h"

namespace lumox {
namespace {

class MainPageTest : public testing::ConfigTest {
 protected:
  MainOptions WithActive(std::initializer_list<int> modules) {
    MainOptions options = page.Fill();
    options.active.fill(false);
    for (int module : modules) options.active[module] = true;
    return options;
  }
  MainPage page{session};
};

TEST_F(MainPageTest, OptionsGoBackHeldToTheirRanges) {
  MainOptions options = WithActive({kRandom});
  std::tie(options.priority, options.titleSeconds, options.frameDelay) = std::tuple(128, 500, -3);
  page.ReadBack(options);
  const SaverOptions& live = state().options;
  EXPECT_EQ(std::tie(live.Priority, live.ShowName, live.Speed), std::tuple(128, 120, 0));
  EXPECT_EQ(std::tie(live.Active[kPattern], live.Active[kRandom]), std::tuple(0, 1));
  std::tie(options.priority, options.frameDelay) = std::tuple(7, 11);  // 7: no button checked
  page.ReadBack(options);
  EXPECT_EQ(std::tie(live.Priority, live.Speed), std::tuple(128, 10));
}

TEST_F(MainPageTest, SaveStoresTheActiveModulesUnderTheBoxNameAndDeleteTakesExactNames) {
  state().options.Speed = 4;
  page.OptionChanged();
  EXPECT_EQ(page.BoxText(), kScratchDisplay);
  EXPECT_TRUE(page.Save("Evening", WithActive({kStar, kVortex})));
  EXPECT_EQ(StoredModules("Evening"), (std::vector<std::string>{"Star", "Vortex"}));
  EXPECT_EQ(page.BoxText(), "Evening");  // "Active", and no longer modified
  EXPECT_TRUE(page.Save("", page.Fill()));
  EXPECT_EQ(ReadActiveName(), kScratchDisplay);

  EXPECT_FALSE(page.Delete(""));
  EXPECT_FALSE(page.Delete("Even"));
  EXPECT_TRUE(page.Delete("EVENING"));
  EXPECT_FALSE(page.Choose("Evening"));
  EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(MainPageTest, NamesTheStoreCannotHoldAreRefusedWithAMessage) {
  const char* refused[] = {kTestingDisplay, "testing current settings", "a\\b", "..", "tab\there"};
  for (const char* name : refused) {
    EXPECT_FALSE(page.Save(name, page.Fill())) << name;
    EXPECT_FALSE(page.Export(name, page.Fill())) << name;
  }
  EXPECT_EQ(dialogs.messages.size(), 2 * std::size(refused));
  EXPECT_NE(dialogs.messages[4], dialogs.messages[0]);  // the store's own reason
  EXPECT_TRUE(page.DisplayNames().empty());
  EXPECT_TRUE(dialogs.requests.empty());
}

TEST_F(MainPageTest, ExportedDisplaysComeBackWholeAndDamagedFilesChangeNothing) {
  testing::TempDir dir;
  const std::string file = dir.File("Evening.LMX");
  dialogs.answers.push_back({file});
  ASSERT_TRUE(page.Export("Evening", WithActive({kSphere})));
  EXPECT_EQ(dialogs.requests.back().fileName, "Evening");
  EXPECT_EQ(session.rememberedDirectory(), dir.path());
  const auto saved = DumpDisplay("Evening");

  page.Save("Other", WithActive({kBezier}));
  dialogs.answers.push_back({file});
  EXPECT_FALSE(page.Import());  // the overwrite question is answered No
  EXPECT_EQ(system().questions().size(), 1u);
  EXPECT_EQ(ReadActiveName(), "Other");

  DeleteDisplay("Evening");
  std::ofstream(dir.File("Broken.LMX")) << "not a settings file";
  dialogs.answers.push_back({dir.File("Broken.LMX"), file});
  EXPECT_TRUE(page.Import());
  EXPECT_EQ(dialogs.messages.size(), 1u);  // the damaged file's reason
  EXPECT_FALSE(KeyExists(DisplayKey("Broken")));
  EXPECT_EQ(DumpDisplay("Evening"), saved);
  EXPECT_EQ(ReadActiveName(), "Evening");
  EXPECT_EQ(std::tie(state().options.Active[kSphere], state().options.Active[kBezier]),
            std::tuple(1, 0));
}

TEST_F(MainPageTest, ApplySavesUnsavedChangesAsScratchAndPreviewLeavesNothing) {
  page.Save("Mine", page.Fill());
  state().options.Speed = 6;
  page.Apply(page.Fill());
  EXPECT_FALSE(KeyExists(DisplayKey(kScratchDisplay)));
  EXPECT_EQ(GetInt(SettingsKey(), "Speed"), 6);

  page.Preview(WithActive({kStain}));
  EXPECT_EQ(StoredModules(kTestingDisplay), std::vector<std::string>{"Stain"});
  EXPECT_TRUE(page.Activated());  // the page's activation removes the test display
  EXPECT_EQ(ReadActiveName(), "Mine");

  page.OptionChanged();
  page.Apply(WithActive({kPlasma}));
  EXPECT_EQ(StoredModules(kScratchDisplay), std::vector<std::string>{"Plasma"});
  EXPECT_EQ(ReadActiveName(), kScratchDisplay);
}

TEST(VideoModeAdvice, NamesTheScreensColourCount) {
  const std::tuple<int, int, uint32_t> screens[] = {
      {4, 1, 16u}, {1, 4, 16u}, {8, 1, 256u}, {24, 1, 16777216u}, {32, 1, 4294967295u}};
  for (const auto& [bits, planes, colors] : screens) EXPECT_EQ(ScreenColorCount(bits, planes), colors);
  EXPECT_EQ(VideoModeAdvice(256), "All screen saver features are fully functional in this video mode.");
  EXPECT_NE(VideoModeAdvice(16).find("in a 16 color video mode.  Many"), std::string::npos);
}

}  // namespace
}  // namespace lumox
