#include "platform/posix/posix_system.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "temp_dir.h"

namespace lumox {
namespace {

using Words = std::vector<std::string>;

TEST(SplitCommandLineTest, SplitsLikeAShellWithoutOne) {
  EXPECT_EQ(SplitCommandLine("player /PPLAY"), (Words{"player", "/PPLAY"}));
  EXPECT_EQ(SplitCommandLine("  a\t b  "), (Words{"a", "b"}));
  EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\Auralis\\AURALIS.EXE\" /PPLAY"),
            (Words{"C:\\Program Files\\Auralis\\AURALIS.EXE", "/PPLAY"}));
  EXPECT_EQ(SplitCommandLine("'it''s' \"say \\\"hi\\\"\""), (Words{"its", "say \"hi\""}));
  EXPECT_EQ(SplitCommandLine("a\\ b \"\" c"), (Words{"a b", "", "c"}));
  EXPECT_EQ(SplitCommandLine("x; rm -rf $HOME"), (Words{"x;", "rm", "-rf", "$HOME"}));
  EXPECT_TRUE(SplitCommandLine("").empty());
  EXPECT_TRUE(SplitCommandLine("unterminated \"quote").empty());
}

// True when this process has a child that has exited but not been reaped.
bool HasZombieChild() {
  const std::string parent = std::to_string(getpid());
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    std::ifstream stat(entry.path() / "stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    // pid (comm) state ppid ...: the command may hold blanks, so parse after ')'.
    const size_t close = line.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream rest(line.substr(close + 1));
    std::string state, ppid;
    rest >> state >> ppid;
    if (ppid == parent && state == "Z") return true;
  }
  return false;
}

TEST(PosixSystemServicesTest, LaunchesProgramsWithoutAShellAndReapsThem) {
  testing::TempDir dir;
  // Shell syntax in the line stays literal text of one argument.
  const std::string marker = dir.File("ran; echo $HOME `id` > x");
  PosixSystemServices system;
  ASSERT_TRUE(system.LaunchProgram("touch '" + marker + "'"));
  for (int i = 0; i < 500 && !std::filesystem::exists(marker); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(std::filesystem::exists(marker));
  EXPECT_FALSE(std::filesystem::exists(dir.File("x")));

  bool zombie = true;
  for (int i = 0; i < 500 && (zombie = HasZombieChild()); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_FALSE(zombie);

  EXPECT_FALSE(system.LaunchProgram(dir.File("no-such-program")));
  EXPECT_FALSE(system.LaunchProgram(""));
  EXPECT_FALSE(system.LaunchProgram("\"unterminated"));
}

TEST(PosixSystemServicesTest, WithoutATerminalTheAnswerIsNo) {
  const pid_t pid = fork();
  if (pid == 0) {
    setsid();  // a new session has no controlling terminal
    _exit(PosixSystemServices().AskYesNo("Title", "Proceed?") ? 1 : 0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// Asks in a child whose controlling terminal is a pseudo-terminal, types
// the reply, and returns the child's answer (1 yes, 0 no) and what it showed.
int AskOnTerminal(const std::string& typed, std::string& shown) {
  int master = -1;
  const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
  if (pid == 0) {
    _exit(PosixSystemServices().AskYesNo("Settings by this name already exist!",
                                         "Do you wish to proceed?") ? 1 : 0);
  }
  if (pid < 0) return -1;
  const ssize_t put = write(master, typed.data(), typed.size());
  int status = 0;
  waitpid(pid, &status, 0);
  char buffer[4096];
  ssize_t got;
  // The child has ended; the terminal still holds what it wrote.
  while (put >= 0 && (got = read(master, buffer, sizeof buffer)) > 0) shown.append(buffer, got);
  close(master);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(PosixSystemServicesTest, AsksOnTheTerminalUntilItGetsYesOrNo) {
  std::string shown;
  EXPECT_EQ(AskOnTerminal("y\n", shown), 1);
  EXPECT_NE(shown.find("Settings by this name already exist!"), std::string::npos) << shown;
  EXPECT_NE(shown.find("Do you wish to proceed?"), std::string::npos) << shown;
  shown.clear();
  EXPECT_EQ(AskOnTerminal("maybe\nN\n", shown), 0);
  EXPECT_GE(std::count(shown.begin(), shown.end(), '['), 2) << "asked again after \"maybe\"";
  shown.clear();
  EXPECT_EQ(AskOnTerminal("\x04", shown), 0);  // end of input counts as No
}

TEST(PosixSystemServicesTest, DebugOutputGoesToStderrAsOneLine) {
  ::testing::internal::CaptureStderr();
  PosixSystemServices().DebugOutput("Could not allocate buffers");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Could not allocate buffers\n");
}

}  // namespace
}  // namespace lumox
