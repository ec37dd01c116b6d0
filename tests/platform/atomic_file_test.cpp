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

TEST(ReplaceFileAtomicallyTest, ReplacesTheFileOrLeavesEverythingAsItWas) {
  testing::TempDir dir;
  const std::string path = dir.File("Out.LMX");
  testing::WriteFile(path, "old");
  testing::WriteFile(path + ".tmp", "someone else's");  // what a fixed temporary name would hit
  std::string error;
  const std::string content("new\0\r\ndata", 10);
  ASSERT_TRUE(ReplaceFileAtomically(path, content, FileAccess::Everyone, error)) << error;
  EXPECT_EQ(ReadFile(path), content);
  EXPECT_EQ(ReadFile(path + ".tmp"), "someone else's");
  EXPECT_EQ(dir.Entries(), 2u);  // no temporary file left behind

  // A directory in the way, or no directory at all.
  std::filesystem::create_directory(dir.File("Dir.LMX"));
  for (const char* name : {"Dir.LMX", "missing/Out.LMX"}) {
    error.clear();
    EXPECT_FALSE(ReplaceFileAtomically(dir.File(name), "x", FileAccess::Everyone, error)) << name;
    EXPECT_FALSE(error.empty()) << name;
  }
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("Dir.LMX")));
  EXPECT_EQ(dir.Entries(), 3u);
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
      for (int i = 0; i < 10; ++i)
        if (!ReplaceFileAtomically(path, contents[w], FileAccess::OwnerOnly, error)) ++failures[w];
    });
  }
  for (std::thread& writer : writers) writer.join();
  EXPECT_EQ(failures, std::vector<int>(contents.size(), 0));
  EXPECT_NE(std::find(contents.begin(), contents.end(), ReadFile(path)), contents.end());
  EXPECT_EQ(dir.Entries(), 1u);
}

}  // namespace
}  // namespace lumox
