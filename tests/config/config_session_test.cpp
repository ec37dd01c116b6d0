#include "config/config_session.h"

#include <gtest/gtest.h>

#include "config_fixture.h"
#include "settings/saved_displays.h"

namespace lumox {
namespace {

using ConfigSessionTest = testing::ConfigTest;

TEST_F(ConfigSessionTest, TestRunSavesStartsAndIsRemovedOnTheNextActivationOrAtOnceWhenItFails) {
  EXPECT_TRUE(state().configDialogOpen);
  EXPECT_FALSE(session.Begin());  // the pages run once per process
  SaveDisplay(state(), "Mine");
  state().options.Active[kStar] = 1;
  state().options.Speed = 7;
  session.TestRun();
  EXPECT_EQ(system().launches(), std::vector<std::string>{"C:\\SAVER\\LUMOX.SCR /S"});
  EXPECT_EQ(ReadActiveName(), kTestingDisplay);
  EXPECT_EQ(StoredModules(kTestingDisplay), (std::vector<std::string>{"Pattern", "Star"}));
  EXPECT_EQ(GetInt(SettingsKey(), "Speed"), 7);

  // A second test before any page was activated still restores "Mine".
  session.TestRun();
  EXPECT_TRUE(session.EndTestRun());
  EXPECT_FALSE(KeyExists(DisplayKey(kTestingDisplay)));
  EXPECT_EQ(ReadActiveName(), "Mine");
  EXPECT_FALSE(session.EndTestRun());

  system().SetLaunchResult(false);  // a saver that cannot start beeps and leaves no test display
  session.TestRun();
  EXPECT_EQ(system().beeps(), 1);
  EXPECT_FALSE(KeyExists(DisplayKey(kTestingDisplay)) || session.testRunPending());
  EXPECT_EQ(ReadActiveName(), "Mine");
}

TEST(SessionTexts, CaptionNamesThePlayerOnlyWhenItRunsAndTheCommandLineQuotesBlanks) {
  EXPECT_EQ(SheetCaption(0, 7), "Lumox v3.5.350");
  EXPECT_EQ(SheetCaption(2, 5), "Lumox v3.5.350 w/Auralis v2.5");
  EXPECT_EQ(SaverCommandLine("C:\\Program Files\\LUMOX.SCR"), "\"C:\\Program Files\\LUMOX.SCR\" /S");
}

TEST(DirectoryOf, KeepsRootsAndDropsTheFileName) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\Pictures\\a.bmp", "C:\\Pictures"}, {"C:\\a.bmp", "C:\\"}, {"/home/u/a.lmx", "/home/u"},
      {"/a.lmx", "/"}, {"a.lmx", ""}};
  for (const auto& [path, directory] : cases) EXPECT_EQ(DirectoryOf(path), directory) << path;
}

}  // namespace
}  // namespace lumox
