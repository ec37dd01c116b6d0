// The saver main: the mode the system asked for, run.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string_view>

namespace lumox::win32 {

// Runs the mode of the argument text (the command line after the program
// name) and returns the process's exit code: -1 for an unknown mode, a
// preview handle that is no window, or /a on the NT family.
int SaverMain(HINSTANCE instance, std::string_view arguments);

}  // namespace lumox::win32
