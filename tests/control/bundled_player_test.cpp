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

#ifdef _WIN32
constexpr const char* kThisProgram = "lumox_control_tests.exe";
constexpr const char* kPlayer = "SOUNDFEED.EXE";
const std::string kAwkward = "lumox bundled player";
#else
constexpr const char* kThisProgram = "lumox_control_tests";
constexpr const char* kPlayer = "soundfeed";
const std::string kAwkward = "lumox \"bundled\" \\ player " + std::to_string(getpid());
#endif

// The running program's folder holds it; nothing is found in an empty folder,
// and the command line keeps an awkward path whole.
TEST(BundledPlayer, FoundOnlyWhenPresentAndQuotedWhole) {
  const fs::path programs = ProgramFolder();
  ASSERT_FALSE(programs.empty());
  EXPECT_TRUE(fs::exists(programs / kThisProgram));
  const fs::path folder = fs::temp_directory_path() / kAwkward;
  fs::create_directories(folder);
  EXPECT_EQ(BundledPlayerCommandLine(folder.string()), "");
  EXPECT_EQ(BundledPlayerCommandLine(""), "");
  std::ofstream(folder / kPlayer) << "x";

  const std::string line = BundledPlayerCommandLine(folder.string());
#ifdef _WIN32
  EXPECT_EQ(line, "\"" + (folder / kPlayer).string() + "\"");
#else
  EXPECT_EQ(SplitCommandLine(line + " /PPLAY"),
            (std::vector<std::string>{(folder / kPlayer).string(), "/PPLAY"}));
#endif
  fs::remove_all(folder);
}

}  // namespace
}  // namespace lumox
