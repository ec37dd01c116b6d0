// Replacing a file whole: readers see the old content or the new, never a
// mix, and no file of anyone else's is touched on the way.
#include "platform/atomic_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "temp_dir.h"

namespace lumox {
namespace {

using testing::ReadFile;

size_t Entries(const testing::TempDir& dir) {
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir.path()), {}));
}

TEST(ReplaceFileAtomicallyTest, ReplacesTheFileAndTouchesNothingElse) {
  testing::TempDir dir;
  const std::string path = dir.File("Out.LMX");
  testing::WriteFile(path, "old");
  testing::WriteFile(path + ".tmp", "someone else's");  // what a fixed temporary name would hit
  std::string error;
  const std::string content("new\0\r\ndata", 10);
  ASSERT_TRUE(ReplaceFileAtomically(path, content, FileAccess::Everyone, error)) << error;
  EXPECT_EQ(ReadFile(path), content);
  EXPECT_EQ(ReadFile(path + ".tmp"), "someone else's");
  EXPECT_EQ(Entries(dir), 2u);  // no temporary file left behind
}

TEST(ReplaceFileAtomicallyTest, AFailureLeavesEverythingAsItWas) {
  testing::TempDir dir;
  std::filesystem::create_directory(dir.File("Out.LMX"));  // cannot be replaced by a file
  std::string error;
  EXPECT_FALSE(ReplaceFileAtomically(dir.File("Out.LMX"), "x", FileAccess::Everyone, error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("Out.LMX")));
  error.clear();
  EXPECT_FALSE(ReplaceFileAtomically(dir.File("missing/Out.LMX"), "x", FileAccess::Everyone, error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(Entries(dir), 1u);
}

TEST(ReplaceFileAtomicallyTest, WritersAtOnceEachLeaveAWholeFile) {
  testing::TempDir dir;
  const std::string path = dir.File("registry.reg");
  std::vector<std::string> contents;
  for (char c : {'a', 'b', 'c', 'd'}) contents.emplace_back(256 * 1024, c);
  std::vector<std::thread> writers;
  std::vector<int> failures(contents.size(), 0);
  for (size_t w = 0; w < contents.size(); ++w) {
    writers.emplace_back([&, w] {
      std::string error;
      for (int i = 0; i < 10; ++i) {
        if (!ReplaceFileAtomically(path, contents[w], FileAccess::OwnerOnly, error)) ++failures[w];
      }
    });
  }
  for (std::thread& writer : writers) writer.join();
  EXPECT_EQ(failures, std::vector<int>(contents.size(), 0));
  EXPECT_NE(std::find(contents.begin(), contents.end(), ReadFile(path)), contents.end());
  EXPECT_EQ(Entries(dir), 1u);
}

}  // namespace
}  // namespace lumox
