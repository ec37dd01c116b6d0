#include "config/monitor_choice.h"

#include "platform/registry_store.h"
#include "settings/registry_values.h"

namespace lumox {

namespace {
constexpr const char* kMonitorsValue = "Monitors";
}  // namespace

MonitorChoice ReadMonitorChoice() {
  int32_t stored = static_cast<int32_t>(MonitorChoice::kPrimary);
  if (!ReadInt32(kMonitorsValue, SettingsKey(), stored)) return MonitorChoice::kPrimary;
  switch (static_cast<MonitorChoice>(stored)) {
    case MonitorChoice::kEach:
    case MonitorChoice::kSpan:
      return static_cast<MonitorChoice>(stored);
    case MonitorChoice::kPrimary:
      break;
  }
  return MonitorChoice::kPrimary;
}

bool StoreMonitorChoice(MonitorChoice choice) {
  // A first run may change this before anything else created the key.
  Registry().CreateKey(RegRoot::CurrentUser, ControlPanelPath(SettingsKey()));
  return WriteInt32(kMonitorsValue, SettingsKey(), static_cast<int32_t>(choice), kRegDword);
}

}  // namespace lumox
