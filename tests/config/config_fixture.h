// A configuration session over the settings fixture (memory registry,
// recording system services, a small module table), with file choosers
// that answer from a script and messages that are kept.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "config/config_session.h"
#include "settings/settings_fixture.h"

namespace lumox::testing {

class ScriptedDialogs final : public ConfigDialogs {
 public:
  // Each chooser takes the next answer; none (cancel) once they run out.
  std::vector<std::string> AskOpenFiles(const FileRequest& request) override {
    requests.push_back(request);
    if (answers.empty()) return {};
    std::vector<std::string> answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::string AskSaveFile(const FileRequest& request) override {
    const std::vector<std::string> answer = AskOpenFiles(request);
    return answer.empty() ? std::string() : answer.front();
  }
  void ShowMessage(const std::string& title, const std::string& text, MessageIcon) override {
    messages.push_back(title + ": " + text);
  }

  std::deque<std::vector<std::string>> answers;
  std::vector<FileRequest> requests;
  std::vector<std::string> messages;  // "title: text"
};

class ConfigTest : public SettingsTest {
 protected:
  void SetUp() override {
    SettingsTest::SetUp();
    session.Begin();
  }
  // The modules stored in a display, by their key names.
  std::vector<std::string> StoredModules(const std::string& display) {
    std::vector<std::string> names;
    for (const DumpedValue& value : Dump(ControlPanelPath(ModulesKey(display)))) {
      if (std::get<1>(value).empty()) names.push_back(std::get<0>(value));
    }
    return names;
  }

  ScriptedDialogs dialogs;
  ConfigSession session{state(), dialogs, "C:\\SAVER\\LUMOX.SCR", "C:\\WINDOWS"};
};

}  // namespace lumox::testing
