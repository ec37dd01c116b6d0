#include "settings_commands.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "command_line.h"
#include "platform/file_size_limit.h"
#include "platform/posix/file_registry.h"
#include "platform/temp_dir.h"
#include "settings/registry_values.h"
#include "settings/saved_displays.h"
#include "settings/settings_fixture.h"
#include "settings_cli.h"

namespace lumox {
namespace {

class SettingsCommandsTest : public testing::SettingsTest {
 protected:
  void SetUp() override {
    SettingsTest::SetUp();
    PutInt(ModuleKey("Alpha", "Bezier"), "Control9", -3);
    PutInt(ModuleKey("Alpha", "Bezier"), "Check9", kSourceOscillate);
    PutInt(DisplayKey("Alpha"), "Priority", kPriorityHigh);
    PutInt(PaletteKey("Alpha"), "RedEffect", kEffectCustom);
    PutInt(ModuleKey("Beta", "Star"), "Control0", 1);
    WriteActiveName("Beta");
  }
  // The program's settings command line; its exit code, standard output in `out`.
  int Run(const std::vector<std::string>& args, std::string& out) {
    ::testing::internal::CaptureStdout();
    const int code = host::RunSettingsCommand(host::ParseCommandLine(args));
    out = ::testing::internal::GetCapturedStdout();
    return code;
  }
};

TEST_F(SettingsCommandsTest, ListAndShowOnlyRead) {
  WriteActiveName("Gone");  // the saver would fall back and rewrite this
  const auto before = Dump("");
  std::string out;
  EXPECT_EQ(Run({"--list"}, out), kCommandOk);
  EXPECT_EQ(out, "  Alpha\n  Beta\n");
  EXPECT_EQ(Run({"--show", "Alpha"}, out), kCommandOk);
  for (const char* line : {"  Bezier\n", ": -3 (Oscillate, range", "Priority 128",
                           "SlowCPU (not stored)", "red Custom"}) {
    EXPECT_NE(out.find(line), std::string::npos) << line << " in\n" << out;
  }
  EXPECT_EQ(out.find("Star"), std::string::npos) << out;
  EXPECT_EQ(Dump(""), before);

  // On first use there are the first-run displays to list.
  MemoryRegistry fresh;
  InstallRegistry(&fresh);
  EXPECT_EQ(Run({"--list"}, out), kCommandOk);
  EXPECT_EQ(out.find("  [D] Bezier\n"), 0u) << out;
  EXPECT_NE(out.find("* [R] Saved Sound Settings\n"), std::string::npos) << out;
}

// A command whose change the settings file cannot take fails, and does not
// print what it would have done.
TEST_F(SettingsCommandsTest, AChangeTheFileCannotTakeFailsTheCommand) {
  testing::TempDir dir;
  FileRegistry file(dir.File("registry.reg"));
  InstallRegistry(&file);
  std::string out;
  ASSERT_EQ(Run({"--list"}, out), kCommandOk);  // writes the first-run displays
  ::testing::internal::CaptureStderr();
  {
    const testing::FileSizeLimit limit(100);
    EXPECT_EQ(Run({"--activate", "[D] Cyclic"}, out), kCommandFailed);
    EXPECT_EQ(out, "");
    EXPECT_EQ(Run({"--list"}, out), kCommandFailed);  // the change is still unwritten
  }
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("cannot write the settings file"),
            std::string::npos);
  EXPECT_EQ(Run({"--list"}, out), kCommandOk);  // written now
  EXPECT_NE(out.find("* [D] Cyclic\n"), std::string::npos) << out;
}

// Importing over a display asks first (the other commands and their
// failures are run end to end); a name no store can hold is refused.
TEST_F(SettingsCommandsTest, ImportAsksBeforeReplacingAndRefusesBadNames) {
  const std::string file = ::testing::TempDir() + "lumox_commands_test.LMX";
  ASSERT_EQ(ExportDisplayCommand("Alpha", file).exitCode, kCommandOk);
  PutInt(DisplayKey("Beta"), "Marker", 1);
  system().QueueAnswer(false);
  EXPECT_EQ(ImportFileCommand(file, "Beta", false).exitCode, kCommandFailed);
  EXPECT_FALSE(Get(DisplayKey("Beta"), "Marker").empty());
  EXPECT_EQ(ImportFileCommand(file, "Beta", true).exitCode, kCommandOk);
  EXPECT_EQ(DumpDisplay("Beta"), DumpDisplay("Alpha"));
  EXPECT_EQ(system().questions().size(), 1u);
  const CommandResult badName = ImportFileCommand(file, std::string(256, 'n'), true);
  EXPECT_EQ(badName.exitCode, kCommandFailed);
  EXPECT_EQ(badName.error, DisplayNameProblem(std::string(256, 'n')) + "\n");
  std::remove(file.c_str());

  const CommandResult deleted = DeleteDisplayCommand("Beta");
  EXPECT_EQ(deleted.exitCode, kCommandOk);
  EXPECT_NE(deleted.output.find("was the active display"), std::string::npos);
}

}  // namespace
}  // namespace lumox
