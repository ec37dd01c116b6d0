// The saver copied as SETUP.EXE, run as a child process in the test's
// Wine prefix and driven through its wizard from outside: a bad directory
// first, then a real one; the files and registry values it leaves are
// checked: real copies, and the values the platform writes. (The refusals,
// the roll-back and the full list of values are the setup model's tests.)
#include <gtest/gtest.h>

#include "win32_test_support.h"

#include <commctrl.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "settings/registry_values.h"
#include "setup_ids.h"
#include "window_screenshot.h"

namespace lumox::testing {
namespace {

constexpr const char* kCaption = "Setup for Lumox v3.5.350";
constexpr uint32_t kWaitMs = 20000;

std::string TempPath(const std::string& name) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  return std::string(temp) + name;
}

std::string SystemSaver() {
  char path[MAX_PATH] = {};
  GetSystemDirectoryA(path, MAX_PATH);
  return std::string(path) + "\\LUMOX.SCR";
}

std::string ReadAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string RegText(HKEY root, const std::string& key, const char* name) {
  char text[512] = {};
  DWORD size = sizeof text;
  if (RegGetValueA(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS) return "<none>";
  return text;
}

HWND WaitForWindow(const char* title) {
  HWND window = nullptr;
  PumpUntil([&] { return (window = FindWindowA(nullptr, title)) != nullptr; }, kWaitMs);
  return window;
}

HWND Page(HWND sheet) { return PropSheet_GetCurrentPageHwnd(sheet); }

// The other process paints in its own time.
void Photograph(HWND sheet, const std::string& path) {
  Sleep(700);
  SaveScreenshot(sheet, path);
}

// Posted, not sent: a message box on Next would otherwise block the test.
void PressNext(HWND sheet) { PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0); }

bool WaitForPageWith(HWND sheet, int id) {
  return PumpUntil([&] { return GetDlgItem(Page(sheet), id) != nullptr; }, kWaitMs);
}

// Answers the message box of that caption; false when none came.
bool DismissMessage(const char* caption) {
  HWND box = WaitForWindow(caption);
  if (!box) return false;
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  return PumpUntil([&] { return !IsWindow(box); }, kWaitMs);
}

TEST(SetupWizard, RejectsAFileAsDirectoryThenInstallsFilesAndRegistryValues) {
  const std::string source = TempPath("lumox-setup-source");
  const std::string destination = TempPath("lumox-setup-destination");
  const std::string output = WindowsPath(LUMOX_TEST_OUTPUT_DIR);
  CreateDirectoryA(output.c_str(), nullptr);
  CreateDirectoryA(source.c_str(), nullptr);
  const std::string setup = source + "\\SETUP.EXE";
  ASSERT_TRUE(CopyFileA(SaverPath().c_str(), setup.c_str(), FALSE));
  WriteAll(source + "\\UnInstall.EXE", "uninstaller");
  WriteAll(source + "\\Slogan.TXT", "Colours for everyone");
  DeleteFileA(SystemSaver().c_str());

  {
    ChildProcess run;
    ASSERT_TRUE(run.Start(setup, ""));
    HWND sheet = WaitForWindow(kCaption);
    ASSERT_NE(sheet, nullptr);
    Photograph(sheet, output + "\\setup-1-directory.bmp");
    // A plain file is no directory: the message, and the wizard stays.
    SetDlgItemTextA(Page(sheet), IDC_SETUP_DIRECTORY, setup.c_str());
    PressNext(sheet);
    EXPECT_TRUE(DismissMessage("Invalid directory name!"));
    EXPECT_NE(GetDlgItem(Page(sheet), IDC_SETUP_DIRECTORY), nullptr);

    SetDlgItemTextA(Page(sheet), IDC_SETUP_DIRECTORY, destination.c_str());
    PressNext(sheet);
    ASSERT_TRUE(WaitForPageWith(sheet, IDC_SETUP_PROGRESS));
    HWND options = Page(sheet);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(options, IDC_SETUP_PLAYER)));  // no player installer shipped
    SendDlgItemMessageA(options, IDC_SETUP_LAUNCHER, BM_SETCHECK, BST_UNCHECKED, 0);
    Photograph(sheet, output + "\\setup-2-options.bmp");
    PressNext(sheet);
    ASSERT_TRUE(WaitForPageWith(sheet, IDC_SETUP_TEST_DRIVE));
    Photograph(sheet, output + "\\setup-3-configure.bmp");
    PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    DWORD exitCode = 1;
    EXPECT_TRUE(run.Wait(kWaitMs, exitCode));
  }

  EXPECT_EQ(ReadAll(SystemSaver()), ReadAll(setup));
  EXPECT_EQ(ReadAll(destination + "\\UnInstall.EXE"), "uninstaller");
  EXPECT_EQ(ReadAll(destination + "\\Setup.EXE"), ReadAll(setup));
  const std::string settings = ControlPanelPath(SettingsKey());
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, settings, "LumoxDir"), destination);
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, settings, "Slogan"), "Colours for everyone");
  EXPECT_EQ(RegText(HKEY_CURRENT_USER, "Control Panel\\Desktop", "SCRNSAVE.EXE"), SystemSaver());
  EXPECT_EQ(RegText(HKEY_CLASSES_ROOT, ".LMX", nullptr), "Lumox");

  // The prefix is shared with the other tests: the saver and its values go.
  DeleteFileA(SystemSaver().c_str());
  for (const char* name : {"LumoxDir", "Slogan"}) RegDeleteKeyValueA(HKEY_CURRENT_USER, settings.c_str(), name);
  RegDeleteKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "SCRNSAVE.EXE");
}

}  // namespace
}  // namespace lumox::testing
