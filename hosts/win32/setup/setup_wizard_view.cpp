#include "setup/setup_wizard_view.h"

#include <commctrl.h>
#include <shlobj.h>

#include <array>
#include <memory>
#include <string>

#include "config/file_choosers.h"
#include "config/setup_wizard.h"
#include "platform/program_path.h"
#include "setup_ids.h"

namespace lumox::win32 {

namespace {

constexpr int kIconGroup = 100;
constexpr int kPageCount = 3;
constexpr DWORD kLauncherPollMs = 100;
// A launcher that does not close within this time is left running.
constexpr DWORD kLauncherWaitMs = 10000;

std::string Text(UINT(WINAPI* get)(LPSTR, UINT)) {
  char text[MAX_PATH] = {};
  const UINT length = get(text, MAX_PATH);
  return std::string(text, length < MAX_PATH ? length : 0);
}

UINT WINAPI CurrentDirectory(LPSTR text, UINT size) { return GetCurrentDirectoryA(size, text); }

class Win32SetupHost final : public SetupHost {
 public:
  std::optional<FileVersion> VersionOf(const std::string& path) override {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0) return std::nullopt;
    std::string data(size, '\0');
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (!GetFileVersionInfoA(path.c_str(), 0, size, data.data()) ||
        !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &infoSize) || !info) {
      return std::nullopt;
    }
    return FileVersion{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                       HIWORD(info->dwFileVersionLS)};
  }

  std::string FolderPath(ShellFolder folder) override {
    char path[MAX_PATH] = {};
    const int id = folder == ShellFolder::kDesktop ? CSIDL_DESKTOPDIRECTORY : CSIDL_STARTUP;
    return SUCCEEDED(SHGetFolderPathA(nullptr, id, nullptr, 0, path)) ? path : "";
  }

  void CloseLaunchers() override {
    std::array<HWND, 5> windows = {
        FindWindowA(nullptr, "Kestrun"), FindWindowA(nullptr, "Kestrun V1.5"),
        FindWindowA(nullptr, "Kestrun V2.5"), FindWindowA(nullptr, "Lumox 2.5 / Kestrun"),
        FindWindowA("Kestrun v3.0", nullptr)};
    for (HWND window : windows) {
      if (window) PostMessageA(window, WM_CLOSE, 0, 0);
    }
    for (HWND window : windows) {
      for (DWORD waited = 0; window && IsWindow(window) && waited < kLauncherWaitMs; waited += kLauncherPollMs) {
        Sleep(kLauncherPollMs);
      }
    }
  }

  void SelectScreenSaver(const std::string& saverPath) override {
    WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", saverPath.c_str(), "SYSTEM.INI");
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, SPIF_UPDATEINIFILE);
  }

  void ShellChanged(const std::string& folder) override {
    if (folder.empty()) {
      SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSH, nullptr, nullptr);
    } else {
      SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_PATHA, folder.c_str(), nullptr);
    }
  }
};

struct Setup {
  Setup()
      : wizard(host, dialogs,
               {ProgramPath(), Text(CurrentDirectory), Text(GetSystemDirectoryA),
                Text(GetWindowsDirectoryA)}) {}
  Win32SetupHost host;
  CommonDialogs dialogs;
  SetupWizard wizard;
};
std::unique_ptr<Setup> setup;

int PageNumber(HWND page) { return static_cast<int>(GetWindowLongPtrA(page, DWLP_USER)); }

bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

void Browse(HWND page) {
  BROWSEINFOA request{};
  request.hwndOwner = GetParent(page);
  request.lpszTitle = "Select Destination Directory";
  request.ulFlags = BIF_RETURNONLYFSDIRS;
  LPITEMIDLIST chosen = SHBrowseForFolderA(&request);
  if (!chosen) return;
  char path[MAX_PATH] = {};
  if (SHGetPathFromIDListA(chosen, path)) SetDlgItemTextA(page, IDC_SETUP_DIRECTORY, path);
  CoTaskMemFree(chosen);
}

void Activate(HWND page) {
  HWND sheet = GetParent(page);
  setup->dialogs.SetOwner(sheet);
  const int number = PageNumber(page);
  PropSheet_SetWizButtons(sheet, number == kPageCount - 1 ? PSWIZB_FINISH : PSWIZB_NEXT);
  if (number == 0) {
    SetDlgItemTextA(page, IDC_SETUP_DIRECTORY, setup->wizard.ProposedDirectory().c_str());
  } else if (number == 1) {
    CheckDlgButton(page, IDC_SETUP_SCREEN_SAVER, BST_CHECKED);
    CheckDlgButton(page, IDC_SETUP_LAUNCHER, BST_CHECKED);
    CheckDlgButton(page, IDC_SETUP_DESKTOP_UTILITY, BST_UNCHECKED);
    CheckDlgButton(page, IDC_SETUP_DESKTOP_SETTINGS, BST_UNCHECKED);
    const bool player = setup->wizard.PlayerInstallerPresent();
    CheckDlgButton(page, IDC_SETUP_PLAYER, player ? BST_CHECKED : BST_UNCHECKED);
    ShowWindow(GetDlgItem(page, IDC_SETUP_PLAYER), player ? SW_SHOW : SW_HIDE);
  }
}

bool Install(HWND page) {
  InstallOptions options;
  options.screenSaver = Checked(page, IDC_SETUP_SCREEN_SAVER);
  options.launcher = Checked(page, IDC_SETUP_LAUNCHER);
  options.desktopUtility = Checked(page, IDC_SETUP_DESKTOP_UTILITY);
  options.desktopSettings = Checked(page, IDC_SETUP_DESKTOP_SETTINGS);
  options.player = Checked(page, IDC_SETUP_PLAYER);
  HWND bar = GetDlgItem(page, IDC_SETUP_PROGRESS);
  SendMessageA(bar, PBM_SETRANGE32, 0, 100);
  HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  const bool installed = setup->wizard.Install(options, [&](int position) {
    SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    UpdateWindow(GetParent(page));
  });
  SetCursor(previous);
  return installed;
}

// Next: the page's work; false keeps the wizard on the page.
bool Next(HWND page) {
  if (PageNumber(page) == 0) {
    char typed[MAX_PATH] = {};
    GetDlgItemTextA(page, IDC_SETUP_DIRECTORY, typed, MAX_PATH);
    return setup->wizard.ChooseDirectory(typed);
  }
  return PageNumber(page) != 1 || Install(page);
}

void Command(HWND page, int id) {
  switch (id) {
    case IDC_SETUP_BROWSE: Browse(page); break;
    case IDC_SETUP_CONFIGURE: setup->wizard.OpenDisplaySettings(); break;
    case IDC_SETUP_TEST_DRIVE: setup->wizard.TestDrive(); break;
    default: break;
  }
}

INT_PTR CALLBACK SetupPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<const PROPSHEETPAGEA*>(lParam)->lParam);
      SendDlgItemMessageA(page, IDC_SETUP_DIRECTORY, EM_LIMITTEXT, MAX_PATH - 1, 0);
      return TRUE;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) Command(page, LOWORD(wParam));
      return TRUE;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->code == PSN_SETACTIVE) {
        Activate(page);
        SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
        return TRUE;
      }
      if (header->code == PSN_WIZNEXT) {
        SetWindowLongPtrA(page, DWLP_MSGRESULT, Next(page) ? 0 : -1);
        return TRUE;
      }
      return FALSE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

bool RunningAsSetup() { return IsSetupProgram(ProgramPath()); }

int RunSetupWizard(HINSTANCE instance) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  setup = std::make_unique<Setup>();

  constexpr std::array<const char*, kPageCount> kTemplates = {"DLGDIRECTORY", "DLGINSTALL", "DLGCONFIGURE"};
  const std::string caption = SetupCaption();
  std::array<PROPSHEETPAGEA, kPageCount> pages{};
  for (int i = 0; i < kPageCount; ++i) {
    PROPSHEETPAGEA& page = pages[i];
    page.dwSize = sizeof page;
    // A wizard shows its page's title as its caption: every page carries
    // the wizard's.
    page.dwFlags = PSP_USETITLE;
    page.pszTitle = caption.c_str();
    page.hInstance = instance;
    page.pszTemplate = kTemplates[i];
    page.pfnDlgProc = SetupPageProc;
    page.lParam = i;
  }
  PROPSHEETHEADERA header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD | PSH_NOAPPLYNOW | PSH_USEICONID;
  header.hInstance = instance;
  header.pszIcon = MAKEINTRESOURCEA(kIconGroup);
  header.pszCaption = caption.c_str();
  header.nPages = kPageCount;
  header.ppsp = pages.data();
  PropertySheetA(&header);
  setup.reset();
  return 0;
}

}  // namespace lumox::win32
