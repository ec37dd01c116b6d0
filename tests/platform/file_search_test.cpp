#include "platform/file_search.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "temp_dir.h"

namespace lumox {
namespace {

TEST(MatchesMaskTest, StarsQuestionMarksAndCase) {
  const std::tuple<std::string, std::string, bool> cases[] = {  // mask, name, whether it matches
      {"*.LMX", "Party.lmx", true},     {"*.LMX", "party.lmx.bak", false},
      {"*.LMX", ".lmx", true},          {"*.LMX", "lmx", false},
      {"photo??.bmp", "PHOTO12.BMP", true}, {"photo??.bmp", "photo1.bmp", false},
      {"*", "", true},                  {"?", "", false},
      {"", "", true},                   {"", "a", false},
      {"a*b*c", "aXbYc", true},         {"a*b*c", "aXbYcZ", false},
      {"*ab", "aab", true},             {"**x", "x", true},
      {"*a*a*a*a*b", std::string(64, 'a'), false},
  };
  for (const auto& [mask, name, matches] : cases)
    EXPECT_EQ(MatchesMask(mask, name), matches) << mask << " ~ " << name;
}

TEST(FindFilesTest, PlainMatchingFilesSortedWithoutRegardToCase) {
  testing::TempDir dir;
  for (const char* name : {"b.LMX", "A.lmx", "c.txt", "_z.lmx"})
    testing::WriteFile(dir.File(name), "x");
  std::filesystem::create_directory(dir.File("d.lmx"));
  EXPECT_EQ(FindFiles(dir.path(), "*.lmx"), (std::vector<std::string>{"A.lmx", "b.LMX", "_z.lmx"}));
  EXPECT_TRUE(FindFiles(dir.File("missing"), "*").empty());
}

}  // namespace
}  // namespace lumox
