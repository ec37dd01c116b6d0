// The Palette, Custom, Sound and Display pages driven with messages from
// inside the sheet's modal loop (one step per timer tick), with the real
// registry of the test's Wine prefix, scripted file choosers and a
// recording system. Each page is photographed into the test output
// directory.
#include <gtest/gtest.h>

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
#include "platform/recording_system.h"
#include "settings/registry_values.h"
#include "state/saver_state.h"
#include "sheet_walk.h"
#include "win32_test_support.h"
#include "window_screenshot.h"

namespace lumox {
namespace {

using testing::Click;
using testing::CurrentPage;
using testing::Notify;
using win32::CurrentConfigSheet;

constexpr int kPalettePage = 12;
constexpr int kCustomPage = 13;
constexpr int kSoundPage = 14;
constexpr int kDisplayPage = 16;
constexpr int kTickMs = 100;
constexpr int kMaxTicks = 600;

std::string OutputDir() { return testing::WindowsPath(LUMOX_TEST_OUTPUT_DIR); }
PaletteState& Palette() { return *Saver().palette; }

std::string Text(HWND page, int id) {
  char text[512] = {};
  GetDlgItemTextA(page, id, text, sizeof text);
  return text;
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

class PageWalk : public testing::SheetWalk {
 public:
  PageWalk(testing::ScriptedDialogs& dialogs, RecordingSystemServices& system)
      : SheetWalk(kMaxTicks), dialogs_(dialogs), system_(system) {
    PalettePage();
    CustomPage();
    SoundPage();
    DisplayPage();
    Add([](HWND sheet) { PropSheet_PressButton(sheet, PSBTN_OK); });
  }

 private:
  void Open(int number, const char* name) {
    Add([number](HWND sheet) { PropSheet_SetCurSel(sheet, nullptr, number); });
    Add([name](HWND sheet) {
      EXPECT_TRUE(testing::SaveScreenshot(sheet, OutputDir() + "\\" + name + ".bmp")) << name;
    });
  }

  void PalettePage() {
    // Colour Frequency from Random: the animated preview must not draw
    // into the page's settings.
    Add([this](HWND) {
      PaletteSettings& settings = Palette().settings;
      PaletteValue& density = settings.values[kDensity][kRed];
      density.Source = kSourceRandom;
      density.RangeLo = settings.limits[kDensity].Minimum;
      density.RangeHi = settings.limits[kDensity].Maximum;
      density_ = density.Value;
    });
    Open(kPalettePage, "palette");
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
      for (int channel : {kRed, kGreen, kBlue}) {
        EXPECT_EQ(settings.values[kScale][channel].Value, 60);
        EXPECT_EQ(settings.values[kScale][channel].RangeLo, settings.values[kScale][kGreen].RangeLo);
      }
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
      EXPECT_EQ(settings.values[kSeconds][kBlue].Value, 300);
      EXPECT_EQ(SendDlgItemMessageA(page, IDC_ROW_SOURCE + kSeconds, CB_GETCOUNT, 0, 0), 2);
      // A source other than Set shows the range in place of the value.
      SendDlgItemMessageA(page, IDC_ROW_SOURCE + kSeconds, CB_SETCURSEL, kSourceRandom, 0);
      Notify(page, IDC_ROW_SOURCE + kSeconds, CBN_SELCHANGE);
      EXPECT_TRUE(IsWindowVisible(GetDlgItem(page, IDC_ROW_RANGE_HI_TRACKBAR + kSeconds)));
      EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, IDC_ROW_VALUE_TRACKBAR + kSeconds)));
      EXPECT_EQ(settings.values[kSeconds][kBlue].Source, kSourceRandom);
      EXPECT_EQ(settings.values[kSeconds][kRed].Source, kSourceSet);
      EXPECT_TRUE(win32::Session().modified());
    });
    Add([](HWND sheet) { testing::SaveScreenshot(sheet, OutputDir() + "\\palette-changed.bmp"); });
  }

  void CustomPage() {
    Open(kCustomPage, "custom-palette");
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

      // Gradient over 10..20: a linear blend, entry 20 kept.
      Click(page, IDC_OP_GRADIENT);
      EXPECT_EQ(Entry(15), (gfx::Rgb{100, 50, 150}));
      EXPECT_EQ(Entry(20), (gfx::Rgb{0, 100, 200}));

      // Green masked: Negative inverts red and blue only.
      Click(page, IDC_CHANNEL_GREEN);
      EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_LEVEL_GREEN)));
      Click(page, IDC_OP_NEGATIVE);
      EXPECT_EQ(Entry(10), (gfx::Rgb{55, 0, 155}));
      Click(page, IDC_CHANNEL_GREEN);

      // Two neighbours: Reverse and Gradient are off.
      SelectEntries(page, 30, 31);
      EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_OP_REVERSE)));
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
    Add([](HWND) {
      // An incompatible player, found when the page is shown.
      HKEY key = nullptr;
      RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Auralis", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
      const DWORD version = 3 * 65536 + 1;
      RegSetValueExA(key, "Current Version", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&version), sizeof version);
      RegCloseKey(key);
    });
    Open(kSoundPage, "sound");
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
    Open(kDisplayPage, "display");
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
      // Clear removes it; a second Clear changes nothing.
      Click(page, IDC_MODE_CLEAR);
      EXPECT_EQ(Text(page, IDC_RUN_MODE), "Default");
      EXPECT_NE(RegGetValueA(HKEY_CURRENT_USER, key.c_str(), "DisplayMode", RRF_RT_ANY, nullptr, nullptr, nullptr),
                ERROR_SUCCESS);
      Click(page, IDC_MODE_CLEAR);
      EXPECT_EQ(Text(page, IDC_RUN_MODE), "Default");
    });
  }

  testing::ScriptedDialogs& dialogs_;
  RecordingSystemServices& system_;
  int32_t density_ = 0;
};

TEST(ConfigPages, PaletteCustomSoundAndDisplayPagesWorkFromTheirControls) {
  CreateDirectoryA(OutputDir().c_str(), nullptr);
  RecordingSystemServices system;
  InstallSystemServices(&system);
  testing::ScriptedDialogs dialogs;
  win32::SetConfigDialogsForTesting(&dialogs);
  PageWalk steps(dialogs, system);
  steps.Run(kTickMs);
  EXPECT_TRUE(steps.finished());
  EXPECT_TRUE(dialogs.messages.empty());
  win32::SetConfigDialogsForTesting(nullptr);
  InstallSystemServices(nullptr);
}

}  // namespace
}  // namespace lumox
