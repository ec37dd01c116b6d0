// File choosers that answer from a script (a cancel once it runs out) and
// message boxes that are remembered, for tests of the configuration pages
// and their views.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "config/config_session.h"

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

}  // namespace lumox::testing
