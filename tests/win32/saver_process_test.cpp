// LUMOX.SCR as the system runs it: full screen until a key, seen by the
// sound player in the shared block meanwhile, a second copy that finds the
// first, a preview inside another program's window, the configuration
// dialog, refused command lines, and what the executable carries
// (resources, exports, the saver signature).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "control/sound_share.h"
#include "platform/win32/win32_shared_memory.h"
#include "resources/strings.h"
#include "win32_test_support.h"
// After windows.h, which the support header brings.
#include <commctrl.h>

namespace lumox::testing {
namespace {

constexpr uint32_t kStartMs = 30000;
constexpr uint32_t kEndMs = 15000;
constexpr DWORD kExitRefused = static_cast<DWORD>(-1);

HWND WaitForWindow(const std::function<HWND()>& find) {
  HWND found = nullptr;
  PumpUntil([&] { return (found = find()) != nullptr; }, kStartMs);
  return found;
}

// Waits for the child while answering this thread's messages (a preview's
// parent must keep its queue moving).
bool WaitPumping(ChildProcess& child, DWORD& exitCode) {
  return PumpUntil([&] { return child.Wait(0, exitCode); }, kEndMs);
}

HWND FindFullScreenSaver() { return FindWindowA("WindowsScreenSaverClass", "Screen Saver"); }

TEST(SaverProcess, FullScreenRunShowsInTheSoundBlockEndsOnAKeyAndASecondCopyDefersToIt) {
  // The block as the sound player holds it, under this test program's name
  // (which the saver inherits): the saver counts itself in while it runs.
  Win32SharedMemoryProvider provider;
  auto block = provider.Open(SoundShareName(), kSoundShareSize);
  ASSERT_NE(block, nullptr);
  SoundShare share(block->data());
  ChildProcess saver;
  ASSERT_TRUE(saver.Start(SaverPath(), "/s"));
  HWND window = WaitForWindow(FindFullScreenSaver);
  ASSERT_NE(window, nullptr) << "no saver window appeared";
  EXPECT_TRUE(PumpUntil([&] { return share.U32(share_offset::SaverWindows) == 1; }, kStartMs));
  EXPECT_EQ(share.U16(share_offset::SaverVersionMajor), 3u);

  ChildProcess second;
  ASSERT_TRUE(second.Start(SaverPath(), "-S"));
  DWORD secondExit = 99;
  ASSERT_TRUE(second.Wait(kEndMs, secondExit));
  EXPECT_EQ(secondExit, 0u);
  EXPECT_TRUE(IsWindow(window)) << "the first saver must go on";

  PostMessageA(window, WM_KEYDOWN, 'A', 0);
  DWORD exitCode = 99;
  ASSERT_TRUE(saver.Wait(kEndMs, exitCode)) << "a key must end the saver";
  EXPECT_EQ(exitCode, 0u);
  EXPECT_EQ(share.U32(share_offset::SaverWindows), 0u) << "counted out when it ends";
}

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

TEST(SaverProcess, PreviewRunsInsideAnotherProgramsWindow) {
  WNDCLASSA parentClass{};
  parentClass.lpfnWndProc = ParentProc;
  parentClass.hInstance = GetModuleHandleA(nullptr);
  parentClass.lpszClassName = "LumoxTestMiniature";
  RegisterClassA(&parentClass);
  HWND parent = CreateWindowExA(0, "LumoxTestMiniature", "Miniature", WS_POPUP | WS_VISIBLE, 40,
                                40, 152, 112, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(parent, nullptr);

  ChildProcess saver;
  ASSERT_TRUE(saver.Start(SaverPath(), "/p " + std::to_string(reinterpret_cast<uintptr_t>(parent))));
  HWND preview = WaitForWindow([&] {
    HWND child = FindWindowExA(parent, nullptr, "WindowsScreenSaverClass", "Preview");
    return child && IsWindowVisible(child) ? child : nullptr;
  });
  ASSERT_NE(preview, nullptr) << "no preview child appeared";
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(preview, GWL_STYLE)) & 0xFFFF0000u, 0x52000000u);
  RECT client{};
  GetClientRect(preview, &client);
  EXPECT_EQ(client.right, 152);
  EXPECT_EQ(client.bottom, 112);

  // Input never closes a preview; the system closes it when done.
  PostMessageA(preview, WM_KEYDOWN, 'A', 0);
  DWORD exitCode = 99;
  EXPECT_FALSE(PumpUntil([&] { return saver.Wait(0, exitCode); }, 500));
  PostMessageA(preview, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitPumping(saver, exitCode));
  EXPECT_EQ(exitCode, 0u);
  DestroyWindow(parent);
  UnregisterClassA("LumoxTestMiniature", GetModuleHandleA(nullptr));
}

TEST(SaverProcess, ConfigurationShowsTheSheetOnlyBesideABlockOfItsOwnLayout) {
  // A sound player of version 2.5 holds the block: the caption names it.
  Win32SharedMemoryProvider provider;
  auto block = provider.Open(SoundShareName(), kSoundShareSize);
  ASSERT_NE(block, nullptr);
  SoundShare share(block->data());
  share.SetU32(share_offset::BlockSize, kSoundShareSize);
  share.SetU32(share_offset::LayoutVersion, kSoundShareLayout);
  share.SetU16(share_offset::PlayerVersionMajor, 2);
  share.SetU16(share_offset::PlayerVersionMinor, 5);
  ChildProcess saver;
  ASSERT_TRUE(saver.Start(SaverPath(), "/c:1234"));
  HWND sheet = WaitForWindow([] { return FindWindowA("#32770", "Lumox v3.5.350 w/Auralis v2.5"); });
  ASSERT_NE(sheet, nullptr) << "no configuration sheet appeared";
  HWND tabs = nullptr;
  PumpUntil([&] { return (tabs = PropSheet_GetTabControl(sheet)) != nullptr; }, kStartMs);
  EXPECT_EQ(TabCtrl_GetCurSel(tabs), 15);  // "Main Settings"
  PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
  DWORD exitCode = 99;
  ASSERT_TRUE(saver.Wait(kEndMs, exitCode));
  EXPECT_EQ(exitCode, 0u);

  // A block of another layout: no sheet at all, and the block says why.
  share.SetU32(share_offset::LayoutVersion, kSoundShareLayout + 1);
  ChildProcess refused;
  ASSERT_TRUE(refused.Start(SaverPath(), "/c"));
  ASSERT_TRUE(refused.Wait(kEndMs, exitCode));
  EXPECT_EQ(exitCode, 0u);
  EXPECT_EQ(share.U32(share_offset::LayoutMismatch), 1u);
}

TEST(SaverProcess, UnknownModesAndBadPreviewHandlesExitWithMinusOne) {
  // /a is the Windows 95 family's password change; Wine reports the NT
  // family, where it is refused.
  for (const char* arguments : {"/p 0", "/l 0", "/p 4000000000", "/x", "/a 0"}) {
    ChildProcess saver;
    ASSERT_TRUE(saver.Start(SaverPath(), arguments));
    DWORD exitCode = 99;
    ASSERT_TRUE(saver.Wait(kEndMs, exitCode)) << arguments;
    EXPECT_EQ(exitCode, kExitRefused) << arguments;
  }
  EXPECT_EQ(FindFullScreenSaver(), nullptr);
}

TEST(SaverExecutable, ExportsBothProceduresCarriesItsSignatureAndThePortableStrings) {
  std::ifstream file(LUMOX_SCR_PATH, std::ios::binary);
  const std::vector<char> image{std::istreambuf_iterator<char>(file),
                                std::istreambuf_iterator<char>()};
  const std::string signature = "SCRNSAVE : QR Lumoxic";
  EXPECT_NE(std::search(image.begin(), image.end(), signature.begin(), signature.end()),
            image.end());

  // Mapped as an image but not run, so its exports can be looked up.
  HMODULE saver = LoadLibraryExA(SaverPath().c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  ASSERT_NE(saver, nullptr);
  for (const char* name : {"ScreenSaverProc", "ScreenSaverConfigureDialog"}) {
    EXPECT_NE(reinterpret_cast<void*>(GetProcAddress(saver, name)), nullptr) << name;
  }
  char text[256];
  ASSERT_GT(LoadStringA(saver, 1, text, sizeof(text)), 0);
  EXPECT_STREQ(text, "QR Lumoxic");
  int labels = 0;
  for (int id = 2; id < 1000; ++id) {
    const char* expected = LoadResourceString(id);
    int length = LoadStringA(saver, static_cast<UINT>(id), text, sizeof(text));
    if (*expected == '\0') {
      EXPECT_EQ(length, 0) << "string " << id << " is not in the portable table";
      continue;
    }
    EXPECT_STREQ(text, expected) << "string " << id;
    ++labels;
  }
  EXPECT_GT(labels, 100);
  // Icon group 100, dialog 2003, the manifest.
  for (auto [id, type] : {std::pair{100, 14}, {2003, 5}, {1, 24}}) {
    EXPECT_NE(FindResourceA(saver, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type)), nullptr) << id;
  }
  FreeLibrary(saver);
}

}  // namespace
}  // namespace lumox::testing
