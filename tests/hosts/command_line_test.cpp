#include "command_line.h"

#include <gtest/gtest.h>

#include "saver/command_line.h"

namespace lumox::host {
namespace {

HostCommand Parse(std::vector<std::string> args, const char* xscreensaverWindow = nullptr) {
  return ParseCommandLine(args, xscreensaverWindow);
}

TEST(CommandLineTest, ModeLetterInAnySpelling) {
  for (const char* word : {"/s", "-S", "S", " s", "/S:anything"})
    EXPECT_EQ(Parse({word}).mode, HostMode::FullScreen) << word;
  for (const char* word : {"/c", "-C", "/c:1234", "c"})
    EXPECT_EQ(Parse({word}).mode, HostMode::Configure) << word;
  EXPECT_EQ(Parse({}).mode, HostMode::Configure);
  EXPECT_EQ(Parse({"/"}).mode, HostMode::Configure);
}

TEST(CommandLineTest, UnknownLettersAreErrors) {
  for (const char* word : {"/x", "-q", "/a", "1234", "--bogus"}) {
    HostCommand command = Parse({word});
    EXPECT_EQ(command.mode, HostMode::Error) << word;
    EXPECT_EQ(command.error.find('\n'), std::string::npos) << "one line";
  }
}

TEST(CommandLineTest, PreviewTakesAHandleFromTheSameOrNextWord) {
  HostCommand next = Parse({"/p", "1234"});
  EXPECT_EQ(next.mode, HostMode::Preview);
  EXPECT_EQ(next.windowId, 1234u);
  HostCommand same = Parse({"/l4567"});
  EXPECT_EQ(same.mode, HostMode::Preview);
  EXPECT_EQ(same.windowId, 4567u);
  EXPECT_EQ(Parse({"-P", "0x3a00007"}).windowId, 0x3a00007u);
}

TEST(CommandLineTest, PreviewWithoutAWindowIsAnError) {
  EXPECT_EQ(Parse({"/p", "0"}).mode, HostMode::Error);
  EXPECT_EQ(Parse({"/p"}).mode, HostMode::Error);
  EXPECT_EQ(Parse({"/p", "junk"}).mode, HostMode::Error);
  EXPECT_EQ(Parse({"/p", "99999999999"}).mode, HostMode::Error);
}

TEST(CommandLineTest, SettingsFileIsTheWordAfterTheMode) {
  EXPECT_EQ(Parse({"/s", "party.LMX"}).settingsFile, "party.LMX");
  EXPECT_EQ(Parse({"/p", "77", "party.LMX"}).settingsFile, "party.LMX");
  EXPECT_EQ(Parse({"/p", "77"}).settingsFile, "");
  // The rest of the line, as an unquoted path with blanks arrives.
  EXPECT_EQ(Parse({"/s", "my", "party.LMX"}).settingsFile, "my party.LMX");
  EXPECT_EQ(Parse({"--window", "320x200", "party.LMX"}).settingsFile, "party.LMX");
  // The window logic reads the file back from the whole command line.
  HostCommand withFile = Parse({"/s", "my party.LMX"});
  EXPECT_EQ(SplitCommandWords(SaverCommandLine(withFile)).settingsFile, "my party.LMX");
  EXPECT_EQ(SplitCommandWords(SaverCommandLine(Parse({"/s"}))).settingsFile, "");
}

TEST(CommandLineTest, DaemonConventions) {
  HostCommand root = Parse({"-root"});
  EXPECT_EQ(root.mode, HostMode::Embedded);
  EXPECT_TRUE(root.embedRoot);

  HostCommand rootWithDaemonWindow = Parse({"-root"}, "0x400001");
  EXPECT_EQ(rootWithDaemonWindow.mode, HostMode::Embedded);
  EXPECT_FALSE(rootWithDaemonWindow.embedRoot);
  EXPECT_EQ(rootWithDaemonWindow.windowId, 0x400001u);

  HostCommand byId = Parse({"-window-id", "0x1c00002"});
  EXPECT_EQ(byId.mode, HostMode::Embedded);
  EXPECT_EQ(byId.windowId, 0x1c00002u);

  HostCommand byEnvironment = Parse({}, "12345");
  EXPECT_EQ(byEnvironment.mode, HostMode::Embedded);
  EXPECT_EQ(byEnvironment.windowId, 12345u);

  // An explicit mode wins over the environment.
  EXPECT_EQ(Parse({"/s"}, "12345").mode, HostMode::FullScreen);
  EXPECT_EQ(Parse({"-window-id", "0"}).mode, HostMode::Error);
}

TEST(CommandLineTest, HeadlessOptions) {
  HostCommand command = Parse({"--headless", "--frames", "12", "--size", "320x200", "--seed",
                               "4294967295", "--out", "dir", "--registry", "r.reg"});
  EXPECT_EQ(command.mode, HostMode::Headless);
  EXPECT_EQ(command.frames, 12);
  EXPECT_EQ(command.width, 320);
  EXPECT_EQ(command.height, 200);
  EXPECT_EQ(command.seed, 4294967295u);
  EXPECT_EQ(command.outDir, "dir");
  EXPECT_EQ(command.registryFile, "r.reg");

  EXPECT_EQ(Parse({"--headless", "--frames", "0"}).mode, HostMode::Error);
  EXPECT_EQ(Parse({"--headless", "--frames"}).mode, HostMode::Error);
  EXPECT_EQ(Parse({"--headless", "--seed", "4294967296"}).mode, HostMode::Error);
  EXPECT_EQ(Parse({"--headless", "--size", "320"}).mode, HostMode::Error);
}

TEST(CommandLineTest, SettingsCommands) {
  HostCommand exported = Parse({"--export", "Calm", "calm.LMX"});
  EXPECT_EQ(exported.mode, HostMode::Export);
  EXPECT_EQ(exported.name, "Calm");
  EXPECT_EQ(exported.file, "calm.LMX");

  HostCommand imported = Parse({"--import", "calm.LMX", "--as", "Quiet", "--yes"});
  EXPECT_EQ(imported.mode, HostMode::Import);
  EXPECT_EQ(imported.file, "calm.LMX");
  EXPECT_EQ(imported.asName, "Quiet");
  EXPECT_TRUE(imported.yes);

  EXPECT_EQ(Parse({"--activate", "Calm"}).mode, HostMode::Activate);
  EXPECT_EQ(Parse({"--delete", "Calm"}).mode, HostMode::Delete);
  EXPECT_EQ(Parse({"--show", "Calm"}).mode, HostMode::Show);
  EXPECT_EQ(Parse({"--list"}).mode, HostMode::List);
  EXPECT_EQ(Parse({"--export", "Calm"}).mode, HostMode::Error);
  EXPECT_EQ(Parse({"--import"}).mode, HostMode::Error);
  // A stray word after a mode option is a mistake, not a screen-saver letter.
  EXPECT_EQ(Parse({"--list", "s"}).mode, HostMode::Error);
  // One command at a time, and --as/--yes only with --import: errors with
  // the usage line, never one of them silently chosen.
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--list", "--delete", "Calm"}, {"--delete", "Calm", "--list"},
           {"--headless", "--show", "Calm"}, {"--import", "a.LMX", "--export", "Calm", "b.LMX"},
           {"--delete", "Calm", "--yes"}, {"--list", "--as", "Quiet"}, {"--yes"}}) {
    const HostCommand command = Parse(args);
    EXPECT_EQ(command.mode, HostMode::Error) << args[0] << " " << args[1];
    EXPECT_NE(command.error.find("\nusage: lumox"), std::string::npos) << command.error;
  }
}

TEST(CommandLineTest, SizesAndHandles) {
  int w = 0, h = 0;
  EXPECT_TRUE(ParseSize("1x1", w, h));
  EXPECT_TRUE(ParseSize("3840X2160", w, h));
  EXPECT_EQ(w, 3840);
  EXPECT_EQ(h, 2160);
  for (const char* bad : {"", "x", "0x5", "5x0", "-5x5", "5x", "16385x10", "5x5x5", "axb"})
    EXPECT_FALSE(ParseSize(bad, w, h)) << bad;

  EXPECT_EQ(ParseWindowHandle("42abc"), 42u);  // leading digits, as the convention reads them
  EXPECT_EQ(ParseWindowHandle(""), 0u);
  EXPECT_EQ(ParseWindowHandle("0xFFFFFFFF"), 0xFFFFFFFFu);
  EXPECT_EQ(ParseWindowHandle("0x100000000"), 0u);
  EXPECT_EQ(ParseWindowHandle("4294967296"), 0u);
}

}  // namespace
}  // namespace lumox::host
