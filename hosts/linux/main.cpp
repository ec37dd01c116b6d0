// lumox: the saver on Linux. Reads the command line and runs the mode it
// names (UsageText() lists them):
//   - full screen and the development window: an SDL window
//     (sdl_window_run.cpp) presenting through sdl_presenter.cpp;
//   - a preview or a screen-saver daemon's window: Xlib drawing into a
//     window someone else owns (embedded_run.cpp, x11_window_target.cpp);
//   - headless: PNG frames on a virtual clock (headless_run.cpp);
//   - the settings commands (settings_cli.cpp).
// Window runs feed the saver's window logic through SaverWindowSession,
// which starts and stops the runtime's render thread.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "command_line.h"
#include "headless_run.h"
#include "settings_cli.h"
#include "window_run.h"

using namespace lumox::host;

namespace {

int Run(const HostCommand& command) {
  switch (command.mode) {
    case HostMode::Error:
      std::fprintf(stderr, "lumox: %s\n", command.error.c_str());
      return -1;
    case HostMode::Help:
      std::fputs(UsageText().c_str(), stdout);
      return 0;
    case HostMode::Configure:
      return ShowConfiguration();
    case HostMode::FullScreen:
    case HostMode::Window:
      return RunSdlWindow(command);
    case HostMode::Preview:
    case HostMode::Embedded:
      return RunEmbedded(command);
    case HostMode::Headless:
      return RunHeadless(command, *MakeSaverScene());
    case HostMode::List:
    case HostMode::Export:
    case HostMode::Import:
    case HostMode::Activate:
    case HostMode::Delete:
    case HostMode::Show:
      return RunSettingsCommand(command);
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  HostCommand command = ParseCommandLine(args, std::getenv("XSCREENSAVER_WINDOW"));
  // The registry file follows $LUMOX_REGISTRY; --registry sets it for this
  // process before anything opens the registry.
  if (!command.registryFile.empty()) setenv("LUMOX_REGISTRY", command.registryFile.c_str(), 1);
  try {
    return Run(command);
  } catch (const std::exception& error) {
    // Nothing is meant to throw here; memory for a huge screen may not be
    // there, though, and that deserves a message rather than an abort.
    std::fprintf(stderr, "lumox: %s\n", error.what());
    return 1;
  }
}
