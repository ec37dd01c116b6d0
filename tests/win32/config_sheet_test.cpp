// The configuration sheet as a user meets it, driven from inside its own
// modal loop: a thread timer takes one step of the walk per tick, with the
// real registry of the test's Wine prefix, scripted file choosers and a
// recording system (no saver is started). Each page is photographed into
// the test output directory for a person to look at.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "config/config_fixture.h"
#include "config/config_sheet.h"
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
constexpr int kMainPage = 15;
constexpr int kTickMs = 100;
constexpr int kMaxTicks = 1200;

std::string OutputDir() { return testing::WindowsPath(LUMOX_TEST_OUTPUT_DIR); }


std::string Text(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

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

// The first control of a module as its table defines it.
const ControlRow& FirstRow(int module) { return GetModuleDefinition(module).controls.front(); }

// The walk, one step per tick.
class SheetWalk : public testing::SheetWalk {
 public:
  explicit SheetWalk(testing::ScriptedDialogs& dialogs) : testing::SheetWalk(kMaxTicks), dialogs_(dialogs) {
    Add([](HWND sheet) {
      EXPECT_EQ(Text(sheet), "Lumox v3.5.350");
      HWND tabs = PropSheet_GetTabControl(sheet);
      EXPECT_EQ(TabCtrl_GetItemCount(tabs), 17);
      EXPECT_EQ(TabCtrl_GetCurSel(tabs), kMainPage);
      EXPECT_NE(GetDlgItem(CurrentPage(), IDC_SAVED_DISPLAYS), nullptr);
    });
    for (int page = 0; page < 17; ++page) WalkPage(page);
    TurnStarPages();
    ChangeCyclicRow();
    SaveExportDeleteImport();
    PreviewAndReturn();
    Add([](HWND sheet) { PropSheet_PressButton(sheet, PSBTN_OK); });
  }

 private:
  void WalkPage(int number) {
    Add([number](HWND sheet) { PropSheet_SetCurSel(sheet, nullptr, number); });
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
      EXPECT_EQ(Text(GetDlgItem(page, IDC_MODULE_GROUP)),
                std::string(" Current settings for the ") + kModuleNames[module] + " module: ");
      for (const ControlRow& row : GetModuleDefinition(module).controls) {
        EXPECT_EQ(Text(GetDlgItem(page, IDC_ROW_LABEL + row.index)), LoadResourceString(row.labelId))
            << title << " " << row.index;
      }
      const bool secondPage = GetModuleDefinition(module).controls.back().index >= 10;
      EXPECT_EQ(IsWindowVisible(GetDlgItem(page, IDC_PAGE_TEXT)) != 0, secondPage) << title;
    });
  }

  // Star's controls from the eleventh on are on its second page of rows:
  // the right arrow shows them, the left one the first page again.
  void TurnStarPages() {
    Add([](HWND sheet) { PropSheet_SetCurSel(sheet, nullptr, kStar); });
    Add([](HWND) {
      HWND page = CurrentPage();
      ClickArrows(GetDlgItem(page, IDC_PAGE_ARROWS), true, true);
      EXPECT_EQ(Text(GetDlgItem(page, IDC_PAGE_TEXT)), "Page 2 of 2");
      EXPECT_TRUE(IsWindowVisible(GetDlgItem(page, IDC_ROW_LABEL + 10)));
      EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, IDC_ROW_LABEL)));
      EXPECT_TRUE(SaveScreenshot(CurrentConfigSheet(), OutputDir() + "\\page-07-Star-2.bmp"));
      ClickArrows(GetDlgItem(page, IDC_PAGE_ARROWS), true, false);
      EXPECT_EQ(Text(GetDlgItem(page, IDC_PAGE_TEXT)), "Page 1 of 2");
      EXPECT_TRUE(IsWindowVisible(GetDlgItem(page, IDC_ROW_LABEL)));
    });
  }

  // Cyclic: Random replaces the value by the range, Set brings it back,
  // a typed value beyond the limits is held to the maximum.
  void ChangeCyclicRow() {
    Add([](HWND sheet) { PropSheet_SetCurSel(sheet, nullptr, kCyclic); });
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
      EXPECT_EQ(Text(GetDlgItem(page, IDC_ROW_SENSE_BOX + row.index)), "10");
      ClickArrows(sense, false, true);
      EXPECT_EQ(Text(GetDlgItem(page, IDC_ROW_SENSE_BOX + row.index)), "9");
      EXPECT_EQ(Saver().table[kCyclic].controls[row.index].Sense, 9);
      SendDlgItemMessageA(page, source, CB_SETCURSEL, kSourceSet, 0);
      Notify(page, source, CBN_SELCHANGE);
      EXPECT_TRUE(IsWindowVisible(GetDlgItem(page, IDC_ROW_VALUE_TRACKBAR + row.index)));

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
    Add([](HWND sheet) { PropSheet_SetCurSel(sheet, nullptr, kMainPage); });
    Add([](HWND) {
      HWND page = CurrentPage();
      CheckDlgButton(page, IDC_CYCLIC, BST_CHECKED);
      Notify(page, IDC_CYCLIC, BN_CLICKED);
      EXPECT_EQ(Text(GetDlgItem(page, IDC_SAVED_DISPLAYS)), kScratchDisplay);
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
      EXPECT_EQ(Text(GetDlgItem(CurrentPage(), IDC_SAVED_DISPLAYS)), kDisplay);
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

  static std::string ExportPath() { return OutputDir() + "\\" + kDisplay + ".LMX"; }

  testing::ScriptedDialogs& dialogs_;
};

TEST(ConfigSheet, AUserWalksEveryPageSavesExportsImportsDeletesAndPreviews) {
  CreateDirectoryA(OutputDir().c_str(), nullptr);
  DeleteDisplay(kDisplay);
  RecordingSystemServices system;
  InstallSystemServices(&system);
  testing::ScriptedDialogs dialogs;
  win32::SetConfigDialogsForTesting(&dialogs);
  SheetWalk steps(dialogs);
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
  win32::SetConfigDialogsForTesting(nullptr);
  InstallSystemServices(nullptr);
}

}  // namespace
}  // namespace lumox
