// Program launch, beep, yes/no question and debug output on Linux.
//
// LaunchProgram splits the command line as a shell would (blanks separate
// words, double and single quotes group them, a backslash escapes the next
// character outside single quotes) and starts the program with posix_spawnp,
// without a shell: nothing in the line is ever interpreted. Children are
// reaped by a small waiter thread each, so none is left a zombie.
// Beep rings the terminal bell on stderr when it is a terminal; AskYesNo asks
// on the controlling terminal (prompt and answer both there, so the question
// shows even when stderr goes to a log) and answers No when there is none or
// the program runs in the background.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/system.h"

namespace lumox {

class PosixSystemServices final : public SystemServices {
 public:
  bool LaunchProgram(const std::string& commandLine) override;
  void Beep() override;
  bool AskYesNo(const std::string& title, const std::string& text) override;
  void DebugOutput(const std::string& text) override;
};

// The words of a command line, split as described above. Empty when the
// line is empty or has an unterminated quote.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

}  // namespace lumox
