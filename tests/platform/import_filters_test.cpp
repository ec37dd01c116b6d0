#include "platform/import_filters.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "platform/memory_registry.h"

namespace lumox {
namespace {

TEST(PathExtensionTest, LastDotOfTheFileName) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\Pictures\\Sea.JPG", "JPG"}, {"C:\\my.pictures\\sea", ""},
      {"/home/u/a.tar.gz", "gz"},       {"C:\\a.b c", ""},
      {"x.y/z", ""},                    {"plain", ""},
      {"dot.", ""},                     {"", ""},
  };
  for (const auto& [path, extension] : cases) EXPECT_EQ(PathExtension(path), extension) << path;
  // A double-byte character whose second byte is '\' does not end the
  // extension when the code page says so.
  const auto lead = [](unsigned char c) { return c == 0x81; };
  EXPECT_EQ(PathExtension("a.\x81\\b", lead), "\x81\\b");
  EXPECT_EQ(PathExtension("a.\x81\\b"), "");
}

TEST(FilterTakesExtensionTest, WholeEntriesOfTheList) {
  EXPECT_TRUE(FilterTakesExtension("jpg", "JPG"));
  EXPECT_TRUE(FilterTakesExtension("JPG JPEG,jpe;jfif", "jpeg"));
  EXPECT_TRUE(FilterTakesExtension("JPG JPEG,jpe;jfif", "jfif"));
  EXPECT_FALSE(FilterTakesExtension("jpg", "jp"));
  EXPECT_FALSE(FilterTakesExtension("jpg jpeg", "jpg jpeg "));
  EXPECT_FALSE(FilterTakesExtension(" ", ""));
}

class FindImportFilterTest : public ::testing::Test {
 protected:
  void Register(const std::string& subkey, const char* name, const char* extensions,
                const char* path) {
    const std::string key = std::string(kImportFilterKey) + "\\" + subkey;
    registry_.CreateKey(RegRoot::LocalMachine, key);
    for (auto [value, text] : {std::pair{"Name", name}, {"Extensions", extensions}, {"Path", path}})
      registry_.WriteValue(RegRoot::LocalMachine, key, value, kRegSz, text, std::strlen(text) + 1);
  }
  std::string Find(const char* picture) {
    return FindImportFilter(picture, RegisteredImportFilters(registry_),
                            [this](const std::string& p) { return existing_.count(p) != 0; });
  }

  MemoryRegistry registry_;
  std::set<std::string> existing_;
};

TEST_F(FindImportFilterTest, FirstExistingFilterThenTheUsualNames) {
  Register("A Gone", "Old TIFF", "tif", "C:\\gone\\tiff.flt");
  Register("B Tiff", "TIFF", "TIF TIFF", "C:\\f\\tiff.flt");
  Register("C Png", "PNG", "png", "C:\\f\\png.flt");
  // A value of another type reads empty; text without its NUL reads whole.
  const std::string odd = std::string(kImportFilterKey) + "\\D Odd";
  registry_.CreateKey(RegRoot::LocalMachine, odd);
  const uint32_t number = 7;
  registry_.WriteValue(RegRoot::LocalMachine, odd, "Path", kRegDword, &number, sizeof number);
  registry_.WriteValue(RegRoot::LocalMachine, odd, "Extensions", kRegSz, "png", 3);
  existing_ = {"C:\\f\\tiff.flt", "C:\\f\\png.flt"};

  const std::vector<ImportFilter> filters = RegisteredImportFilters(registry_);
  ASSERT_EQ(filters.size(), 4u);
  EXPECT_EQ(filters[1].name, "TIFF");
  EXPECT_EQ(filters[1].extension, "TIF TIFF");
  EXPECT_EQ(filters[3].path, "");
  EXPECT_EQ(filters[3].extension, "png");

  EXPECT_EQ(Find("C:\\pics\\scan.TIF"), "C:\\f\\tiff.flt");  // the stale one is passed over
  EXPECT_EQ(Find("C:\\pics\\scan.tiff"), "C:\\f\\tiff.flt");
  EXPECT_EQ(Find("C:\\pics\\logo.png"), "C:\\f\\png.flt");
  EXPECT_EQ(Find("C:\\pics\\sea.JPG"), "JPEGIM32.FLT");
  EXPECT_EQ(Find("C:\\pics\\old.pcx"), "PCXIMP32.FLT");
  EXPECT_EQ(Find("C:\\pics\\sea.jpeg"), "");
  EXPECT_EQ(Find("C:\\png.pics\\sea"), "");
  existing_.clear();
  EXPECT_EQ(Find("C:\\pics\\logo.png"), "");
}

}  // namespace
}  // namespace lumox
