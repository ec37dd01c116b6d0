// The setup wizard's window: three wizard pages over the SetupWizard
// model, and the system calls the model needs from Windows.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace lumox::win32 {

// Whether this program's file is named SETUP.EXE: it then installs itself.
bool RunningAsSetup();

// Shows the wizard and returns when it closes (0).
int RunSetupWizard(HINSTANCE instance);

}  // namespace lumox::win32
