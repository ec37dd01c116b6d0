// The real registry behind RegistryStore keeps the promises the memory fake
// and the file store keep. Everything happens below a throwaway key of the
// current user, removed again afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/win32_registry.h"
#include "win32_test_support.h"

namespace lumox {
namespace {

const RegRoot kUser = RegRoot::CurrentUser;

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

class Win32RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = "Software\\LumoxTests\\" + std::to_string(GetCurrentProcessId()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name();
    ASSERT_TRUE(reg_.CreateKey(kUser, base_));
  }
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str()); }

  std::string Key(const std::string& relative) const {
    return relative.empty() ? base_ : base_ + "\\" + relative;
  }
  std::vector<std::string> ValueNames(const std::string& key) {
    std::vector<std::string> names;
    for (const RegValue& value : reg_.EnumValues(kUser, Key(key))) names.push_back(value.name);
    return Sorted(names);
  }

  Win32Registry reg_;
  std::string base_;
};

TEST_F(Win32RegistryTest, EveryTypeAndOddNameRoundTripsByteForByte) {
  const std::string key = Key("Saved\\[D] Bezier");
  ASSERT_TRUE(reg_.CreateKey(kUser, key));
  std::vector<uint8_t> path(260, 0);
  std::copy_n("C:\\Pictures", 11, path.begin());
  const std::vector<RegValue> values = {
      {"Control19", kRegBinary, {0x10, 0x00, 0xFF, 0x7F}},
      {"Speed", kRegDword, {5, 0, 0, 0}},
      {"Path", kRegSz, path},  // zeros after the text stay as written
      {"", kRegSz, Bytes(std::string("default\0", 8))},
      {"Empty", kRegBinary, {}},
      {"Name with = and ] and \"quotes\"", kRegBinary, {1}},
      {"Capture #12", kRegBinary, std::vector<uint8_t>(1024, 0xA5)},
  };
  for (const RegValue& value : values) {
    ASSERT_TRUE(reg_.WriteValue(kUser, key, value.name, value.type, value.data.data(),
                                value.data.size()))
        << value.name;
  }
  for (const RegValue& value : values) {
    RegValue read;
    ASSERT_TRUE(reg_.ReadValue(kUser, key, value.name, read)) << value.name;
    EXPECT_EQ(read.type, value.type) << value.name;
    EXPECT_EQ(read.data, value.data) << value.name;
  }
}

TEST_F(Win32RegistryTest, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
  const uint8_t one = 1, two = 2;
  ASSERT_TRUE(reg_.CreateKey(kUser, Key("Bezier")));
  EXPECT_TRUE(reg_.KeyExists(kUser, Key("BEZIER")));
  ASSERT_TRUE(reg_.WriteValue(kUser, Key("bezier"), "RedSource", kRegBinary, &one, 1));
  ASSERT_TRUE(reg_.WriteValue(kUser, Key("Bezier"), "REDSOURCE", kRegBinary, &two, 1));
  EXPECT_EQ(ValueNames("Bezier"), std::vector<std::string>{"RedSource"});
  RegValue read;
  ASSERT_TRUE(reg_.ReadValue(kUser, Key("BeZiEr"), "redsource", read));
  EXPECT_EQ(read.data, std::vector<uint8_t>{2});
  EXPECT_EQ(reg_.EnumSubkeys(kUser, base_), std::vector<std::string>{"Bezier"});
}

TEST_F(Win32RegistryTest, EnumerationListsEverySubkeyAndValueOnce) {
  // Real Windows returns values in creation order and Wine sorts them: the
  // contract promises the set, and callers sort where they need an order.
  const char* names[] = {"Zeta", "alpha", "_under", "Capture #2", "Capture #10"};
  const uint8_t one = 1;
  for (const char* name : names) {
    ASSERT_TRUE(reg_.CreateKey(kUser, Key(std::string("Saved\\") + name)));
    ASSERT_TRUE(reg_.WriteValue(kUser, Key("Saved"), name, kRegBinary, &one, 1));
  }
  std::vector<std::string> expected(std::begin(names), std::end(names));
  EXPECT_EQ(Sorted(reg_.EnumSubkeys(kUser, Key("Saved"))), Sorted(expected));
  EXPECT_EQ(ValueNames("Saved"), Sorted(expected));
  EXPECT_TRUE(reg_.EnumSubkeys(kUser, Key("Missing")).empty());
  EXPECT_TRUE(reg_.EnumValues(kUser, Key("Missing")).empty());
}

TEST_F(Win32RegistryTest, ValuesGoOnlyIntoExistingKeysAndKeysGetTheirParents) {
  const uint8_t one = 1;
  EXPECT_FALSE(reg_.WriteValue(kUser, Key("Nowhere"), "Value", kRegBinary, &one, 1));
  EXPECT_FALSE(reg_.KeyExists(kUser, Key("Nowhere")));
  ASSERT_TRUE(reg_.CreateKey(kUser, Key("A\\B\\C")));
  EXPECT_TRUE(reg_.KeyExists(kUser, Key("A")));
  EXPECT_TRUE(reg_.KeyExists(kUser, Key("A\\B")));
  RegValue unused;
  EXPECT_FALSE(reg_.ReadValue(kUser, Key("A"), "Missing", unused));
}

TEST_F(Win32RegistryTest, DeleteKeyRemovesOnlyLeavesAndDeleteValueOnlyWhatExists) {
  const uint8_t one = 1;
  ASSERT_TRUE(reg_.CreateKey(kUser, Key("Saved\\Capture #1")));
  ASSERT_TRUE(reg_.WriteValue(kUser, Key("Saved"), "Active", kRegBinary, &one, 1));
  EXPECT_FALSE(reg_.DeleteKey(kUser, Key("Saved")));
  EXPECT_TRUE(reg_.KeyExists(kUser, Key("Saved\\Capture #1")));
  EXPECT_TRUE(reg_.DeleteKey(kUser, Key("Saved\\Capture #1")));
  EXPECT_FALSE(reg_.KeyExists(kUser, Key("Saved\\Capture #1")));
  EXPECT_FALSE(reg_.DeleteKey(kUser, Key("Saved\\Capture #1")));

  EXPECT_TRUE(reg_.DeleteValue(kUser, Key("Saved"), "Active"));
  EXPECT_FALSE(reg_.DeleteValue(kUser, Key("Saved"), "Active"));
  EXPECT_FALSE(reg_.DeleteValue(kUser, Key("Missing"), "Active"));
}

TEST_F(Win32RegistryTest, ControlCharactersInNamesAreRefused) {
  const uint8_t one = 1;
  EXPECT_FALSE(reg_.CreateKey(kUser, Key("Bad\nName")));
  ASSERT_TRUE(reg_.CreateKey(kUser, Key("Good")));
  EXPECT_FALSE(reg_.WriteValue(kUser, Key("Good"), std::string("a\0b", 3), kRegBinary, &one, 1));
  EXPECT_TRUE(reg_.EnumValues(kUser, Key("Good")).empty());
  EXPECT_EQ(reg_.EnumSubkeys(kUser, base_), std::vector<std::string>{"Good"});
}

TEST_F(Win32RegistryTest, ThreadsWritingAtOnceLoseNothing) {
  ASSERT_TRUE(reg_.CreateKey(kUser, Key("Busy")));
  std::vector<std::thread> writers;
  for (int t = 0; t < 4; ++t) {
    writers.emplace_back([this, t] {
      for (int i = 0; i < 25; ++i) {
        uint32_t value = static_cast<uint32_t>(t * 100 + i);
        std::string name = "Control" + std::to_string(t) + "_" + std::to_string(i);
        reg_.WriteValue(kUser, Key("Busy"), name, kRegBinary, &value, sizeof(value));
      }
    });
  }
  for (std::thread& writer : writers) writer.join();
  EXPECT_EQ(reg_.EnumValues(kUser, Key("Busy")).size(), 100u);
}

}  // namespace
}  // namespace lumox
