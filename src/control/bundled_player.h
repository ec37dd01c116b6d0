// The analyser that ships beside the saver: `soundfeed` beside `lumox` on
// Linux, `SOUNDFEED.EXE` beside `LUMOX.SCR` on Windows. The saver starts it
// when no other player has registered its command line (ProgramFolder()
// tells where the saver lies).
#pragma once

#include <string>

namespace lumox {

// The command line that runs the analyser found in `folder`, its path
// quoted so blanks survive; "" when the folder holds none.
std::string BundledPlayerCommandLine(const std::string& folder);

}  // namespace lumox
