// A PageDialogs that records what a page asked ("caption: text") and
// answers from fields a test sets.
#pragma once

#include <string>
#include <vector>

#include "config/page_services.h"

namespace lumox::testing {

struct RecordingDialogs : PageDialogs {
  void Beep() override { ++beeps; }
  void ShowMessage(std::string_view text, std::string_view caption, MessageIcon) override {
    messages.push_back(std::string(caption) + ": " + std::string(text));
  }
  bool AskYesNo(std::string_view text, std::string_view caption) override {
    ShowMessage(text, caption, MessageIcon::kPlain);
    return answerYes;
  }
  std::optional<std::string> ChooseFileToOpen(std::string_view) override { return file; }
  std::optional<std::string> ChooseFileToSave(std::string_view, std::string_view name) override {
    proposedName = name;
    return file;
  }

  int beeps = 0;
  std::vector<std::string> messages;
  bool answerYes = false;
  std::optional<std::string> file;
  std::string proposedName;
};

}  // namespace lumox::testing
