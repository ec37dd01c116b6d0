// "Display": the system's video modes in a list, bound to the page's
// DisplayPage model, and the system calls behind it (mode enumeration,
// mode changes, the restart).

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "config/config_sheet.h"
#include "config/display_page.h"
#include "config/pages.h"
#include "config/user_guide.h"
#include "config_ids.h"

namespace lumox::win32 {

namespace {

static_assert(sizeof(DEVMODEA) == kDisplayModeSize, "the stored mode is a whole DEVMODEA");

DEVMODEA ToDevMode(const DisplayModeRecord& mode) {
  DEVMODEA devMode{};
  std::memcpy(&devMode, mode.bytes.data(), sizeof devMode);
  devMode.dmSize = sizeof devMode;
  devMode.dmDriverExtra = 0;
  return devMode;
}

ModeChangeResult ChangeResult(LONG answer) {
  if (answer == DISP_CHANGE_SUCCESSFUL) return ModeChangeResult::kSuccessful;
  if (answer == DISP_CHANGE_RESTART) return ModeChangeResult::kRestartRequired;
  return ModeChangeResult::kFailed;
}

class Win32DisplayModes final : public DisplayModes {
 public:
  bool EnumerateMode(int index, DisplayModeRecord& mode) override {
    DEVMODEA devMode{};
    devMode.dmSize = sizeof devMode;
    if (!EnumDisplaySettingsA(nullptr, static_cast<DWORD>(index), &devMode)) return false;
    devMode.dmDriverExtra = 0;
    std::memcpy(mode.bytes.data(), &devMode, sizeof devMode);
    return true;
  }
  ModeChangeResult TestMode(const DisplayModeRecord& mode) override {
    DEVMODEA devMode = ToDevMode(mode);
    return ChangeResult(ChangeDisplaySettingsA(&devMode, CDS_TEST));
  }
  ModeChangeResult ChangeMode(const DisplayModeRecord& mode, bool recordAsDesktop) override {
    DEVMODEA devMode = ToDevMode(mode);
    return ChangeResult(ChangeDisplaySettingsA(&devMode, recordAsDesktop ? CDS_UPDATEREGISTRY : 0));
  }
  void RestoreDesktopMode() override { ChangeDisplaySettingsA(nullptr, 0); }
  std::optional<DisplayModeRecord> CurrentSettings() override {
    DisplayModeRecord mode;
    DEVMODEA devMode{};
    devMode.dmSize = sizeof devMode;
    if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &devMode)) return std::nullopt;
    std::memcpy(mode.bytes.data(), &devMode, sizeof devMode);
    return mode;
  }
  ScreenFormat CurrentScreen() override {
    HDC screen = GetDC(nullptr);
    const ScreenFormat format{
        static_cast<uint32_t>(GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES)),
        GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, VERTRES)};
    ReleaseDC(nullptr, screen);
    return format;
  }
  bool Restart() override {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
      return Failed("OpenProcessTokenError %lu");
    }
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    const DWORD adjusted = GetLastError();
    CloseHandle(token);
    if (adjusted != ERROR_SUCCESS) return Failed("AdjustTokenPrivileges Error %lu");
    if (!ExitWindowsEx(EWX_REBOOT, 0)) return Failed("ExitWindowsEx Error %lu");
    return true;
  }

 private:
  static bool Failed(const char* format) {
    char text[64];
    std::snprintf(text, sizeof text, format, GetLastError());
    Session().dialogs().ShowMessage("Error", text, MessageIcon::kError);
    return false;
  }
};

class Win32SheetWindow final : public SheetWindow {
 public:
  explicit Win32SheetWindow(HWND page) : page_(page) {}
  void Hide() override { ShowWindow(GetParent(page_), SW_HIDE); }
  void Show() override { ShowWindow(GetParent(page_), SW_SHOW); }
  void Wait(int milliseconds) override { Sleep(static_cast<DWORD>(milliseconds)); }
  void PressCancel() override { PropSheet_PressButton(GetParent(page_), PSBTN_CANCEL); }

 private:
  HWND page_;
};

struct DisplayView {
  explicit DisplayView(HWND page) : sheet(page), model(modes, Session().dialogs(), sheet) {}
  Win32DisplayModes modes;
  Win32SheetWindow sheet;
  DisplayPage model;
};
std::unique_ptr<DisplayView> view;

void ShowTexts(HWND page) {
  SetDlgItemTextA(page, IDC_CURRENT_MODE, view->model.CurrentModeText().c_str());
  SetDlgItemTextA(page, IDC_RUN_MODE, view->model.RunModeText().c_str());
}

void Initialise(HWND page, LPARAM lParam) {
  StorePageValue(page, lParam);
  view = std::make_unique<DisplayView>(page);
  view->model.Initialize();
  HWND list = GetDlgItem(page, IDC_MODE_LIST);
  for (const ListedMode& mode : view->model.Modes()) {
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(mode.text.c_str()));
  }
  SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(view->model.Selected()), 0);
  ShowTexts(page);
}

void Command(HWND page, int id, int code) {
  DisplayPage& model = view->model;
  if (id == IDC_MODE_LIST) {
    if (code == LBN_SELCHANGE) {
      model.Select(static_cast<int>(SendDlgItemMessageA(page, id, LB_GETCURSEL, 0, 0)));
    }
    return;
  }
  if (code != BN_CLICKED) return;
  switch (id) {
    case IDC_MODE_SET: model.Set(); break;
    case IDC_MODE_CLEAR: model.Clear(); break;
    case IDC_MODE_TEST: model.Test(); break;
    case IDC_MODE_USE: model.Use(); break;
    case IDC_HELP_BUTTON: OpenUserGuide(kDisplayGuideSection); return;
    default: return;
  }
  ShowTexts(page);
}

}  // namespace

INT_PTR CALLBACK DisplayPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      Initialise(page, lParam);
      return TRUE;
    case WM_DESTROY:
      view.reset();
      return FALSE;
    case WM_DISPLAYCHANGE:
      view->model.DisplayChanged({static_cast<uint32_t>(wParam), LOWORD(lParam), HIWORD(lParam)});
      ShowTexts(page);
      return TRUE;
    case WM_COMMAND:
      Command(page, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace lumox::win32
