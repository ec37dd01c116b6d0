// Programs, beeps, questions and debug output on Windows.
#pragma once

#include "platform/system.h"

namespace lumox {

class Win32SystemServices final : public SystemServices {
 public:
  bool LaunchProgram(const std::string& commandLine) override;
  void Beep() override;
  bool AskYesNo(const std::string& title, const std::string& text) override;
  void DebugOutput(const std::string& text) override;
};

}  // namespace lumox
