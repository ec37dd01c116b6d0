// The settings commands of the Linux program: list, export, import,
// activate, delete and show saved displays from the command line.
//
// Each command returns an exit code with the text for standard output and
// standard error; the host prints them. Questions (replace an existing
// display?) go through System().AskYesNo, which the host answers on the
// terminal.
#pragma once

#include <string>

namespace lumox {

constexpr int kCommandOk = 0;
constexpr int kCommandFailed = 1;

struct CommandResult {
  int exitCode = kCommandOk;
  std::string output;  // for standard output
  std::string error;   // for standard error
};

// The saved displays, one per line; the active one is marked with "*".
CommandResult ListDisplaysCommand();
CommandResult ExportDisplayCommand(const std::string& name, const std::string& filePath);
// `asName` empty: the file's base name. `assumeYes`: replace an existing
// display without asking.
CommandResult ImportFileCommand(const std::string& filePath, const std::string& asName,
                                bool assumeYes);
CommandResult ActivateDisplayCommand(const std::string& name);
CommandResult DeleteDisplayCommand(const std::string& name);
// The display's modules with their labelled controls, its options and its
// palette effects.
CommandResult ShowDisplayCommand(const std::string& name);

}  // namespace lumox
