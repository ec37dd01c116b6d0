// Finding the analyser shipped beside the saver, and its command line
// surviving the launcher's splitting whole.
#include "control/bundled_player.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/program_path.h"

#ifndef _WIN32
#include <unistd.h>

#include "platform/posix/posix_system.h"
#endif

namespace lumox {
namespace {

namespace fs = std::filesystem;

TEST(BundledPlayer, TheRunningProgramsFolderHoldsIt) {
  const fs::path folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
#ifdef _WIN32
  EXPECT_TRUE(fs::exists(folder / "lumox_control_tests.exe"));
#else
  EXPECT_TRUE(fs::exists(folder / "lumox_control_tests"));
#endif
}

// Nothing in an empty folder; the command line keeps an awkward path whole.
TEST(BundledPlayer, FoundOnlyWhenPresentAndQuotedWhole) {
#ifdef _WIN32
  const char* name = "SOUNDFEED.EXE";
  const std::string awkward = "lumox bundled player";
#else
  const char* name = "soundfeed";
  const std::string awkward = "lumox \"bundled\" \\ player " + std::to_string(getpid());
#endif
  const fs::path folder = fs::temp_directory_path() / awkward;
  fs::create_directories(folder);
  EXPECT_EQ(BundledPlayerCommandLine(folder.string()), "");
  EXPECT_EQ(BundledPlayerCommandLine(""), "");
  std::ofstream(folder / name) << "x";

  const std::string line = BundledPlayerCommandLine(folder.string());
#ifdef _WIN32
  std::string quoted = "\"";
  quoted += (folder / name).string();
  quoted += '"';
  EXPECT_EQ(line, quoted);
#else
  EXPECT_EQ(SplitCommandLine(line + " /PPLAY"),
            (std::vector<std::string>{(folder / name).string(), "/PPLAY"}));
#endif
  fs::remove_all(folder);
}

}  // namespace
}  // namespace lumox
