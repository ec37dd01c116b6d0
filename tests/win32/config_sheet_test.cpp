// The configuration sheet as a user meets it, driven from inside its own
// modal loop: a thread timer takes one step of the walk per tick, with the
// real registry of the test's Wine prefix, scripted file choosers and a
// recording system (no saver is started). The walk opens every page once,
// photographs it into the test output directory for a person to look at,
// and works the controls of the pages that have their own code.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "config/config_fixture.h"
#include "config/config_sheet.h"
#include "config/custom_palette.h"
#include "config/pal_file.h"
#include "config_ids.h"
#include "exports.h"
#include "modules/module_catalog.h"
#include "platform/recording_system.h"
#include "resources/strings.h"
#include "settings/registry_values.h"
#include "settings/saved_displays.h"
#include "settings/settings_file.h"
#include "state/saver_state.h"
#include "sheet_walk.h"
#include "win32_test_support.h"
#include "window_screenshot.h"

namespace lumox {
namespace {

using testing::SaveScreenshot;
using testing::Click;
using testing::CurrentPage;
using testing::Notify;
using win32::CurrentConfigSheet;

constexpr const char* kDisplay = "Wine Sheet Test";
constexpr int kPalettePage = 12;
constexpr int kCustomPage = 13;
constexpr int kSoundPage = 14;
constexpr int kMainPage = 15;
constexpr int kDisplayPage = 16;
constexpr int kTickMs = 100;
constexpr int kMaxTicks = 1200;

std::string OutputDir() { return testing::WindowsPath(LUMOX_TEST_OUTPUT_DIR); }
PaletteState& Palette() { return *Saver().palette; }

std::string Text(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}
std::string Text(HWND page, int id) { return Text(GetDlgItem(page, id)); }

// A mouse click on one half of an arrows control: the right (or lower)
// half when `farHalf`.
void ClickArrows(HWND arrows, bool horizontal, bool farHalf) {
  RECT area{};
  GetClientRect(arrows, &area);
  const int x = horizontal ? (farHalf ? area.right * 3 / 4 : area.right / 4) : area.right / 2;
  const int y = horizontal ? area.bottom / 2 : (farHalf ? area.bottom * 3 / 4 : area.bottom / 4);
  SendMessageA(arrows, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  SendMessageA(arrows, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

bool DisplayStored(const std::string& name) {
  return RegistryKeyExists(ControlPanelPath(DisplayKey(name))) != 0;
}

void HoldCtrl(bool down) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}

// A trackbar dragged to `position`, as its owner hears it.
void Drag(HWND page, int id, int position) {
  HWND trackbar = GetDlgItem(page, id);
  SendMessageA(trackbar, TBM_SETPOS, TRUE, position);
  SendMessageA(page, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, position), reinterpret_cast<LPARAM>(trackbar));
}

// The centre of a custom palette entry's cell in the grid's client area.
POINT CellCentre(HWND grid, int entry) {
  RECT client{};
  GetClientRect(grid, &client);
  const GridRect cell = GridCell(entry, client.right, client.bottom);
  return {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
}

// Press on one entry, drag to another, release.
void SelectEntries(HWND page, int first, int last) {
  HWND grid = GetDlgItem(page, IDC_PALETTE_GRID);
  const POINT from = CellCentre(grid, first);
  const POINT to = CellCentre(grid, last);
  SendMessageA(grid, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
  SendMessageA(grid, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
  SendMessageA(grid, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
}

void SetEntry(int entry, uint8_t red, uint8_t green, uint8_t blue) {
  Palette().custom[entry].Set({red, green, blue});
}

gfx::Rgb Entry(int entry) { return Palette().custom[entry].Color(); }

COLORREF ScreenPixel(HWND window, POINT at) {
  HDC dc = GetDC(window);
  const COLORREF pixel = GetPixel(dc, at.x, at.y);
  ReleaseDC(window, dc);
  return pixel;
}

// The first control of a module as its table defines it.
const ControlRow& FirstRow(int module) { return GetModuleDefinition(module).controls.front(); }

// The walk, one step per tick.
class SheetWalk : public testing::SheetWalk {
 public:
  SheetWalk(testing::ScriptedDialogs& dialogs, RecordingSystemServices& system)
      : testing::SheetWalk(kMaxTicks), dialogs_(dialogs), system_(system) {
    Add([this](HWND sheet) {
      EXPECT_EQ(Text(sheet), "Lumox v3.5.350");
      HWND tabs = PropSheet_GetTabControl(sheet);
      EXPECT_EQ(TabCtrl_GetItemCount(tabs), 17);
      EXPECT_EQ(TabCtrl_GetCurSel(tabs), kMainPage);
      EXPECT_NE(GetDlgItem(CurrentPage(), IDC_SAVED_DISPLAYS), nullptr);
      // Before the pages are first shown: Colour Frequency from Random (the
      // palette preview must not draw into the page's settings) and an
      // incompatible player for the Sound page to find.
      PaletteSettings& settings = Palette().settings;
      PaletteValue& density = settings.values[kDensity][kRed];
      density.Source = kSourceRandom;
      density.RangeLo = settings.limits[kDensity].Minimum;
      density.RangeHi = settings.limits[kDensity].Maximum;
      density_ = density.Value;
      HKEY key = nullptr;
      RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Auralis", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
      const DWORD version = 3 * 65536 + 1;
      RegSetValueExA(key, "Current Version", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&version), sizeof version);
      RegCloseKey(key);
    });
    for (int page = 0; page < 17; ++page) WalkPage(page);
    PalettePage();
    CustomPage();
    SoundPage();
    DisplayPage();
    TurnStarPages();
    ChangeCyclicRow();
    SaveExportDeleteImport();
    PreviewAndReturn();
    Add([](HWND sheet) { PropSheet_PressButton(sheet, PSBTN_OK); });
  }

 private:
  // Shows a page; the next step works it once the page has drawn.
  void Show(int number) {
    Add([number](HWND sheet) { PropSheet_SetCurSel(sheet, nullptr, number); });
  }

  void WalkPage(int number) {
    Show(number);
    Add([number](HWND sheet) {
      HWND page = CurrentPage();
      char title[64] = {};
      TCITEMA tab{TCIF_TEXT, 0, 0, title, sizeof title, 0, 0};
      TabCtrl_GetItem(PropSheet_GetTabControl(sheet), number, &tab);
      char name[96];
      std::snprintf(name, sizeof name, "\\page-%02d-%s.bmp", number, title);
      EXPECT_TRUE(SaveScreenshot(sheet, OutputDir() + name)) << title;
      if (number >= 12) return;
      // Module pages: the module's own texts and a labelled row per control.
      const int module = number == 10 ? kRandom : number == 11 ? kBitmap : number;
      EXPECT_EQ(Text(page, IDC_MODULE_GROUP),
                std::string(" Current settings for the ") + kModuleNames[module] + " module: ");
      for (const ControlRow& row : GetModuleDefinition(module).controls) {
        EXPECT_EQ(Text(page, IDC_ROW_LABEL + row.index), LoadResourceString(row.labelId))
            << title << " " << row.index;
      }
      const bool secondPage = GetModuleDefinition(module).controls.back().index >= 10;
      EXPECT_EQ(IsWindowVisible(GetDlgItem(page, IDC_PAGE_TEXT)) != 0, secondPage) << title;
    });
  }

  // Star's controls from the eleventh on are on its second page of rows:
  // the right arrow shows them, the left one the first page again.
  void TurnStarPages() {
    Show(kStar);
    Add([](HWND) {
      HWND page = CurrentPage();
      ClickArrows(GetDlgItem(page, IDC_PAGE_ARROWS), true, true);
      EXPECT_EQ(Text(page, IDC_PAGE_TEXT), "Page 2 of 2");
      EXPECT_TRUE(IsWindowVisible(GetDlgItem(page, IDC_ROW_LABEL + 10)));
      EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, IDC_ROW_LABEL)));
      EXPECT_TRUE(SaveScreenshot(CurrentConfigSheet(), OutputDir() + "\\page-07-Star-2.bmp"));
      ClickArrows(GetDlgItem(page, IDC_PAGE_ARROWS), true, false);
      EXPECT_EQ(Text(page, IDC_PAGE_TEXT), "Page 1 of 2");
      EXPECT_TRUE(IsWindowVisible(GetDlgItem(page, IDC_ROW_LABEL)));
    });
  }

  // Cyclic: Random replaces the value by the range, the sense arrows step
  // it, a typed value beyond the limits is held to the maximum.
  void ChangeCyclicRow() {
    Show(kCyclic);
    Add([](HWND) {
      HWND page = CurrentPage();
      const ControlRow& row = FirstRow(kCyclic);
      const int source = IDC_ROW_SOURCE + row.index;
      SendDlgItemMessageA(page, source, CB_SETCURSEL, kSourceRandom, 0);
      Notify(page, source, CBN_SELCHANGE);
      EXPECT_TRUE(IsWindowVisible(GetDlgItem(page, IDC_ROW_RANGE_LO_TRACKBAR + row.index)));
      EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, IDC_ROW_VALUE_TRACKBAR + row.index)));
      // The sense starts at 10: up stays there, down goes to 9.
      HWND sense = GetDlgItem(page, IDC_ROW_SENSE_ARROWS + row.index);
      ClickArrows(sense, false, false);
      EXPECT_EQ(Text(page, IDC_ROW_SENSE_BOX + row.index), "10");
      ClickArrows(sense, false, true);
      EXPECT_EQ(Text(page, IDC_ROW_SENSE_BOX + row.index), "9");
      EXPECT_EQ(Saver().table[kCyclic].controls[row.index].Sense, 9);

      const int box = IDC_ROW_VALUE_BOX + row.index;
      SetDlgItemTextA(page, box, "99999999");
      Notify(page, box, EN_KILLFOCUS);
      BOOL read = FALSE;
      EXPECT_EQ(static_cast<int>(GetDlgItemInt(page, box, &read, TRUE)), row.maximum);
      EXPECT_EQ(SendDlgItemMessageA(page, IDC_ROW_VALUE_TRACKBAR + row.index, TBM_GETPOS, 0, 0),
                row.maximum);
    });
  }

  void SaveExportDeleteImport() {
    Show(kMainPage);
    Add([](HWND) {
      HWND page = CurrentPage();
      CheckDlgButton(page, IDC_CYCLIC, BST_CHECKED);
      Notify(page, IDC_CYCLIC, BN_CLICKED);
      EXPECT_EQ(Text(page, IDC_SAVED_DISPLAYS), kScratchDisplay);
      SetDlgItemTextA(page, IDC_SAVED_DISPLAYS, kDisplay);
      Click(page, IDC_SAVE_SELECTION);
      EXPECT_EQ(ReadActiveName(), kDisplay);
      int32_t value = 0;
      const ControlRow& row = FirstRow(kCyclic);
      EXPECT_TRUE(ReadInt32(ControlValueName(ControlField::Value, row.index),
                            ModuleKey(kDisplay, "Cyclic"), value));
      EXPECT_EQ(value, row.maximum);
    });
    Add([this](HWND) {
      dialogs_.answers.push_back({ExportPath()});
      Click(CurrentPage(), IDC_EXPORT);
      std::ifstream file(ExportPath(), std::ios::binary);
      char magic[4] = {};
      file.read(magic, 4);
      EXPECT_EQ(std::string(magic, 4), std::string("\0B\0B", 4));
    });
    Add([](HWND) {
      HWND page = CurrentPage();
      Click(page, IDC_DELETE_SELECTION);
      EXPECT_FALSE(DisplayStored(kDisplay));
      EXPECT_EQ(SendDlgItemMessageA(page, IDC_SAVED_DISPLAYS, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(kDisplay)),
                CB_ERR);
    });
    Add([this](HWND) {
      dialogs_.answers.push_back({ExportPath()});
      Click(CurrentPage(), IDC_IMPORT);
      EXPECT_TRUE(DisplayStored(kDisplay));
      EXPECT_EQ(ReadActiveName(), kDisplay);
      EXPECT_EQ(Text(CurrentPage(), IDC_SAVED_DISPLAYS), kDisplay);
      EXPECT_EQ(IsDlgButtonChecked(CurrentPage(), IDC_CYCLIC), BST_CHECKED);
      EXPECT_TRUE(dialogs_.messages.empty());
      // No guide lies beside the test program: Help says where it belongs.
      Click(CurrentPage(), IDC_HELP_BUTTON);
      ASSERT_EQ(dialogs_.messages.size(), 1u);
      EXPECT_NE(dialogs_.messages.front().find("lumox-guide.html"), std::string::npos);
    });
  }

  void PreviewAndReturn() {
    Add([](HWND sheet) {
      Click(CurrentPage(), IDC_PREVIEW);
      EXPECT_TRUE(DisplayStored(kTestingDisplay));
      EXPECT_EQ(ReadActiveName(), kTestingDisplay);
      SendMessageA(sheet, WM_ACTIVATE, WA_ACTIVE, 0);
      EXPECT_FALSE(DisplayStored(kTestingDisplay));
      EXPECT_EQ(ReadActiveName(), kDisplay);
    });
  }

  void PalettePage() {
    Show(kPalettePage);
    Add([this](HWND) {
      HWND page = CurrentPage();
      PaletteSettings& settings = Palette().settings;
      EXPECT_EQ(settings.values[kDensity][kRed].Value, density_);
      // The preview animates: its columns show more than one colour.
      HWND preview = GetDlgItem(page, IDC_PALETTE_PREVIEW);
      RECT area{};
      GetClientRect(preview, &area);
      std::set<COLORREF> seen;
      for (int x = area.right / 8; x < area.right * 7 / 8; x += 3) {
        seen.insert(ScreenPixel(preview, {x, area.bottom / 2}));
      }
      EXPECT_GT(seen.size(), 4u);

      // Green shown: a trackbar moves green alone; with CTRL all three
      // channels take all three positions of the row.
      Click(page, IDC_CHANNEL_GREEN);
      const int32_t red = settings.values[kScale][kRed].Value;
      Drag(page, IDC_ROW_VALUE_TRACKBAR + kScale, 40);
      EXPECT_EQ(settings.values[kScale][kGreen].Value, 40);
      EXPECT_EQ(settings.values[kScale][kRed].Value, red);
      EXPECT_EQ(Text(page, IDC_ROW_VALUE_BOX + kScale), "40");
      HoldCtrl(true);
      Drag(page, IDC_ROW_VALUE_TRACKBAR + kScale, 60);
      for (int channel : {kRed, kGreen, kBlue}) EXPECT_EQ(settings.values[kScale][channel].Value, 60);
      // CTRL and Custom: every channel's effect, shown for any channel.
      CheckDlgButton(page, IDC_EFFECT_CUSTOM, BST_CHECKED);
      Notify(page, IDC_EFFECT_CUSTOM, BN_CLICKED);
      HoldCtrl(false);
      Click(page, IDC_CHANNEL_BLUE);
      EXPECT_EQ(IsDlgButtonChecked(page, IDC_EFFECT_CUSTOM), BST_CHECKED);
      for (int channel : {kRed, kGreen, kBlue}) EXPECT_EQ(settings.Effect[channel], kEffectCustom);

      // Duration: a typed 500 is held to its maximum of 300; only "Set"
      // and "Random" are offered.
      const int box = IDC_ROW_VALUE_BOX + kSeconds;
      SetDlgItemTextA(page, box, "500");
      Notify(page, box, EN_KILLFOCUS);
      EXPECT_EQ(Text(page, box), "300");
      EXPECT_EQ(SendDlgItemMessageA(page, IDC_ROW_VALUE_TRACKBAR + kSeconds, TBM_GETPOS, 0, 0), 300);
      EXPECT_EQ(SendDlgItemMessageA(page, IDC_ROW_SOURCE + kSeconds, CB_GETCOUNT, 0, 0), 2);
      // A source other than Set shows the range in place of the value.
      SendDlgItemMessageA(page, IDC_ROW_SOURCE + kSeconds, CB_SETCURSEL, kSourceRandom, 0);
      Notify(page, IDC_ROW_SOURCE + kSeconds, CBN_SELCHANGE);
      EXPECT_TRUE(IsWindowVisible(GetDlgItem(page, IDC_ROW_RANGE_HI_TRACKBAR + kSeconds)));
      EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, IDC_ROW_VALUE_TRACKBAR + kSeconds)));
      EXPECT_EQ(settings.values[kSeconds][kBlue].Source, kSourceRandom);
      EXPECT_TRUE(win32::Session().modified());
    });
  }

  void CustomPage() {
    Show(kCustomPage);
    Add([](HWND) {
      HWND page = CurrentPage();
      // The grid shows each entry's own colour through the page's palette.
      SetEntry(10, 200, 0, 100);
      SetEntry(20, 0, 100, 200);
      SelectEntries(page, 10, 20);
      HWND grid = GetDlgItem(page, IDC_PALETTE_GRID);
      UpdateWindow(grid);
      EXPECT_EQ(ScreenPixel(grid, CellCentre(grid, 10)), RGB(200, 0, 100));
      EXPECT_EQ(ScreenPixel(grid, CellCentre(grid, 20)), RGB(0, 100, 200));

      // Gradient over 10..20: a linear blend.
      Click(page, IDC_OP_GRADIENT);
      EXPECT_EQ(Entry(15), (gfx::Rgb{100, 50, 150}));

      // Green masked: Negative inverts red and blue only.
      Click(page, IDC_CHANNEL_GREEN);
      EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_LEVEL_GREEN)));
      Click(page, IDC_OP_NEGATIVE);
      EXPECT_EQ(Entry(10), (gfx::Rgb{55, 0, 155}));
      Click(page, IDC_CHANNEL_GREEN);

      // Two neighbours: Gradient is off.
      SelectEntries(page, 30, 31);
      EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_OP_GRADIENT)));
      // One entry: the red trackbar sets its red.
      SelectEntries(page, 5, 5);
      Drag(page, IDC_LEVEL_RED, 77);
      EXPECT_EQ(Entry(5).red, 77);
    });
    Add([this](HWND) {
      HWND page = CurrentPage();
      // Export, spoil, import: the exported colours come back.
      const std::string path = OutputDir() + "\\exported.PAL";
      const CustomPalette exported = Palette().custom;
      dialogs_.answers.push_back({path});
      Click(page, IDC_PAL_EXPORT);
      std::ifstream file(path, std::ios::binary | std::ios::ate);
      EXPECT_EQ(static_cast<size_t>(file.tellg()), kPalFileSize);
      SelectEntries(page, 0, 235);
      Click(page, IDC_OP_NEGATIVE);
      dialogs_.answers.push_back({path});
      Click(page, IDC_PAL_IMPORT);
      for (int i = 0; i < kPaletteEntries; ++i) EXPECT_EQ(Entry(i), exported[i].Color()) << i;

      // A file without the magic only beeps.
      const std::string bad = OutputDir() + "\\not-a-palette.PAL";
      std::ofstream(bad, std::ios::binary) << std::string(kPalFileSize, '\x42');
      const int beeps = system_.beeps();
      dialogs_.answers.push_back({bad});
      Click(page, IDC_PAL_IMPORT);
      EXPECT_EQ(system_.beeps(), beeps + 1);
      EXPECT_EQ(Entry(7), exported[7].Color());
    });
  }

  void SoundPage() {
    Show(kSoundPage);
    Add([](HWND sheet) {
      HWND page = CurrentPage();
      EXPECT_NE(Text(page, IDC_PLAYER_STATUS).find("version 3.1 of Auralis"), std::string::npos);
      RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Auralis");
      const int32_t showInfo = Saver().options.ShowInfo;
      Click(page, IDC_SHOW_CD_INFO);
      // Leaving the page writes the boxes into the options.
      PropSheet_SetCurSel(sheet, nullptr, kDisplayPage);
      EXPECT_EQ(Saver().options.ShowInfo, showInfo ? 0 : 1);
      PropSheet_SetCurSel(sheet, nullptr, kSoundPage);
      EXPECT_NE(Text(CurrentPage(), IDC_PLAYER_STATUS).find("has not been installed"), std::string::npos);
      EXPECT_EQ(IsDlgButtonChecked(CurrentPage(), IDC_SHOW_CD_INFO), showInfo ? BST_UNCHECKED : BST_CHECKED);
    });
  }

  void DisplayPage() {
    Show(kDisplayPage);
    Add([](HWND) {
      HWND page = CurrentPage();
      DEVMODEA first{};
      first.dmSize = sizeof first;
      ASSERT_TRUE(EnumDisplaySettingsA(nullptr, 0, &first));
      DEVMODEA mode = first;
      DWORD count = 0;
      while (EnumDisplaySettingsA(nullptr, count, &mode)) ++count;
      EXPECT_EQ(SendDlgItemMessageA(page, IDC_MODE_LIST, LB_GETCOUNT, 0, 0), static_cast<LRESULT>(count));

      // Set stores the selected (first) mode as 156 bytes.
      Click(page, IDC_MODE_SET);
      BYTE stored[200] = {};
      DWORD size = sizeof stored;
      const std::string key = ControlPanelPath(SettingsKey());
      ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, key.c_str(), "DisplayMode", RRF_RT_REG_BINARY, nullptr, stored, &size),
                ERROR_SUCCESS);
      EXPECT_EQ(size, 156u);
      DEVMODEA read{};
      std::memcpy(&read, stored, sizeof read);
      EXPECT_EQ(read.dmPelsWidth, first.dmPelsWidth);
      EXPECT_EQ(read.dmBitsPerPel, first.dmBitsPerPel);
      char listed[256] = {};
      SendDlgItemMessageA(page, IDC_MODE_LIST, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(listed));
      EXPECT_EQ(Text(page, IDC_RUN_MODE), listed);
      // Clear removes it.
      Click(page, IDC_MODE_CLEAR);
      EXPECT_EQ(Text(page, IDC_RUN_MODE), "Default");
      EXPECT_NE(RegGetValueA(HKEY_CURRENT_USER, key.c_str(), "DisplayMode", RRF_RT_ANY, nullptr, nullptr, nullptr),
                ERROR_SUCCESS);
    });
  }

  static std::string ExportPath() { return OutputDir() + "\\" + kDisplay + ".LMX"; }

  testing::ScriptedDialogs& dialogs_;
  RecordingSystemServices& system_;
  int32_t density_ = 0;
};

TEST(ConfigSheet, AUserWalksEveryPageWorksItsControlsSavesExportsImportsDeletesAndPreviews) {
  CreateDirectoryA(OutputDir().c_str(), nullptr);
  DeleteDisplay(kDisplay);
  RecordingSystemServices system;
  InstallSystemServices(&system);
  testing::ScriptedDialogs dialogs;
  win32::SetConfigDialogsForTesting(&dialogs);
  SheetWalk steps(dialogs, system);
  steps.Run(kTickMs);
  EXPECT_TRUE(steps.finished());
  EXPECT_EQ(system.launches().size(), 1u);
  EXPECT_NE(system.launches().front().find(" /S"), std::string::npos);
  int32_t speed = -1;
  EXPECT_TRUE(ReadInt32("Speed", SettingsKey(), speed));
  // The sheet runs once per process: a second dialog ends at once.
  win32::RunConfigureDialog(GetModuleHandleA(nullptr), nullptr);
  EXPECT_EQ(CurrentConfigSheet(), nullptr);
  DeleteDisplay(kDisplay);
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Auralis");
  win32::SetConfigDialogsForTesting(nullptr);
  InstallSystemServices(nullptr);
}

}  // namespace
}  // namespace lumox
