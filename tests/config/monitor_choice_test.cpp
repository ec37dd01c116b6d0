#include "config/monitor_choice.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/memory_registry.h"
#include "settings/registry_values.h"

namespace lumox {
namespace {

class MonitorChoiceTest : public ::testing::Test {
 protected:
  MonitorChoiceTest() { InstallRegistry(&registry_); }
  ~MonitorChoiceTest() override { InstallRegistry(nullptr); }
  void StoreBytes(std::vector<uint8_t> bytes) {
    registry_.CreateKey(RegRoot::CurrentUser, ControlPanelPath(SettingsKey()));
    registry_.WriteValue(RegRoot::CurrentUser, ControlPanelPath(SettingsKey()), "Monitors",
                         kRegBinary, bytes.data(), bytes.size());
  }

  MemoryRegistry registry_;
};

TEST_F(MonitorChoiceTest, NothingStoredMeansThePrimaryMonitor) {
  EXPECT_EQ(ReadMonitorChoice(), MonitorChoice::kPrimary);
}

TEST_F(MonitorChoiceTest, EachChoiceComesBackAsStoredAsAFourByteNumber) {
  // The first store also makes the settings key, which does not exist yet.
  for (MonitorChoice choice : {MonitorChoice::kSpan, MonitorChoice::kEach,
                               MonitorChoice::kPrimary, MonitorChoice::kEach}) {
    ASSERT_TRUE(StoreMonitorChoice(choice));
    EXPECT_EQ(ReadMonitorChoice(), choice);
  }
  RegValue value;
  ASSERT_TRUE(registry_.ReadValue(RegRoot::CurrentUser, ControlPanelPath(SettingsKey()),
                                  "Monitors", value));
  EXPECT_EQ(value.type, kRegDword);
  EXPECT_EQ(value.data, (std::vector<uint8_t>{1, 0, 0, 0}));
}

TEST_F(MonitorChoiceTest, StoredBytesReadAsAChoiceOrAsThePrimaryMonitor) {
  const struct {
    std::vector<uint8_t> bytes;
    MonitorChoice expected;
  } cases[] = {
      {{2, 0, 0, 0}, MonitorChoice::kSpan},
      {{1, 0}, MonitorChoice::kEach},  // a short value reads zero-filled
      {{3, 0, 0, 0}, MonitorChoice::kPrimary},
      {{0xFF, 0xFF, 0xFF, 0xFF}, MonitorChoice::kPrimary},
      {{1, 0, 0, 0x80}, MonitorChoice::kPrimary},
      {{1, 0, 0, 0, 0}, MonitorChoice::kPrimary},  // too long to be a number
  };
  for (const auto& c : cases) {
    StoreBytes(c.bytes);
    EXPECT_EQ(ReadMonitorChoice(), c.expected) << ::testing::PrintToString(c.bytes);
  }
}

}  // namespace
}  // namespace lumox
