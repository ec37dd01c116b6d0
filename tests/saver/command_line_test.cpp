#include "saver/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace lumox {
namespace {

struct DispatchCase {
  const char* arguments;
  bool family95;
  SaverModeKind kind;
  int exitCode;
};

class DispatchTable : public testing::TestWithParam<DispatchCase> {};

TEST_P(DispatchTable, DecidesTheMode) {
  const DispatchCase& c = GetParam();
  SaverMode mode = DispatchSaverMode(c.arguments, c.family95);
  EXPECT_EQ(mode.kind, c.kind) << '"' << c.arguments << '"';
  if (c.kind == SaverModeKind::Exit) {
    EXPECT_EQ(mode.exitCode, c.exitCode);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, DispatchTable,
    testing::Values(DispatchCase{"/s", false, SaverModeKind::FullScreen, 0},
                    DispatchCase{"-S", false, SaverModeKind::FullScreen, 0},
                    DispatchCase{"S", false, SaverModeKind::FullScreen, 0},
                    DispatchCase{" s", false, SaverModeKind::FullScreen, 0},
                    DispatchCase{"--//s", false, SaverModeKind::FullScreen, 0},
                    DispatchCase{"", false, SaverModeKind::Configure, 0},
                    DispatchCase{"  ", false, SaverModeKind::Configure, 0},
                    DispatchCase{"/c:1234", false, SaverModeKind::Configure, 0},
                    DispatchCase{"/p 0", false, SaverModeKind::Exit, -1},
                    DispatchCase{"/p junk", false, SaverModeKind::Exit, -1},
                    DispatchCase{"/p", false, SaverModeKind::Exit, -1},
                    DispatchCase{"/p 4242", false, SaverModeKind::Preview, 0},
                    DispatchCase{"/l 123", false, SaverModeKind::Preview, 0},
                    DispatchCase{"/a 55", false, SaverModeKind::Exit, -1},
                    DispatchCase{"/a 55", true, SaverModeKind::ChangePassword, 0},
                    DispatchCase{"/a", true, SaverModeKind::ChangePassword, 0},
                    DispatchCase{"/x", false, SaverModeKind::Exit, -1},
                    DispatchCase{"/1", false, SaverModeKind::Exit, -1},
                    DispatchCase{"\xE9", false, SaverModeKind::Exit, -1}));

TEST(DispatchSaverMode, ConfigureOwnerDependsOnTheLetter) {
  EXPECT_EQ(DispatchSaverMode("", false).owner, ConfigureOwner::None);
  EXPECT_EQ(DispatchSaverMode("/c:1234", false).owner, ConfigureOwner::Foreground);
  EXPECT_EQ(DispatchSaverMode("C", false).owner, ConfigureOwner::Foreground);
}

TEST(DispatchSaverMode, PreviewCarriesTheParentHandle) {
  EXPECT_EQ(DispatchSaverMode("/p 4242", false).parentWindow, 4242u);
  EXPECT_EQ(DispatchSaverMode("/l   123", false).parentWindow, 123u);
  EXPECT_EQ(DispatchSaverMode("/P12x", false).parentWindow, 12u);
}

TEST(DispatchSaverMode, PasswordChangeGetsTheRestAfterBlanks) {
  SaverMode mode = DispatchSaverMode("/a   987 extra", true);
  EXPECT_EQ(mode.passwordArguments, "987 extra");
  EXPECT_EQ(ParseDecimal(mode.passwordArguments), 987u);
}

TEST(ParseDecimal, StopsAtTheFirstNonDigit) {
  EXPECT_EQ(ParseDecimal(""), 0u);
  EXPECT_EQ(ParseDecimal("junk"), 0u);
  EXPECT_EQ(ParseDecimal("-5"), 0u);
  EXPECT_EQ(ParseDecimal("0012a3"), 12u);
}

TEST(SkipProgramName, QuotedAndPlainNames) {
  EXPECT_EQ(SkipProgramName("lumox.scr /s"), "/s");
  EXPECT_EQ(SkipProgramName("\"C:\\Program Files\\lumox.scr\"   /p 12"), "/p 12");
  EXPECT_EQ(SkipProgramName("\"C:\\odd\\lumox.scr\"/s"), "/s");
  EXPECT_EQ(SkipProgramName("\"unterminated quote /s"), "");
  EXPECT_EQ(SkipProgramName("lumox.scr"), "");
  EXPECT_EQ(SkipProgramName(""), "");
  EXPECT_EQ(SkipProgramName("lumox.scr\t\t/c"), "/c");
  // Characters above 127 belong to the name.
  EXPECT_EQ(SkipProgramName("l\xFCmox.scr /s"), "/s");
}

TEST(SplitCommandWords, ThreeWords) {
  CommandWords words = SplitCommandWords("lumox.scr /S settings.lmx");
  EXPECT_EQ(words.program, "lumox.scr");
  EXPECT_EQ(words.modeSwitch, "/S");
  EXPECT_EQ(words.settingsFile, "settings.lmx");

  words = SplitCommandWords("lumox.scr /s");
  EXPECT_EQ(words.modeSwitch, "/s");
  EXPECT_EQ(words.settingsFile, "");

  words = SplitCommandWords("");
  EXPECT_EQ(words.program, "");
  EXPECT_EQ(words.settingsFile, "");
}

TEST(SplitCommandWords, BlanksInPathsDoNotShiftTheWords) {
  CommandWords words =
      SplitCommandWords("\"C:\\Program Files\\Lumox.scr\" /S C:\\My Displays\\calm one.lmx  ");
  EXPECT_EQ(words.program, "C:\\Program Files\\Lumox.scr");
  EXPECT_EQ(words.modeSwitch, "/S");
  EXPECT_EQ(words.settingsFile, "C:\\My Displays\\calm one.lmx");

  words = SplitCommandWords("Lumox.scr /S \"C:\\a b\\c.lmx\"");
  EXPECT_EQ(words.settingsFile, "C:\\a b\\c.lmx");
}

TEST(SplitCommandWords, OverlongWordsAreCutOrDropped) {
  std::string longWord(400, 'x');
  CommandWords words = SplitCommandWords(longWord + " " + longWord + " " + longWord);
  EXPECT_EQ(words.program.size(), kCommandWordSize - 1);
  EXPECT_EQ(words.modeSwitch.size(), kCommandWordSize - 1);
  // A shortened path could name another file.
  EXPECT_EQ(words.settingsFile, "");

  std::string fits(kCommandWordSize - 1, 'f');
  EXPECT_EQ(SplitCommandWords("p /s " + fits).settingsFile, fits);
}

}  // namespace
}  // namespace lumox
