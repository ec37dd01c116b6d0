// Every save that writes a display changes the registry inside one batch,
// so a file-backed registry writes the whole display out at once and a
// killed process never leaves half of one.
#include <gtest/gtest.h>

#include "platform/memory_registry.h"
#include "settings/saved_displays.h"
#include "settings/settings_file.h"
#include "settings_fixture.h"

namespace lumox {
namespace {

// Passes everything to a memory registry and counts the outermost batches
// and the changes made outside any batch.
class BatchCountingRegistry final : public RegistryStore {
 public:
  bool KeyExists(RegRoot root, std::string_view path) override {
    return inner_.KeyExists(root, path);
  }
  bool CreateKey(RegRoot root, std::string_view path) override {
    Change();
    return inner_.CreateKey(root, path);
  }
  bool DeleteKey(RegRoot root, std::string_view path) override {
    Change();
    return inner_.DeleteKey(root, path);
  }
  bool ReadValue(RegRoot root, std::string_view path, std::string_view name,
                 RegValue& out) override {
    return inner_.ReadValue(root, path, name, out);
  }
  bool WriteValue(RegRoot root, std::string_view path, std::string_view name, uint32_t type,
                  const void* data, size_t size) override {
    Change();
    return inner_.WriteValue(root, path, name, type, data, size);
  }
  bool DeleteValue(RegRoot root, std::string_view path, std::string_view name) override {
    Change();
    return inner_.DeleteValue(root, path, name);
  }
  std::vector<std::string> EnumSubkeys(RegRoot root, std::string_view path) override {
    return inner_.EnumSubkeys(root, path);
  }
  std::vector<RegValue> EnumValues(RegRoot root, std::string_view path) override {
    return inner_.EnumValues(root, path);
  }
  void BeginBatch() override {
    if (depth_++ == 0) ++batches;
  }
  void EndBatch() override { --depth_; }

  int batches = 0;
  int unbatchedChanges = 0;
  int changes = 0;

 private:
  void Change() {
    ++changes;
    if (depth_ == 0) ++unbatchedChanges;
  }
  MemoryRegistry inner_;
  int depth_ = 0;
};

class BatchingTest : public testing::SettingsTest {
 protected:
  void SetUp() override {
    SettingsTest::SetUp();
    InstallRegistry(&counting_);
  }
  // Runs an action and expects all its changes in exactly one batch.
  template <typename Action>
  void ExpectOneBatch(const char* what, Action action) {
    counting_.batches = counting_.unbatchedChanges = counting_.changes = 0;
    action();
    EXPECT_GT(counting_.changes, 0) << what;
    EXPECT_EQ(counting_.unbatchedChanges, 0) << what;
    EXPECT_EQ(counting_.batches, 1) << what;
  }
  BatchCountingRegistry counting_;
};

TEST_F(BatchingTest, DisplaysAreWrittenInOneBatchEach) {
  ExpectOneBatch("first run", [&] { SetUpSavedDisplays(state()); });

  state().options.Active[kStar] = 1;
  ExpectOneBatch("save", [&] { SaveDisplay(state(), "Mine"); });
  ExpectOneBatch("save again", [&] { SaveDisplay(state(), "Mine"); });
  ExpectOneBatch("capture", [&] { Capture(state()); });
  ExpectOneBatch("delete", [&] { DeleteDisplay("Mine"); });

  std::vector<uint8_t> file;
  ASSERT_TRUE(SerializeDisplay("Capture #1", file).ok());
  ExpectOneBatch("import", [&] { EXPECT_TRUE(ImportSettingsBytes("Mine", file).ok()); });
}

}  // namespace
}  // namespace lumox
