#include "command_line.h"

#include <gtest/gtest.h>

#include "saver/command_line.h"

namespace lumox::host {
namespace {

HostCommand Parse(std::vector<std::string> args, const char* xscreensaverWindow = nullptr) {
  return ParseCommandLine(args, xscreensaverWindow);
}

TEST(CommandLineTest, ModesFromLettersOptionsAndTheDaemonsWindow) {
  using enum HostMode;
  const struct {
    std::vector<std::string> args;
    const char* daemonWindow = nullptr;
    HostMode mode = FullScreen;
    uint64_t windowId = 0;
  } cases[] = {
      {{"/s"}}, {{"-S"}}, {{"S"}}, {{" s"}}, {{"/S:anything"}}, {{"/s"}, "12345"},
      {{"/c"}, nullptr, Configure}, {{"-C"}, nullptr, Configure}, {{"/c:1234"}, nullptr, Configure},
      {{}, nullptr, Configure}, {{"/"}, nullptr, Configure},
      {{"/x"}, nullptr, Error}, {{"-q"}, nullptr, Error}, {{"/a"}, nullptr, Error},
      {{"1234"}, nullptr, Error}, {{"--bogus"}, nullptr, Error},
      {{"/p", "1234"}, nullptr, Preview, 1234}, {{"/l4567"}, nullptr, Preview, 4567},
      {{"-P", "0x3a00007"}, nullptr, Preview, 0x3a00007},
      {{"/p", "0"}, nullptr, Error}, {{"/p"}, nullptr, Error}, {{"/p", "junk"}, nullptr, Error},
      {{"/p", "99999999999"}, nullptr, Error},
      {{"-root"}, nullptr, Embedded, 0}, {{"-root"}, "0x400001", Embedded, 0x400001},
      {{"-window-id", "0x1c00002"}, nullptr, Embedded, 0x1c00002}, {{}, "12345", Embedded, 12345},
      {{"-window-id", "0"}, nullptr, Error},
      {{"--list"}, nullptr, List}, {{"--activate", "C"}, nullptr, Activate},
      {{"--delete", "C"}, nullptr, Delete}, {{"--show", "C"}, nullptr, Show},
      {{"--export", "C"}, nullptr, Error}, {{"--import"}, nullptr, Error},
      {{"--list", "s"}, nullptr, Error},  // a stray word, not a screen-saver letter
      {{"--headless", "--frames", "0"}, nullptr, Error}, {{"--headless", "--frames"}, nullptr, Error},
      {{"--headless", "--seed", "4294967296"}, nullptr, Error},
      {{"--headless", "--size", "320"}, nullptr, Error}};
  for (const auto& c : cases) {
    HostCommand command = Parse(c.args, c.daemonWindow);
    std::string text = c.args.empty() ? "(none)" : c.args[0];
    EXPECT_EQ(command.mode, c.mode) << text;
    if (c.mode == Preview || c.mode == Embedded) {
      EXPECT_EQ(command.windowId, c.windowId) << text;
    }
    if (c.mode == Error) {
      // One line, or for a misused settings command that line and the usage.
      const size_t lineEnd = command.error.find('\n');
      if (lineEnd != std::string::npos) {
        EXPECT_EQ(command.error.compare(lineEnd, 13, "\nusage: lumox"), 0) << text;
      }
    }
  }
}

TEST(CommandLineTest, SettingsFileIsTheRestAfterTheMode) {
  const std::pair<std::vector<std::string>, const char*> modes[] = {
      {{"/s"}, nullptr}, {{"/p", "77"}, nullptr}, {{"--window", "320x200"}, nullptr},
      {{"-root"}, "0x400001"}, {{"-window-id", "0x1c00002"}, nullptr}};
  for (auto [args, daemonWindow] : modes) {
    EXPECT_EQ(Parse(args, daemonWindow).settingsFile, "") << args[0];
    args.push_back("party.LMX");
    EXPECT_EQ(Parse(args, daemonWindow).settingsFile, "party.LMX") << args[0];
  }
  // An unquoted path with blanks arrives in pieces; the window logic reads
  // it back whole from the saver's command line.
  HostCommand withFile = Parse({"/s", "my", "party.LMX"});
  EXPECT_EQ(SplitCommandWords(SaverCommandLine(withFile)).settingsFile, "my party.LMX");
  EXPECT_EQ(SplitCommandWords(SaverCommandLine(Parse({"/s"}))).settingsFile, "");
}

TEST(CommandLineTest, HeadlessAndSettingsCommandArguments) {
  HostCommand command = Parse({"--headless", "--frames", "12", "--size", "320x200", "--seed",
                               "4294967295", "--out", "dir", "--registry", "r.reg"});
  EXPECT_EQ(command.mode, HostMode::Headless);
  EXPECT_EQ(command.frames, 12);
  EXPECT_EQ(command.width, 320);
  EXPECT_EQ(command.height, 200);
  EXPECT_EQ(command.seed, 4294967295u);
  EXPECT_EQ(command.outDir + " " + command.registryFile, "dir r.reg");
  EXPECT_EQ(Parse({"--presenter", "gl"}).present, PresentPath::Gl);
  EXPECT_EQ(Parse({"--presenter", "software"}).present, PresentPath::Surface);
  EXPECT_EQ(Parse({"--presenter", "gpu"}).mode, HostMode::Error);
  const std::pair<const char*, PresentPath> paths[] = {{"auto", PresentPath::Auto},
                                                       {"surface", PresentPath::Surface},
                                                       {"texture", PresentPath::Texture},
                                                       {"gpu", PresentPath::Gpu},
                                                       {"gl", PresentPath::Gl}};
  for (auto [word, path] : paths) EXPECT_EQ(Parse({"--present", word}).present, path) << word;
  EXPECT_EQ(Parse({"--present", "fast"}).mode, HostMode::Error);
  EXPECT_EQ(Parse({"--present"}).mode, HostMode::Error);
  EXPECT_EQ(Parse({"--window", "800"}).mode, HostMode::Error);
  EXPECT_EQ(Parse({"--headless", "--size", "0x5"}).mode, HostMode::Error);
  HostCommand exported = Parse({"--export", "Calm", "calm.LMX"});
  EXPECT_EQ(exported.mode, HostMode::Export);
  EXPECT_EQ(exported.name + " " + exported.file, "Calm calm.LMX");
  HostCommand imported = Parse({"--import", "calm.LMX", "--as", "Quiet", "--yes"});
  EXPECT_EQ(imported.mode, HostMode::Import);
  EXPECT_EQ(imported.file + " " + imported.asName, "calm.LMX Quiet");
  EXPECT_TRUE(imported.yes);

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
  EXPECT_EQ(w * 10000 + h, 38402160);
  for (const char* bad : {"", "x", "0x5", "5x0", "-5x5", "5x", "16385x10", "5x5x5", "axb"})
    EXPECT_FALSE(ParseSize(bad, w, h)) << bad;
  for (auto [text, handle] : {std::pair{"42abc", 42u}, {"", 0u}, {"0xFFFFFFFF", 0xFFFFFFFFu},
                              {"0x100000000", 0u}, {"4294967296", 0u}}) {
    EXPECT_EQ(ParseWindowHandle(text), handle) << text;
  }
}

}  // namespace
}  // namespace lumox::host
