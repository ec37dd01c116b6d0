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

// A memory registry that counts the outermost batches and the changes
// made outside any batch.
class BatchCountingRegistry final : public RegistryStore {
 public:
  bool KeyExists(RegRoot r, std::string_view p) override { return inner_.KeyExists(r, p); }
  bool CreateKey(RegRoot r, std::string_view p) override { return Change(), inner_.CreateKey(r, p); }
  bool DeleteKey(RegRoot r, std::string_view p) override { return Change(), inner_.DeleteKey(r, p); }
  bool ReadValue(RegRoot r, std::string_view p, std::string_view n, RegValue& out) override {
    return inner_.ReadValue(r, p, n, out);
  }
  bool WriteValue(RegRoot r, std::string_view p, std::string_view n, uint32_t type,
                  const void* data, size_t size) override {
    return Change(), inner_.WriteValue(r, p, n, type, data, size);
  }
  bool DeleteValue(RegRoot r, std::string_view p, std::string_view n) override {
    return Change(), inner_.DeleteValue(r, p, n);
  }
  std::vector<std::string> EnumSubkeys(RegRoot r, std::string_view p) override {
    return inner_.EnumSubkeys(r, p);
  }
  std::vector<RegValue> EnumValues(RegRoot r, std::string_view p) override {
    return inner_.EnumValues(r, p);
  }
  void BeginBatch() override { batches += depth_++ == 0; }
  void EndBatch() override { --depth_; }

  int batches = 0;
  int changes = 0;
  int unbatchedChanges = 0;

 private:
  void Change() {
    ++changes;
    unbatchedChanges += depth_ == 0;
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
