// A configuration session over the settings fixture (memory registry,
// recording system services, a small module table), with file choosers
// that answer from a script and messages that are kept.
#pragma once

#include <string>
#include <vector>

#include "config/config_session.h"
#include "config/scripted_dialogs.h"
#include "settings/settings_fixture.h"

namespace lumox::testing {

class ConfigTest : public SettingsTest {
 protected:
  void SetUp() override {
    SettingsTest::SetUp();
    session.Begin();
  }
  // The modules stored in a display, by their key names.
  std::vector<std::string> StoredModules(const std::string& display) {
    std::vector<std::string> names;
    for (const DumpedValue& value : Dump(ControlPanelPath(ModulesKey(display))))
      if (std::get<1>(value).empty()) names.push_back(std::get<0>(value));
    return names;
  }

  ScriptedDialogs dialogs;
  ConfigSession session{state(), dialogs, "C:\\SAVER\\LUMOX.SCR", "C:\\WINDOWS"};
};

}  // namespace lumox::testing
