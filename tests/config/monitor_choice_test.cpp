#include "config/monitor_choice.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/memory_registry.h"
#include "settings/registry_values.h"

namespace lumox {
namespace {

TEST(MonitorChoiceTest, StoredChoicesComeBackAndAnythingElseMeansThePrimaryMonitor) {
  MemoryRegistry registry;
  InstallRegistry(&registry);
  EXPECT_EQ(ReadMonitorChoice(), MonitorChoice::kPrimary);  // nothing stored, not even the key
  for (MonitorChoice choice :
       {MonitorChoice::kSpan, MonitorChoice::kEach, MonitorChoice::kPrimary}) {
    ASSERT_TRUE(StoreMonitorChoice(choice));
    EXPECT_EQ(ReadMonitorChoice(), choice);
  }
  const std::pair<std::vector<uint8_t>, MonitorChoice> stored[] = {
      {{2, 0, 0, 0}, MonitorChoice::kSpan},
      {{1, 0}, MonitorChoice::kEach},  // a short value reads zero-filled
      {{3, 0, 0, 0}, MonitorChoice::kPrimary},
      {{0xFF, 0xFF, 0xFF, 0xFF}, MonitorChoice::kPrimary},
      {{1, 0, 0, 0, 0}, MonitorChoice::kPrimary},  // too long to be a number
  };
  for (const auto& [bytes, expected] : stored) {
    registry.WriteValue(RegRoot::CurrentUser, ControlPanelPath(SettingsKey()), "Monitors",
                        kRegBinary, bytes.data(), bytes.size());
    EXPECT_EQ(ReadMonitorChoice(), expected) << ::testing::PrintToString(bytes);
  }
  InstallRegistry(nullptr);
}

}  // namespace
}  // namespace lumox
