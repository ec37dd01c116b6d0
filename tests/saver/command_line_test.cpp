#include "saver/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace lumox {
namespace {

TEST(DispatchSaverMode, DecidesTheModeFromTheFirstLetter) {
  using enum SaverModeKind;
  const struct {
    const char* arguments;
    bool family95;
    SaverModeKind kind;
    uintptr_t parent = 0;
    ConfigureOwner owner = ConfigureOwner::Foreground;
  } cases[] = {
      {"/s", false, FullScreen}, {"-S", false, FullScreen}, {"S", false, FullScreen},
      {" s", false, FullScreen}, {"--//s", false, FullScreen},
      {"", false, Configure, 0, ConfigureOwner::None}, {"  ", false, Configure, 0, ConfigureOwner::None},
      {"/c:1234", false, Configure}, {"C", false, Configure},
      {"/p 0", false, Exit}, {"/p junk", false, Exit}, {"/p", false, Exit},
      {"/p 4242", false, Preview, 4242}, {"/l   123", false, Preview, 123},
      {"/P12x", false, Preview, 12}, {"/a 55", false, Exit}, {"/a 55", true, ChangePassword},
      {"/x", false, Exit}, {"/1", false, Exit}, {"\xE9", false, Exit}};
  for (const auto& c : cases) {
    SaverMode mode = DispatchSaverMode(c.arguments, c.family95);
    EXPECT_EQ(mode.kind, c.kind) << '"' << c.arguments << '"';
    if (c.kind == Exit) {
      EXPECT_EQ(mode.exitCode, -1) << c.arguments;
    } else if (c.kind == Preview) {
      EXPECT_EQ(mode.parentWindow, c.parent) << c.arguments;
    } else if (c.kind == Configure) {
      EXPECT_EQ(mode.owner, c.owner) << c.arguments;
    }
  }
  SaverMode password = DispatchSaverMode("/a   987 extra", true);
  EXPECT_EQ(password.passwordArguments, "987 extra");
  for (auto [text, value] : {std::pair{"", 0u}, {"junk", 0u}, {"-5", 0u}, {"0912a3", 912u}})
    EXPECT_EQ(ParseDecimal(text), value) << text;
}

TEST(SkipProgramName, QuotedAndPlainNames) {
  const std::pair<const char*, const char*> cases[] = {
      {"lumox.scr /s", "/s"}, {"\"C:\\Program Files\\lumox.scr\"   /p 12", "/p 12"},
      {"\"C:\\odd\\lumox.scr\"/s", "/s"}, {"\"unterminated quote /s", ""}, {"lumox.scr", ""},
      {"", ""}, {"lumox.scr\t\t/c", "/c"}, {"l\xFCmox.scr /s", "/s"}};  // >127: part of the name
  for (auto [line, rest] : cases) EXPECT_EQ(SkipProgramName(line), rest) << line;
}

TEST(SplitCommandWords, ProgramSwitchAndASettingsFileWithBlanks) {
  const struct { const char* line; const char* program; const char* file; } cases[] = {
      {"lumox.scr /S settings.lmx", "lumox.scr", "settings.lmx"},
      {"lumox.scr /s", "lumox.scr", ""},
      {"", "", ""},
      {"\"C:\\Program Files\\Lumox.scr\" /S C:\\My Displays\\calm one.lmx  ",
       "C:\\Program Files\\Lumox.scr", "C:\\My Displays\\calm one.lmx"},
      {"Lumox.scr /S \"C:\\a b\\c.lmx\"", "Lumox.scr", "C:\\a b\\c.lmx"}};
  for (const auto& c : cases) {
    CommandWords words = SplitCommandWords(c.line);
    EXPECT_EQ(words.program, c.program) << c.line;
    EXPECT_EQ(words.settingsFile, c.file) << c.line;
  }
  // Overlong words are cut, except the path, which could then name another
  // file and is dropped.
  std::string longWord(400, 'x');
  CommandWords words = SplitCommandWords(longWord + " " + longWord + " " + longWord);
  EXPECT_EQ(words.program.size(), kCommandWordSize - 1);
  EXPECT_EQ(words.modeSwitch.size(), kCommandWordSize - 1);
  EXPECT_EQ(words.settingsFile, "");
  std::string fits(kCommandWordSize - 1, 'f');
  EXPECT_EQ(SplitCommandWords("p /s " + fits).settingsFile, fits);
}

}  // namespace
}  // namespace lumox
