#include "config/config_sheet.h"


#include <algorithm>
#include <array>
#include <memory>

#include "config/file_choosers.h"
#include "config/pages.h"
#include "config_ids.h"
#include "control/sound_link.h"
#include "palette/palette.h"
#include "platform/program_path.h"
#include "saver/module_table.h"
#include "settings/saved_displays.h"
#include "state/saver_state.h"

namespace lumox::win32 {

namespace {

constexpr int kPageCount = 17;
constexpr int kMainPageNumber = 15;

struct PageRecord {
  const char* templateName;
  const char* title;
  int icon;
  DLGPROC procedure;
  LPARAM pageValue;
};

// The sheet's pages in tab order. The Random page (module 11) comes before
// the slide show's (module 10).
const std::array<PageRecord, kPageCount> kPages = {{
    {"DLGBEZIER", "Bezier", IDI_MODULE, ModulePageProc, kBezier},
    {"DLGCYCLIC", "Cyclic", IDI_MODULE, ModulePageProc, kCyclic},
    {"DLGPATTERN", "Pattern", IDI_MODULE, ModulePageProc, kPattern},
    {"DLGPLASMA", "Plasma", IDI_MODULE, ModulePageProc, kPlasma},
    {"DLGPOLY", "Polygon", IDI_MODULE, ModulePageProc, kPolygon},
    {"DLGSPHERE", "Sphere", IDI_MODULE, ModulePageProc, kSphere},
    {"DLGSTAIN", "Stain", IDI_MODULE, ModulePageProc, kStain},
    {"DLGSTAR", "Star", IDI_MODULE, ModulePageProc, kStar},
    {"DLGVORTEX", "Vortex", IDI_MODULE, ModulePageProc, kVortex},
    {"DLGEFFECT", "Effect", IDI_MODULE, ModulePageProc, kEffect},
    {"DLGRANDOM", "Random", IDI_MODULE, ModulePageProc, kRandom},
    {"DLGBITMAP", "Slide Show", IDI_MODULE, ModulePageProc, kBitmap},
    {"DLGPALETTE", "Palette", IDI_PALETTE, PalettePageProc, 0},
    {"DLGCUSTOMPALETTE", "Custom", IDI_CUSTOM_PALETTE, CustomPalettePageProc, 0},
    {"DLGSOUND", "Sound", IDI_SOUND, SoundPageProc, 0},
    {"DLGMAIN", "Main Settings", IDI_MAIN, MainPageProc, 0},
    {"DLGVIDEO", "Display", IDI_DISPLAY, DisplayPageProc, 0},
}};

// The models live from the sheet's start to its end.
struct SheetModels {
  SheetModels(ConfigDialogs& dialogs, std::string saverPath, std::string startDirectory)
      : session(Saver(), dialogs, std::move(saverPath), std::move(startDirectory)),
        main(session),
        modules{{{session, 0}, {session, 1}, {session, 2}, {session, 3}, {session, 4},
                 {session, 5}, {session, 6}, {session, 7}, {session, 8}, {session, 9},
                 {session, 10}, {session, 11}}} {}
  ConfigSession session;
  MainPage main;
  std::array<ModulePage, kModuleCount> modules;
};

CommonDialogs commonDialogs;
ConfigDialogs* scriptedDialogs = nullptr;
std::unique_ptr<SheetModels> models;
bool sheetRan = false;
HWND sheetWindow = nullptr;
HWND mainPageWindow = nullptr;

std::string WindowsDirectory() {
  char path[MAX_PATH] = {};
  const UINT length = GetWindowsDirectoryA(path, MAX_PATH);
  return std::string(path, length < MAX_PATH ? length : 0);
}

// The owner is the hidden dialog 2003, so the sheet would open at its
// corner: it opens in the middle of the work area instead.
void CenterOnWorkArea(HWND sheet) {
  RECT area{};
  RECT window{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  GetWindowRect(sheet, &window);
  const LONG width = window.right - window.left;
  const LONG height = window.bottom - window.top;
  const LONG x = area.left + std::max<LONG>(0, (area.right - area.left - width) / 2);
  const LONG y = area.top + std::max<LONG>(0, (area.bottom - area.top - height) / 2);
  SetWindowPos(sheet, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The sheet window ends a pending test run whenever it is activated again.
LRESULT CALLBACK SheetSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                               UINT_PTR, DWORD_PTR) {
  if (message == WM_SHOWWINDOW && wParam) CenterOnWorkArea(window);
  if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE && models &&
      models->session.EndTestRun() && mainPageWindow) {
    SendMessageA(mainPageWindow, kRefillDisplayList, 0, 0);
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(window, SheetSubclass, 0);
  return DefSubclassProc(window, message, wParam, lParam);
}

int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM) {
  if (message == PSCB_INITIALIZED) {
    sheetWindow = sheet;
    commonDialogs.SetOwner(sheet);
    SetWindowSubclass(sheet, SheetSubclass, 0, 0);
  }
  return 0;
}

void ShowSheet(HWND owner, SoundShare* share) {
  std::array<PROPSHEETPAGEA, kPageCount> pages{};
  for (int i = 0; i < kPageCount; ++i) {
    PROPSHEETPAGEA& page = pages[i];
    page.dwSize = sizeof page;
    page.dwFlags = PSP_USEICONID | PSP_USETITLE;
    page.hInstance = GetModuleHandleA(nullptr);
    page.pszTemplate = kPages[i].templateName;
    page.pszIcon = MAKEINTRESOURCEA(kPages[i].icon);
    page.pszTitle = kPages[i].title;
    page.pfnDlgProc = kPages[i].procedure;
    page.lParam = kPages[i].pageValue;
  }
  const std::string caption = SheetCaption(share->U16(share_offset::PlayerVersionMajor),
                                           share->U16(share_offset::PlayerVersionMinor));
  PROPSHEETHEADERA header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_USEICONID | PSH_NOAPPLYNOW | PSH_USECALLBACK;
  header.hwndParent = owner;
  header.hInstance = GetModuleHandleA(nullptr);
  header.pszIcon = MAKEINTRESOURCEA(IDI_CUSTOM_PALETTE);
  header.pszCaption = caption.c_str();
  header.nPages = kPageCount;
  header.nStartPage = kMainPageNumber;
  header.ppsp = pages.data();
  header.pfnCallback = SheetCallback;

  ConfigSheetShown(share);
  PropertySheetA(&header);
  ConfigSheetClosed(share);
}

}  // namespace

BOOL RunConfigSheet(HWND dialog) {
  if (sheetRan) {
    // Once the sheet has closed, the dialog ends at its next message: the
    // first one may come before the dialog can be ended (while it is still
    // being made), and the sheet shows once per process, so another
    // dialog 2003 would otherwise stay open, hidden, for ever.
    if (!models) EndDialog(dialog, 0);
    return TRUE;
  }
  sheetRan = true;

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);

  SoundShare* share = AttachConfigDialog();
  if (!share) {
    // A block of another layout: the other program is incompatible.
    EndDialog(dialog, 0);
    return FALSE;
  }
  share->SetU16(share_offset::SaverVersionMajor, kSaverVersionMajor);
  share->SetU16(share_offset::SaverVersionMinor, kSaverVersionMinor);

  SaverState& saver = Saver();
  saver.palette = CreatePaletteState(nullptr);
  ConfigDialogs& dialogs = scriptedDialogs ? *scriptedDialogs : commonDialogs;
  models = std::make_unique<SheetModels>(dialogs, ProgramPath(), WindowsDirectory());
  models->session.Begin();
  WriteVersionStamp();
  SetUpModuleTable(saver);

  ShowSheet(dialog, share);

  models->session.EndTestRun();
  models->session.End();
  models.reset();
  sheetWindow = nullptr;
  mainPageWindow = nullptr;
  commonDialogs.SetOwner(nullptr);
  for (ModuleDescriptor& module : saver.table) module.palette = nullptr;
  ReleasePaletteState(saver.palette);
  saver.palette = nullptr;
  EndDialog(dialog, 0);
  DetachConfigDialog(share);
  return FALSE;
}

ConfigSession& Session() { return models->session; }
MainPage& MainModel() { return models->main; }
ModulePage& ModuleModel(int moduleIndex) { return models->modules[moduleIndex]; }

void StorePageValue(HWND page, LPARAM propSheetPage) {
  const auto* record = reinterpret_cast<const PROPSHEETPAGEA*>(propSheetPage);
  SetWindowLongPtrA(page, DWLP_USER, record ? record->lParam : 0);
}

int PageValue(HWND page) { return static_cast<int>(GetWindowLongPtrA(page, DWLP_USER)); }

void SetMainPageWindow(HWND page) { mainPageWindow = page; }

void SetConfigDialogsForTesting(ConfigDialogs* dialogs) { scriptedDialogs = dialogs; }

HWND CurrentConfigSheet() { return sheetWindow; }

}  // namespace lumox::win32
