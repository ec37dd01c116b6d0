#include "settings_cli.h"

#include <cstdio>

namespace lumox::host {

int ShowConfiguration() {
  std::printf(
      "Lumox has no configuration dialog on this platform yet.\n"
      "Settings commands: lumox --list | --show NAME | --activate NAME | --delete NAME |\n"
      "                   --export NAME FILE | --import FILE [--as NAME] [--yes]\n");
  return 0;
}

int RunSettingsCommand(const HostCommand&) {
  // FIXME: wire to the settings commands once they exist.
  std::fprintf(stderr, "lumox: settings commands are not available in this build\n");
  return 1;
}

}  // namespace lumox::host
