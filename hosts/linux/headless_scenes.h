// The scene a headless run draws.
#pragma once

#include "command_line.h"

namespace lumox::host {

// Runs the headless mode with the saver's drawing. Returns the exit code.
int RunHeadlessScene(const HostCommand& command);

}  // namespace lumox::host
