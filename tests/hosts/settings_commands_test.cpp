#include "settings_commands.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "modules/module_catalog.h"
#include "resources/strings.h"
#include "settings/registry_values.h"
#include "settings/saved_displays.h"
#include "settings/settings_fixture.h"

namespace lumox {
namespace {

using testing::SettingsTest;

class SettingsCommandsTest : public SettingsTest {
 protected:
  void SetUp() override {
    SettingsTest::SetUp();
    file_ = TestTempPath("lumox_commands_", ".LMX");
    PutInt(ModuleKey("Alpha", "Bezier"), "Control9", -3);
    PutInt(ModuleKey("Alpha", "Bezier"), "Check9", kSourceOscillate);
    PutInt(DisplayKey("Alpha"), "Priority", kPriorityHigh);
    PutInt(PaletteKey("Alpha"), "RedEffect", kEffectCustom);
    PutInt(ModuleKey("Beta", "Star"), "Control0", 1);
    WriteActiveName("Beta");
  }
  void TearDown() override {
    std::filesystem::remove(file_);
    SettingsTest::TearDown();
  }
  CommandResult Run(std::vector<std::string> words) { return RunSettingsCommand(words); }
  std::string file() const { return file_.string(); }

 private:
  std::filesystem::path file_;
};

TEST_F(SettingsCommandsTest, ListMarksTheActiveDisplay) {
  const CommandResult result = Run({"list"});
  EXPECT_EQ(result.exitCode, kCommandOk);
  EXPECT_EQ(result.output, "  Alpha\n* Beta\n");
}

TEST_F(SettingsCommandsTest, ActivateAndDeleteWantAnExistingDisplay) {
  EXPECT_EQ(Run({"activate", "Gamma"}).exitCode, kCommandFailed);
  EXPECT_EQ(ReadActiveName(), "Beta");
  EXPECT_EQ(Run({"activate", "Alpha"}).exitCode, kCommandOk);
  EXPECT_EQ(ReadActiveName(), "Alpha");

  EXPECT_EQ(Run({"delete", "Gamma"}).exitCode, kCommandFailed);
  const CommandResult deleted = Run({"delete", "Alpha"});
  EXPECT_EQ(deleted.exitCode, kCommandOk);
  EXPECT_NE(deleted.output.find("was the active display"), std::string::npos);
  EXPECT_EQ(ListSavedDisplays(), std::vector<std::string>{"Beta"});
}

TEST_F(SettingsCommandsTest, ExportAndImportUnderAnotherName) {
  ASSERT_EQ(Run({"export", "Alpha", file()}).exitCode, kCommandOk);
  const CommandResult imported = Run({"import", file(), "--as", "Copy"});
  ASSERT_EQ(imported.exitCode, kCommandOk) << imported.error;
  EXPECT_EQ(Dump(ControlPanelPath(DisplayKey("Copy"))),
            Dump(ControlPanelPath(DisplayKey("Alpha"))));
  EXPECT_TRUE(system().questions().empty());

  // Replacing an existing display asks first, unless told --yes.
  PutInt(DisplayKey("Beta"), "Marker", 1);
  system().QueueAnswer(false);
  EXPECT_EQ(Run({"import", file(), "--as", "Beta"}).exitCode, kCommandFailed);
  EXPECT_TRUE(HasValue(DisplayKey("Beta"), "Marker"));
  EXPECT_EQ(system().questions().size(), 1u);
  EXPECT_EQ(Run({"import", file(), "--as", "Beta", "--yes"}).exitCode, kCommandOk);
  EXPECT_FALSE(HasValue(DisplayKey("Beta"), "Marker"));
  EXPECT_EQ(system().questions().size(), 1u);

  EXPECT_EQ(Run({"export", "Gamma", file()}).exitCode, kCommandFailed);
  EXPECT_EQ(Run({"import", file() + ".missing"}).exitCode, kCommandFailed);
}

TEST_F(SettingsCommandsTest, ShowListsModulesWithLabelledControlsOptionsAndEffects) {
  const CommandResult result = Run({"show", "Alpha"});
  ASSERT_EQ(result.exitCode, kCommandOk) << result.error;
  std::string label;
  for (const ControlRow& row : GetModuleDefinition(kBezier).controls) {
    if (row.index == 9) label = LoadResourceString(row.labelId);
  }
  ASSERT_FALSE(label.empty());
  EXPECT_NE(result.output.find("  Bezier\n"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("    " + label + ": -3 (Oscillate, range"), std::string::npos)
      << result.output;
  EXPECT_NE(result.output.find("Priority 128"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("SlowCPU (not stored)"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("red Custom"), std::string::npos) << result.output;
  EXPECT_EQ(result.output.find("Star"), std::string::npos) << result.output;
  EXPECT_EQ(Run({"show", "Gamma"}).exitCode, kCommandFailed);
}

TEST_F(SettingsCommandsTest, WrongWordsGiveTheUsage) {
  for (const std::vector<std::string>& words :
       std::vector<std::vector<std::string>>{{}, {"frobnicate"}, {"show"}, {"import", "f", "--no"}}) {
    const CommandResult result = Run(words);
    EXPECT_EQ(result.exitCode, kCommandUsage);
    EXPECT_NE(result.error.find("Settings commands:"), std::string::npos);
  }
}

}  // namespace
}  // namespace lumox
