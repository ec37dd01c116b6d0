// Where the running program lies: the saver finds what ships beside it
// (the sound analyser, the user guide, the settings window) and starts
// itself again for test runs.
#pragma once

#include <string>

namespace lumox {

// The running program's full path; "" when the system cannot tell.
std::string ProgramPath();

// The folder that holds it, without a trailing separator; "" when unknown.
std::string ProgramFolder();

}  // namespace lumox
