#include "saver_main.h"

#include <string>

#include "exports.h"
#include "password_hooks.h"
#include "saver/command_line.h"
#include "setup/setup_wizard_view.h"
#include "win32_saver_window.h"

namespace lumox::win32 {

namespace {

bool family95 = false;

// A fault that escapes the saver main must not leave the system believing
// a protected saver still runs (the task-switch keys would stay off).
LONG WINAPI SwitchSaverRunningOff(EXCEPTION_POINTERS*) {
  if (family95) SystemParametersInfoA(kSpiScreenSaverRunning, 0, nullptr, 0);
  return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

int SaverMain(HINSTANCE instance, std::string_view arguments) {
  family95 = IsWindows95Family();
  SetUnhandledExceptionFilter(&SwitchSaverRunningOff);

  SaverMode mode = DispatchSaverMode(arguments, family95);
  switch (mode.kind) {
    case SaverModeKind::Configure:
      // The saver shipped as SETUP.EXE installs itself.
      if (RunningAsSetup()) return RunSetupWizard(instance);
      return RunConfigureDialog(
          instance, mode.owner == ConfigureOwner::Foreground ? GetForegroundWindow() : nullptr);
    case SaverModeKind::ChangePassword:
      return ChangePassword(mode.passwordArguments);
    case SaverModeKind::Preview:
    case SaverModeKind::FullScreen: {
      SaverWindowOptions options;
      options.instance = instance;
      options.family95 = family95;
      options.commandLine = GetCommandLineA();
      if (mode.kind == SaverModeKind::Preview) {
        options.parent = reinterpret_cast<HWND>(mode.parentWindow);
        if (!IsWindow(options.parent)) return -1;
      }
      return RunSaverWindow(options);
    }
    case SaverModeKind::Exit:
      break;
  }
  return mode.exitCode;
}

}  // namespace lumox::win32
