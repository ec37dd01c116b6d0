// The settings side of the command line: where the settings live (/c) and
// the commands that list, show, activate, delete, export and import saved
// displays.
#pragma once

#include "command_line.h"

namespace lumox::host {

// /c and a bare "lumox": the settings window on a desktop (lumox-settings
// takes over the process); otherwise prints the registry file and the
// commands.
int ShowConfiguration();
// --list, --show, --activate, --delete, --export, --import.
int RunSettingsCommand(const HostCommand& command);

}  // namespace lumox::host
