// The few other things the saver asks of the operating system: running a
// program, a beep, a yes/no question, debug output.
#pragma once

#include <string>

namespace lumox {

class SystemServices {
 public:
  virtual ~SystemServices() = default;
  // Starts a program from a command line, shown normally. False if it
  // could not be started.
  virtual bool LaunchProgram(const std::string& commandLine) = 0;
  virtual void Beep() = 0;
  // A question with Yes and No; true for Yes.
  virtual bool AskYesNo(const std::string& title, const std::string& text) = 0;
  // Developer diagnostics (OutputDebugString on Windows, stderr on Linux).
  virtual void DebugOutput(const std::string& text) = 0;
};

// The process-wide services: the platform's own unless another was
// installed (tests install a recording fake).
void InstallSystemServices(SystemServices* services);
SystemServices& System();

}  // namespace lumox
