// The two functions the executable exports by name, as every screen saver
// does: the saver window's own procedure and the configuration dialog's
// procedure. Plain C names, undecorated on every architecture.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

extern "C" {
__declspec(dllexport) LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam,
                                                     LPARAM lParam);
__declspec(dllexport) BOOL WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message,
                                                             WPARAM wParam, LPARAM lParam);
}

namespace lumox::win32 {

// The configuration dialog template and its text.
constexpr int kConfigureDialogId = 2003;
constexpr int kConfigureTextId = 2004;

// Configuration (/c or no argument): the modal dialog 2003 owned by `owner`.
int RunConfigureDialog(HINSTANCE instance, HWND owner);

}  // namespace lumox::win32
