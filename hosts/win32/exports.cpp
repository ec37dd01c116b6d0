#include "exports.h"

#include <string>

#include "config/config_sheet.h"
#include "win32_saver_window.h"

extern "C" LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
  lumox::win32::Win32SaverWindow* saver = lumox::win32::Win32SaverWindow::Current();
  if (!saver || saver->hwnd() != window) return DefWindowProcA(window, message, wParam, lParam);
  return saver->RunSaverProc(message, wParam, lParam);
}

// The hidden dialog 2003 runs the configuration sheet on its first message
// and ends; it is never shown.
extern "C" BOOL WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT, WPARAM, LPARAM) {
  return lumox::win32::RunConfigSheet(dialog);
}

namespace lumox::win32 {

int RunConfigureDialog(HINSTANCE instance, HWND owner) {
  return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(kConfigureDialogId), owner,
                                          reinterpret_cast<DLGPROC>(
                                              reinterpret_cast<void (*)()>(&ScreenSaverConfigureDialog)),
                                          0));
}

}  // namespace lumox::win32
