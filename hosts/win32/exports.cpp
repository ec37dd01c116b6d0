#include "exports.h"

#include <string>

#include "settings/registry_values.h"
#include "win32_saver_window.h"

extern "C" LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
  lumox::win32::Win32SaverWindow* saver = lumox::win32::Win32SaverWindow::Current();
  if (!saver || saver->hwnd() != window) return DefWindowProcA(window, message, wParam, lParam);
  return saver->RunSaverProc(message, wParam, lParam);
}

// Until the configuration property sheet exists, the dialog says where the
// settings live.
extern "C" BOOL WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam,
                                                  LPARAM) {
  switch (message) {
    case WM_INITDIALOG: {
      std::string text =
          "The settings of this screen saver are kept in the registry under\r\n"
          "HKEY_CURRENT_USER\\Control Panel\\" +
          lumox::SettingsKey() + ".";
      SetDlgItemTextA(dialog, lumox::win32::kConfigureTextId, text.c_str());
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

namespace lumox::win32 {

int RunConfigureDialog(HINSTANCE instance, HWND owner) {
  return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(kConfigureDialogId), owner,
                                          reinterpret_cast<DLGPROC>(
                                              reinterpret_cast<void (*)()>(&ScreenSaverConfigureDialog)),
                                          0));
}

}  // namespace lumox::win32
