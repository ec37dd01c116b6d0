// One set of expectations for every registry store: the memory fake the
// other subsystems' tests use, the Linux file store, and the real Windows
// registry (under Wine) must behave alike. The file store is seen through
// a second store on the same file, as another process would see it.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/memory_registry.h"
#include "platform/registry_store.h"
#include "temp_dir.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/win32/win32_registry.h"
#else
#include "platform/posix/file_registry.h"
#endif

namespace lumox {
namespace {

const RegRoot kUser = RegRoot::CurrentUser;
using Bytes = std::vector<uint8_t>;
using Names = std::vector<std::string>;

struct MemoryStore {
  static constexpr bool kWholeTree = true;  // the roots and the nesting limit are its own
  static Names ValueOrder(Names created) { return created; }  // creation order
  MemoryRegistry store;
  std::string base;
  RegistryStore& Get() { return store; }
  RegistryStore& Reopen() { return store; }
};

#ifndef _WIN32
struct FileStore {
  static constexpr bool kWholeTree = true;
  static Names ValueOrder(Names created) { return created; }
  testing::TempDir dir;
  FileRegistry store{dir.File("registry.reg")};
  std::unique_ptr<FileRegistry> reopened;
  std::string base;
  RegistryStore& Get() { return store; }
  RegistryStore& Reopen() {
    reopened = std::make_unique<FileRegistry>(dir.File("registry.reg"));
    return *reopened;
  }
};
using StoreTypes = ::testing::Types<MemoryStore, FileStore>;
#else
// Real Windows keeps values in the order they were created; Wine keeps them
// sorted with names folded to lower case ("[" and "_" before the letters).
// The store passes on the registry's own order.
Names RegistryValueOrder(Names created) {
  if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr) return created;
  std::sort(created.begin(), created.end(),
            [](const std::string& a, const std::string& b) { return _stricmp(a.c_str(), b.c_str()) < 0; });
  return created;
}

// The real registry, below a throwaway key of the current user.
struct Win32Store {
  static constexpr bool kWholeTree = false;
  static Names ValueOrder(Names created) { return RegistryValueOrder(std::move(created)); }
  static inline std::atomic<int> counter{0};
  Win32Registry store;
  std::string base = "Software\\LumoxTests\\" + std::to_string(GetCurrentProcessId()) + "-" +
                     std::to_string(counter++);
  Win32Store() { store.CreateKey(kUser, base); }
  ~Win32Store() { RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str()); }
  RegistryStore& Get() { return store; }
  RegistryStore& Reopen() { return store; }
};
using StoreTypes = ::testing::Types<MemoryStore, Win32Store>;
#endif

template <typename Store>
class RegistryContractTest : public ::testing::Test {
 protected:
  Store store_;
  RegistryStore& reg() { return store_.Get(); }
  RegistryStore& seen() { return store_.Reopen(); }
  std::string K(const std::string& key) const {
    return store_.base.empty() ? key : key.empty() ? store_.base : store_.base + "\\" + key;
  }
  void Create(const std::string& key) { ASSERT_TRUE(reg().CreateKey(kUser, K(key))) << key; }
  void Write(const std::string& key, const std::string& name, const Bytes& data,
             uint32_t type = kRegBinary) {
    ASSERT_TRUE(reg().WriteValue(kUser, K(key), name, type, data.data(), data.size())) << name;
  }
  Names ValueNames(const std::string& key) {
    Names names;
    for (const RegValue& value : seen().EnumValues(kUser, K(key))) names.push_back(value.name);
    return names;
  }
};
TYPED_TEST_SUITE(RegistryContractTest, StoreTypes);

TYPED_TEST(RegistryContractTest, EveryTypeAndOddNameRoundTripsByteForByte) {
  Bytes path(260, 0);  // "Path" as the settings store writes it: text, then zeros
  const std::string text = "C:\\Pictures\\\"quoted\" photo.bmp";
  std::copy(text.begin(), text.end(), path.begin());
  const std::vector<RegValue> values = {
      {"Priority", kRegBinary, {64, 0, 0, 0}}, {"Custom", kRegBinary, Bytes(708, 0xA5)},
      {"Empty binary", kRegBinary, {}},        {"Speed", kRegDword, {7, 0, 0, 0x80}},
      {"Odd dword", kRegDword, {1, 2}},        {"Path", kRegSz, path},
      {"No terminator", kRegSz, {'a', 'b'}},   {"Slogan", kRegSz, {'H', 'i', '"', '\\', 0}},
      {"Line break", kRegSz, {'a', '\n', 0}},  {"High bytes", kRegSz, {0xE9, 0xFF, 0}},
      {"Multi", 7, {'a', 0, 'b', 0, 0}},       {"", kRegSz, {'d', 'e', 'f', 0}},
      {"back\\slash\\", kRegBinary, {2}},     {" say \"hi\" a=b [x] @ ", kRegBinary, {1}},
  };
  this->Create("Saved\\[D] Bezier");
  for (const RegValue& value : values) this->Write("Saved\\[D] Bezier", value.name, value.data, value.type);
  for (const RegValue& value : values) {
    RegValue read;
    ASSERT_TRUE(this->seen().ReadValue(kUser, this->K("Saved\\[D] Bezier"), value.name, read))
        << value.name;
    EXPECT_EQ(read.type, value.type) << value.name;
    EXPECT_EQ(read.data, value.data) << value.name;
  }
}

TYPED_TEST(RegistryContractTest, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
  this->Create("Software\\Lumox");
  EXPECT_TRUE(this->reg().CreateKey(kUser, this->K("SOFTWARE\\lumox\\Extra")));
  this->Write("software\\LUMOX", "Current Version", {5, 0, 3, 0});
  this->Write("Software\\Lumox", "CURRENT VERSION", {6, 0, 3, 0});
  EXPECT_EQ(this->seen().EnumSubkeys(kUser, this->K("")), Names{"Software"});
  EXPECT_EQ(this->seen().EnumSubkeys(kUser, this->K("software")), Names{"Lumox"});
  EXPECT_EQ(this->ValueNames("Software\\Lumox"), Names{"Current Version"});
  RegValue read;
  ASSERT_TRUE(this->seen().ReadValue(kUser, this->K("SoFtWaRe\\lumox"), "current version", read));
  EXPECT_EQ(read.data, (Bytes{6, 0, 3, 0}));
}

// The order the Windows registry gives: subkeys alphabetically with names
// folded to upper case ("[" and "_" after the letters, "Capture #10" before
// "Capture #2"), values in the order they were created. Rewriting a value
// keeps its place; one deleted and written again goes to the end.
TYPED_TEST(RegistryContractTest, SubkeysEnumerateAlphabeticallyAndValuesInCreationOrder) {
  const Names created = {"_x", "b", "[D] Bezier", "Capture #2", "active", "Capture #10", "A"};
  this->Create("Saved");
  for (const std::string& name : created) {
    this->Create("Saved\\" + name);
    this->Write("Saved", name, {1});
  }
  this->Write("Saved", "b", {2});
  ASSERT_TRUE(this->reg().DeleteValue(kUser, this->K("Saved"), "[D] Bezier"));
  this->Write("Saved", "[D] BEZIER", {3});

  EXPECT_EQ(this->seen().EnumSubkeys(kUser, this->K("Saved")),
            (Names{"A", "active", "b", "Capture #10", "Capture #2", "[D] Bezier", "_x"}));
  EXPECT_EQ(this->ValueNames("Saved"), TypeParam::ValueOrder({"_x", "b", "Capture #2", "active",
                                                             "Capture #10", "A", "[D] BEZIER"}));
}

// Values go only into existing keys; keys get their parents; only leaf
// keys and existing values can be deleted.
TYPED_TEST(RegistryContractTest, KeysAndValuesComeAndGoAsTheRegistryLetsThem) {
  const uint8_t one = 1;
  EXPECT_FALSE(this->reg().WriteValue(kUser, this->K("Panel\\Missing"), "Speed", kRegDword, &one, 1));
  EXPECT_FALSE(this->seen().KeyExists(kUser, this->K("Panel")));
  this->Create("Saved\\Capture #1\\Modules\\Bezier");
  EXPECT_TRUE(this->reg().CreateKey(kUser, this->K("Saved\\Capture #1")));  // there: still fine
  EXPECT_TRUE(this->seen().EnumSubkeys(kUser, this->K("Nowhere")).empty());
  EXPECT_TRUE(this->seen().EnumValues(kUser, this->K("Nowhere")).empty());
  this->Write("Saved\\Capture #1", "Custom", {1, 2, 3});
  EXPECT_FALSE(this->reg().DeleteKey(kUser, this->K("Saved\\Capture #1")));  // has subkeys
  EXPECT_FALSE(this->reg().DeleteKey(kUser, this->K("Saved\\Capture #9")));  // missing
  EXPECT_TRUE(this->seen().KeyExists(kUser, this->K("saved\\capture #1\\modules\\bezier")));
  EXPECT_TRUE(this->reg().DeleteValue(kUser, this->K("Saved\\Capture #1"), "CUSTOM"));
  EXPECT_FALSE(this->reg().DeleteValue(kUser, this->K("Saved\\Capture #1"), "Custom"));
  EXPECT_FALSE(this->reg().DeleteValue(kUser, this->K("Missing"), "Custom"));
  RegValue unused;
  EXPECT_FALSE(this->seen().ReadValue(kUser, this->K("Saved\\Capture #1"), "Custom", unused));

  EXPECT_TRUE(this->reg().DeleteKey(kUser, this->K("Saved\\Capture #1\\Modules\\Bezier")));
  EXPECT_TRUE(this->reg().DeleteKey(kUser, this->K("saved\\capture #1\\modules")));
  EXPECT_TRUE(this->reg().DeleteKey(kUser, this->K("Saved\\Capture #1")));
  EXPECT_FALSE(this->seen().KeyExists(kUser, this->K("Saved\\Capture #1")));
  EXPECT_TRUE(this->seen().KeyExists(kUser, this->K("Saved")));
  EXPECT_FALSE(this->seen().KeyExists(RegRoot::LocalMachine, this->K("Saved")));  // roots apart
}

TYPED_TEST(RegistryContractTest, NamesNoStoreCanHoldAreRefused) {
  const uint8_t one = 1;
  EXPECT_TRUE(this->reg().CreateKey(kUser, this->K(std::string(255, 'k'))));
  EXPECT_FALSE(this->reg().CreateKey(kUser, this->K(std::string(256, 'k'))));
  EXPECT_FALSE(this->reg().CreateKey(kUser, this->K("Bad\nName")));
  this->Create("Good");
  EXPECT_FALSE(this->reg().WriteValue(kUser, this->K("Good"), std::string("a\0b", 3), kRegBinary,
                                      &one, 1));
  EXPECT_TRUE(this->seen().EnumValues(kUser, this->K("Good")).empty());
  EXPECT_EQ(this->seen().EnumSubkeys(kUser, this->K("")).size(), 2u);
  if constexpr (TypeParam::kWholeTree) {
    std::string deep = "k";
    for (int level = 1; level < 512; ++level) deep += "\\k";
    EXPECT_TRUE(this->reg().CreateKey(kUser, deep));
    EXPECT_FALSE(this->reg().CreateKey(kUser, deep + "\\k"));
  }
}

TYPED_TEST(RegistryContractTest, ThreadsWritingAtOnceLoseNothing) {
  constexpr int kThreads = 4, kWrites = 20;
  this->Create("Shared");
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([this, t] {
      const std::string key = this->K("Shared\\T") + std::to_string(t);
      for (int i = 0; i < kWrites; ++i) {
        this->reg().CreateKey(kUser, key);
        const uint32_t value = static_cast<uint32_t>(i);
        this->reg().WriteValue(kUser, key, std::string("V") + std::to_string(i), kRegDword, &value, 4);
        this->reg().EnumSubkeys(kUser, this->K("Shared"));
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t)
    EXPECT_EQ(this->ValueNames(std::string("Shared\\T") + std::to_string(t)).size(), size_t{kWrites});
}

}  // namespace
}  // namespace lumox
