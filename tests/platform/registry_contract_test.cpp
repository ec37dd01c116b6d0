// One set of expectations for every registry store: the memory fake the
// other subsystems' tests use must behave like the real stores.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/memory_registry.h"
#include "platform/registry_store.h"
#include "temp_dir.h"

#ifndef _WIN32
#include "platform/posix/file_registry.h"
#endif

namespace lumox {
namespace {

const RegRoot kUser = RegRoot::CurrentUser;
const char kDisplayKey[] = "Control Panel\\Screen Saver.Lumox\\Saved\\[D] Bezier";

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> bytes;
  for (int v : values) bytes.push_back(static_cast<uint8_t>(v));
  return bytes;
}

// A REG_SZ as the settings store writes "Path": the text and zeros up to 260.
std::vector<uint8_t> PathValue(const std::string& text) {
  std::vector<uint8_t> bytes(260, 0);
  std::copy(text.begin(), text.end(), bytes.begin());
  return bytes;
}

struct MemoryStore {
  std::unique_ptr<RegistryStore> store = std::make_unique<MemoryRegistry>();
  RegistryStore& Get() { return *store; }
  // The same data seen afresh: for memory there is only the one store.
  RegistryStore& Reopen() { return *store; }
};

#ifndef _WIN32
struct FileStore {
  testing::TempDir dir;
  std::unique_ptr<RegistryStore> store = std::make_unique<FileRegistry>(dir.File("registry.reg"));
  std::unique_ptr<RegistryStore> reopened;
  RegistryStore& Get() { return *store; }
  // A second store on the same file, as another process would see it.
  RegistryStore& Reopen() {
    reopened = std::make_unique<FileRegistry>(dir.File("registry.reg"));
    return *reopened;
  }
};
#endif

template <typename Store>
class RegistryContractTest : public ::testing::Test {
 protected:
  Store store_;
  RegistryStore& reg() { return store_.Get(); }
  RegistryStore& reopen() { return store_.Reopen(); }

  void Write(const char* key, const std::string& name, uint32_t type,
             const std::vector<uint8_t>& data) {
    ASSERT_TRUE(reg().WriteValue(kUser, key, name, type, data.data(), data.size())) << name;
  }
};

#ifndef _WIN32
using StoreTypes = ::testing::Types<MemoryStore, FileStore>;
#else
using StoreTypes = ::testing::Types<MemoryStore>;
#endif
TYPED_TEST_SUITE(RegistryContractTest, StoreTypes);

TYPED_TEST(RegistryContractTest, EveryTypeAndOddNameRoundTripsByteForByte) {
  ASSERT_TRUE(this->reg().CreateKey(kUser, kDisplayKey));
  const std::vector<RegValue> values = {
      {"Priority", kRegBinary, Bytes({64, 0, 0, 0})},
      {"Custom", kRegBinary, std::vector<uint8_t>(708, 0)},
      {"Zeros inside", kRegBinary, Bytes({0, 1, 0, 0, 2, 0})},
      {"Empty binary", kRegBinary, {}},
      {"Speed", kRegDword, Bytes({7, 0, 0, 0x80})},
      {"Odd dword", kRegDword, Bytes({1, 2})},
      {"Active", kRegSz, PathValue("")},
      {"Path", kRegSz, PathValue("C:\\Pictures\\\"quoted\" photo.bmp")},
      {"Slogan", kRegSz, Bytes({'H', 'i', ' ', '"', '\\', 0})},
      {"No terminator", kRegSz, Bytes({'a', 'b'})},
      {"Empty sz", kRegSz, {}},
      {"Line break", kRegSz, Bytes({'a', '\n', 'b', 0})},
      {"High bytes", kRegSz, Bytes({0xE9, 0xFF, 0})},
      {"Multi", 7, Bytes({'a', 0, 'b', 0, 0})},
      {"", kRegSz, Bytes({'d', 'e', 'f', 0})},
      {"say \"hi\"", kRegBinary, Bytes({1})},
      {"a=b", kRegBinary, Bytes({2})},
      {"back\\slash\\", kRegBinary, Bytes({3})},
      {"[bracket]", kRegBinary, Bytes({4})},
      {"@", kRegBinary, Bytes({5})},
      {" padded ", kRegBinary, Bytes({6})},
  };
  for (const RegValue& value : values) this->Write(kDisplayKey, value.name, value.type, value.data);

  RegistryStore& seen = this->reopen();
  for (const RegValue& value : values) {
    RegValue read;
    ASSERT_TRUE(seen.ReadValue(kUser, kDisplayKey, value.name, read)) << value.name;
    EXPECT_EQ(read.name, value.name);
    EXPECT_EQ(read.type, value.type) << value.name;
    EXPECT_EQ(read.data, value.data) << value.name;
  }
  EXPECT_EQ(seen.EnumValues(kUser, kDisplayKey).size(), values.size());
}

TYPED_TEST(RegistryContractTest, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
  ASSERT_TRUE(this->reg().CreateKey(kUser, "Software\\Lumox"));
  EXPECT_TRUE(this->reg().CreateKey(kUser, "SOFTWARE\\lumox\\Extra"));
  this->Write("software\\LUMOX", "Current Version", kRegDword, Bytes({5, 0, 3, 0}));
  this->Write("Software\\Lumox", "CURRENT VERSION", kRegDword, Bytes({6, 0, 3, 0}));

  RegistryStore& seen = this->reopen();
  EXPECT_EQ(seen.EnumSubkeys(kUser, ""), std::vector<std::string>{"Software"});
  EXPECT_EQ(seen.EnumSubkeys(kUser, "software"), std::vector<std::string>{"Lumox"});
  EXPECT_EQ(seen.EnumSubkeys(kUser, "Software\\Lumox"), std::vector<std::string>{"Extra"});
  const std::vector<RegValue> values = seen.EnumValues(kUser, "Software\\Lumox");
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(values[0].name, "Current Version");
  EXPECT_EQ(values[0].data, Bytes({6, 0, 3, 0}));
}

TYPED_TEST(RegistryContractTest, SubkeysAndValuesEnumerateInRegistryOrder) {
  // Upper-case folding puts "[" and "_" after the letters, as the registry
  // does; "Capture #10" sorts before "Capture #2" character by character.
  const std::vector<std::string> created = {"_x", "b", "[D] Bezier", "Capture #2", "active",
                                            "Capture #10", "A"};
  const std::vector<std::string> expected = {"A", "active", "b", "Capture #10", "Capture #2",
                                             "[D] Bezier", "_x"};
  ASSERT_TRUE(this->reg().CreateKey(kUser, "Saved"));
  for (const std::string& name : created) {
    ASSERT_TRUE(this->reg().CreateKey(kUser, "Saved\\" + name));
    this->Write("Saved", name, kRegBinary, Bytes({1}));
  }
  RegistryStore& seen = this->reopen();
  EXPECT_EQ(seen.EnumSubkeys(kUser, "Saved"), expected);
  std::vector<std::string> valueNames;
  for (const RegValue& value : seen.EnumValues(kUser, "Saved")) valueNames.push_back(value.name);
  EXPECT_EQ(valueNames, expected);
}

TYPED_TEST(RegistryContractTest, ValuesGoOnlyIntoExistingKeysAndKeysGetTheirParents) {
  const uint8_t one = 1;
  EXPECT_FALSE(this->reg().WriteValue(kUser, "Control Panel\\Missing", "Speed", kRegDword, &one, 1));
  EXPECT_FALSE(this->reg().KeyExists(kUser, "Control Panel\\Missing"));
  EXPECT_FALSE(this->reg().KeyExists(kUser, "Control Panel"));

  ASSERT_TRUE(this->reg().CreateKey(kUser, "A\\B\\C"));
  EXPECT_TRUE(this->reg().CreateKey(kUser, "A\\B\\C"));  // already there: still fine
  RegistryStore& seen = this->reopen();
  EXPECT_TRUE(seen.KeyExists(kUser, "A"));
  EXPECT_TRUE(seen.KeyExists(kUser, "A\\B"));
  EXPECT_TRUE(seen.KeyExists(kUser, "a\\b\\c"));
  EXPECT_TRUE(seen.KeyExists(kUser, ""));
  EXPECT_TRUE(seen.EnumSubkeys(kUser, "Nowhere").empty());
  EXPECT_TRUE(seen.EnumValues(kUser, "Nowhere").empty());
  RegValue unused;
  EXPECT_FALSE(seen.ReadValue(kUser, "A", "Missing", unused));
}

TYPED_TEST(RegistryContractTest, DeleteKeyRemovesOnlyLeaves) {
  ASSERT_TRUE(this->reg().CreateKey(kUser, "Saved\\Capture #1\\Modules\\Bezier"));
  this->Write("Saved\\Capture #1", "Priority", kRegBinary, Bytes({64, 0, 0, 0}));

  EXPECT_FALSE(this->reg().DeleteKey(kUser, "Saved\\Capture #1"));  // has subkeys
  EXPECT_FALSE(this->reg().DeleteKey(kUser, "Saved\\Capture #9"));  // missing
  EXPECT_FALSE(this->reg().DeleteKey(kUser, ""));                   // a root
  EXPECT_TRUE(this->reopen().KeyExists(kUser, "Saved\\Capture #1\\Modules\\Bezier"));

  EXPECT_TRUE(this->reg().DeleteKey(kUser, "Saved\\Capture #1\\Modules\\Bezier"));
  EXPECT_TRUE(this->reg().DeleteKey(kUser, "saved\\capture #1\\modules"));
  EXPECT_TRUE(this->reg().DeleteKey(kUser, "Saved\\Capture #1"));
  RegistryStore& seen = this->reopen();
  EXPECT_FALSE(seen.KeyExists(kUser, "Saved\\Capture #1"));
  EXPECT_TRUE(seen.KeyExists(kUser, "Saved"));

  // A key made again under the same name starts empty.
  ASSERT_TRUE(this->reg().CreateKey(kUser, "Saved\\Capture #1"));
  EXPECT_TRUE(this->reopen().EnumValues(kUser, "Saved\\Capture #1").empty());
}

TYPED_TEST(RegistryContractTest, DeleteValue) {
  ASSERT_TRUE(this->reg().CreateKey(kUser, "Palette"));
  this->Write("Palette", "Custom", kRegBinary, Bytes({1, 2, 3}));
  EXPECT_TRUE(this->reg().DeleteValue(kUser, "Palette", "CUSTOM"));
  EXPECT_FALSE(this->reg().DeleteValue(kUser, "Palette", "Custom"));
  EXPECT_FALSE(this->reg().DeleteValue(kUser, "Missing", "Custom"));
  RegValue unused;
  EXPECT_FALSE(this->reopen().ReadValue(kUser, "Palette", "Custom", unused));
}

TYPED_TEST(RegistryContractTest, RootsAreSeparateTrees) {
  ASSERT_TRUE(this->reg().CreateKey(RegRoot::LocalMachine, "Software\\Auralis"));
  const std::vector<uint8_t> command = {'p', 'l', 'a', 'y', 0};
  ASSERT_TRUE(this->reg().WriteValue(RegRoot::LocalMachine, "Software\\Auralis", "", kRegSz,
                                     command.data(), command.size()));
  ASSERT_TRUE(this->reg().CreateKey(RegRoot::ClassesRoot, ".LMX"));

  RegistryStore& seen = this->reopen();
  EXPECT_FALSE(seen.KeyExists(kUser, "Software\\Auralis"));
  EXPECT_FALSE(seen.KeyExists(RegRoot::LocalMachine, ".LMX"));
  EXPECT_TRUE(seen.KeyExists(RegRoot::ClassesRoot, ".lmx"));
  RegValue read;
  ASSERT_TRUE(seen.ReadValue(RegRoot::LocalMachine, "Software\\Auralis", "", read));
  EXPECT_EQ(read.data, command);
}

TYPED_TEST(RegistryContractTest, OverlongKeyNamesAndDeepNestingAreRefused) {
  EXPECT_TRUE(this->reg().CreateKey(kUser, std::string(255, 'k')));
  EXPECT_FALSE(this->reg().CreateKey(kUser, std::string(256, 'k')));
  std::string deep = "k";
  for (int level = 1; level < 512; ++level) deep += "\\k";
  EXPECT_TRUE(this->reg().CreateKey(kUser, deep));
  EXPECT_FALSE(this->reg().CreateKey(kUser, deep + "\\k"));
  EXPECT_TRUE(this->reopen().KeyExists(kUser, deep));
}

TYPED_TEST(RegistryContractTest, ControlCharactersInNamesAreRefused) {
  const uint8_t one = 1;
  EXPECT_FALSE(this->reg().CreateKey(kUser, std::string("Bad\nName")));
  EXPECT_FALSE(this->reg().KeyExists(kUser, "Bad"));
  ASSERT_TRUE(this->reg().CreateKey(kUser, "Good"));
  EXPECT_FALSE(this->reg().WriteValue(kUser, "Good", std::string("a\0b", 3), kRegBinary, &one, 1));
  EXPECT_TRUE(this->reopen().EnumValues(kUser, "Good").empty());
}

TYPED_TEST(RegistryContractTest, BatchesNestAndSeeTheirOwnChanges) {
  {
    RegistryBatch outer(this->reg());
    ASSERT_TRUE(this->reg().CreateKey(kUser, "Saved\\Capture #1"));
    {
      RegistryBatch inner(this->reg());
      this->Write("Saved\\Capture #1", "ShowName", kRegBinary, Bytes({3, 0, 0, 0}));
    }
    EXPECT_TRUE(this->reg().KeyExists(kUser, "Saved\\Capture #1"));
    RegValue read;
    EXPECT_TRUE(this->reg().ReadValue(kUser, "Saved\\Capture #1", "ShowName", read));
    EXPECT_TRUE(this->reg().DeleteValue(kUser, "Saved\\Capture #1", "ShowName"));
    this->Write("Saved\\Capture #1", "AutoRun", kRegBinary, Bytes({1, 0, 0, 0}));
  }
  RegistryStore& seen = this->reopen();
  const std::vector<RegValue> values = seen.EnumValues(kUser, "Saved\\Capture #1");
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(values[0].name, "AutoRun");
}

TYPED_TEST(RegistryContractTest, ThreadsWritingAtOnceLoseNothing) {
  constexpr int kThreads = 4;
  constexpr int kWrites = 20;
  ASSERT_TRUE(this->reg().CreateKey(kUser, "Shared"));
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([this, t] {
      for (int i = 0; i < kWrites; ++i) {
        const std::string key = "Shared\\T" + std::to_string(t);
        this->reg().CreateKey(kUser, key);
        const uint32_t value = static_cast<uint32_t>(i);
        this->reg().WriteValue(kUser, key, "V" + std::to_string(i), kRegDword, &value, 4);
        this->reg().EnumSubkeys(kUser, "Shared");
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  RegistryStore& seen = this->reopen();
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(seen.EnumValues(kUser, "Shared\\T" + std::to_string(t)).size(), size_t{kWrites});
  }
}

}  // namespace
}  // namespace lumox
