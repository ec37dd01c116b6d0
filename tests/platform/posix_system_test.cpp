#include "platform/posix/posix_system.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "temp_dir.h"

namespace lumox {
namespace {

using Words = std::vector<std::string>;

TEST(SplitCommandLineTest, SplitsLikeAShellWithoutOne) {
  EXPECT_EQ(SplitCommandLine("  a\t b  "), (Words{"a", "b"}));
  EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\Auralis\\AURALIS.EXE\" /PPLAY"),
            (Words{"C:\\Program Files\\Auralis\\AURALIS.EXE", "/PPLAY"}));
  EXPECT_EQ(SplitCommandLine("'it''s' \"say \\\"hi\\\"\""), (Words{"its", "say \"hi\""}));
  EXPECT_EQ(SplitCommandLine("a\\ b \"\" c"), (Words{"a b", "", "c"}));
  EXPECT_EQ(SplitCommandLine("\"a\\\\\" b"), (Words{"a\\", "b"}));  // "a\\" b
  EXPECT_EQ(SplitCommandLine("x; rm -rf $HOME"), (Words{"x;", "rm", "-rf", "$HOME"}));
  EXPECT_TRUE(SplitCommandLine("unterminated \"quote").empty());
}

// Runs `condition` until it holds, for up to five seconds.
template <typename Condition>
bool Eventually(Condition condition) {
  for (int i = 0; i < 500; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST(PosixSystemServicesTest, LaunchesProgramsWithoutAShellAndReapsThem) {
  testing::TempDir dir;
  // Shell syntax in the line stays literal text of one argument.
  const std::string marker = dir.File("ran; echo $HOME `id` > x");
  PosixSystemServices system;
  ASSERT_TRUE(system.LaunchProgram("touch '" + marker + "'"));
  EXPECT_TRUE(Eventually([&] { return std::filesystem::exists(marker); }));
  EXPECT_FALSE(std::filesystem::exists(dir.File("x")));
  // No child is left a zombie (looked at without reaping it).
  EXPECT_TRUE(Eventually([] {
    siginfo_t info{};
    return waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) != 0 || info.si_pid == 0;
  }));
  EXPECT_FALSE(system.LaunchProgram(dir.File("no-such-program")));
  EXPECT_FALSE(system.LaunchProgram("\"unterminated"));
}

// Asks in a child whose controlling terminal is a pseudo-terminal (or, with
// an empty reply, that has none), types the reply, and returns the child's
// answer (1 yes, 0 no) and what it showed.
int Ask(const std::string& typed, std::string& shown) {
  int master = -1;
  const pid_t pid = typed.empty() ? fork() : forkpty(&master, nullptr, nullptr, nullptr);
  if (pid == 0) {
    if (typed.empty()) setsid();  // a new session has no controlling terminal
    _exit(PosixSystemServices().AskYesNo("Settings by this name already exist!", "Proceed?"));
  }
  if (master >= 0 && write(master, typed.data(), typed.size()) < 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  char buffer[4096];
  ssize_t got;
  // The child has ended; the terminal still holds what it wrote.
  while (master >= 0 && (got = read(master, buffer, sizeof buffer)) > 0) shown.append(buffer, got);
  if (master >= 0) close(master);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(PosixSystemServicesTest, AsksOnTheTerminalUntilItGetsYesOrNo) {
  std::string shown;
  EXPECT_EQ(Ask("y\n", shown), 1);
  EXPECT_NE(shown.find("Settings by this name already exist!"), std::string::npos) << shown;
  EXPECT_NE(shown.find("Proceed?"), std::string::npos) << shown;
  shown.clear();
  EXPECT_EQ(Ask("maybe\nN\n", shown), 0);
  EXPECT_GE(std::count(shown.begin(), shown.end(), '['), 2) << "asked again after \"maybe\"";
  EXPECT_EQ(Ask("\x04", shown), 0);  // end of input counts as No
  EXPECT_EQ(Ask("", shown), 0);      // no terminal at all
}

}  // namespace
}  // namespace lumox
