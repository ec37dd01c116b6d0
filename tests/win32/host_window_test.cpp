// The full-screen saver window on the real window system: the class and
// styles, the dismissal rules with real messages and the real cursor, the
// stored display mode, the render thread and the presenter. The preview
// window is tested in its own process (saver_process_test.cpp).
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <string>

#include "gfx/screen.h"
#include "platform/win32/win32_registry.h"
#include "refresh_pacer.h"
#include "state/saver_state.h"
#include "win32_saver_window.h"
#include "win32_test_support.h"

namespace lumox::win32 {
namespace {

using lumox::testing::PumpUntil;

constexpr uint32_t kWaitMs = 10000;

std::string Text(HWND hwnd) {
  char text[64] = {};
  GetWindowTextA(hwnd, text, sizeof(text));
  return text;
}

class Win32SaverWindowTest : public ::testing::Test {
 public:
  // Creates the window with the cursor parked at (100, 100).
  HWND Open(HWND parent = nullptr) {
    SetCursorPos(100, 100);
    PumpUntil([] { return false; }, 50);
    SaverWindowOptions options;
    options.instance = GetModuleHandleA(nullptr);
    options.parent = parent;
    options.commandLine = "LUMOX.SCR /s";
    window_ = std::make_unique<Win32SaverWindow>(options);
    return window_->Create();
  }
  bool Alive() const { return window_ && IsWindow(window_->hwnd()); }
  // True if the window is still there after `ms` of acting on its messages.
  bool StillAliveAfter(uint32_t ms) {
    PumpUntil([this] { return !Alive(); }, ms);
    return Alive();
  }
  bool ClosesWithin(uint32_t ms) { return PumpUntil([this] { return !Alive(); }, ms); }
  // Moves the cursor by (dx, dy) from where the window saw it at creation.
  void MoveBy(int dx, int dy) {
    const CursorPoint start = window_->hostState().lastCursor;
    SetCursorPos(start.x + dx, start.y + dy);
    SendMessageA(window_->hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(start.x + dx, start.y + dy));
  }
  void TearDown() override {
    window_.reset();
    // The quit message the window posted must not end the next test's pump.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  std::unique_ptr<Win32SaverWindow> window_;
};

TEST_F(Win32SaverWindowTest, FullScreenWindowHasTheSaversClassAndStylesAndEndsOnMovementOnly) {
  HWND hwnd = Open();
  ASSERT_NE(hwnd, nullptr);
  char name[64] = {};
  GetClassNameA(hwnd, name, sizeof(name));
  EXPECT_STREQ(name, "WindowsScreenSaverClass");
  EXPECT_EQ(GetClassLongPtrA(hwnd, GCL_STYLE), 0x2Bu);
  EXPECT_EQ(GetClassLongPtrA(hwnd, GCLP_HCURSOR), 0u);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE)) & 0xFFFF0000u, 0x96000000u);
  EXPECT_TRUE(GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
  RECT client{};
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(client.bottom, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Other")), 0);
  EXPECT_EQ(Text(hwnd), "Screen Saver");
  // Hot keys and deactivation never dismiss; with the real cursor, four
  // pixels of movement are not enough and five are.
  for (WPARAM key : {VK_LEFT, VK_F2, VK_F8}) SendMessageA(hwnd, WM_KEYDOWN, key, 0);
  SendMessageA(hwnd, WM_ACTIVATEAPP, FALSE, 0);
  MoveBy(2, -2);
  EXPECT_TRUE(StillAliveAfter(300));
  MoveBy(3, -2);
  EXPECT_TRUE(ClosesWithin(kWaitMs));
}

// The stored display mode, removed again when the test ends.
class StoredDisplayMode {
 public:
  explicit StoredDisplayMode(const DEVMODEA& mode) {
    registry_.CreateKey(RegRoot::CurrentUser, kKey);
    stored_ = registry_.WriteValue(RegRoot::CurrentUser, kKey, "DisplayMode", kRegBinary, &mode,
                                   sizeof(mode));
  }
  ~StoredDisplayMode() { registry_.DeleteValue(RegRoot::CurrentUser, kKey, "DisplayMode"); }
  bool stored() const { return stored_; }

 private:
  static constexpr const char* kKey = "Control Panel\\Screen Saver.Lumox";
  Win32Registry registry_;
  bool stored_ = false;
};

TEST_F(Win32SaverWindowTest, StoredDisplayModeIsSwitchedToAndOnlyRealInputEndsTheRun) {
  DEVMODEA current{};
  current.dmSize = sizeof(current);
  ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &current));
  current.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
  StoredDisplayMode stored(current);
  ASSERT_TRUE(stored.stored());
  HWND hwnd = Open();
  ASSERT_NE(hwnd, nullptr);
  ASSERT_TRUE(window_->saverWindow().modeSwitched) << "the system refused its own current mode";
  RECT client{};
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, static_cast<LONG>(current.dmPelsWidth));
  EXPECT_EQ(client.bottom, static_cast<LONG>(current.dmPelsHeight));
  // A lone mouse jump is not enough, and a close without input is ignored.
  MoveBy(40, 30);
  PostMessageA(hwnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(StillAliveAfter(300));
  SendMessageA(hwnd, WM_KEYDOWN, 'A', 0);
  EXPECT_TRUE(ClosesWithin(kWaitMs));
}

TEST_F(Win32SaverWindowTest, RendersAtTheWindowsSizeAndKeepsPresentingWhilePaused) {
  HWND hwnd = Open();
  ASSERT_NE(hwnd, nullptr);
  // The first paint erases the background, which starts the render thread.
  ASSERT_TRUE(PumpUntil([] { return Saver().frameCounter > 5; }, kWaitMs));
  RECT client{};
  GetClientRect(hwnd, &client);
  EXPECT_EQ(window_->screen().width(), client.right);
  EXPECT_EQ(window_->screen().height(), client.bottom);
  // The "Priority" option sets the process's class.
  EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(Saver().options.Priority));

  SendMessageA(hwnd, WM_KEYDOWN, VK_F6, 0);  // pause drawing; the palette goes on
  uint32_t presented = window_->presentedFrames();
  EXPECT_TRUE(PumpUntil([&] { return window_->presentedFrames() >= presented + 5; }, kWaitMs));
  // What the window shows is the core's screen through its palette.
  gfx::Surface frame = window_->screen().PublishedFrame();
  HDC dc = GetDC(hwnd);
  int compared = 0, matching = 0;
  for (int y = 7; y < frame.height(); y += 97) {
    for (int x = 5; x < frame.width(); x += 89) {
      gfx::Rgb expected = window_->screen().Entry(frame.row(y)[x]);
      COLORREF shown = GetPixel(dc, x, y);
      ++compared;
      matching += GetRValue(shown) == expected.red && GetGValue(shown) == expected.green &&
                  GetBValue(shown) == expected.blue;
    }
  }
  ReleaseDC(hwnd, dc);
  // The palette may move between the present and the read-back; most
  // samples must still agree.
  EXPECT_GT(matching * 2, compared) << matching << " of " << compared;
  SendMessageA(hwnd, WM_KEYDOWN, VK_F6, 0);
  SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
}

// A power-setting notice as the system sends it: the setting and its DWORD.
void SendDisplayState(HWND hwnd, const GUID& setting, DWORD state) {
  alignas(POWERBROADCAST_SETTING) unsigned char notice[sizeof(POWERBROADCAST_SETTING) + 4] = {};
  auto* header = reinterpret_cast<POWERBROADCAST_SETTING*>(notice);
  header->PowerSetting = setting;
  header->DataLength = sizeof state;
  std::memcpy(header->Data, &state, sizeof state);
  SendMessageA(hwnd, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(notice));
}

TEST_F(Win32SaverWindowTest, PresentsNothingWhileTheDisplayIsPoweredDown) {
  // GUID_CONSOLE_DISPLAY_STATE and GUID_MONITOR_POWER_ON.
  constexpr GUID kConsoleDisplayState = {
      0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
  constexpr GUID kMonitorPowerOn = {
      0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};
  HWND hwnd = Open();
  ASSERT_NE(hwnd, nullptr);
  ASSERT_TRUE(PumpUntil([] { return Saver().frameCounter > 5; }, kWaitMs));
  SendMessageA(hwnd, WM_KEYDOWN, VK_F6, 0);  // only the palette moves: a present every refresh
  for (const GUID& setting : {kConsoleDisplayState, kMonitorPowerOn}) {
    SendDisplayState(hwnd, setting, 0);
    PumpUntil([] { return false; }, 50);  // a present already on its way
    const uint32_t dark = window_->presentedFrames();
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(window_->presentedFrames(), dark);
    SendDisplayState(hwnd, setting, 2);  // dimmed is still seen
    EXPECT_TRUE(PumpUntil([&] { return window_->presentedFrames() >= dark + 5; }, kWaitMs));
  }
  SendMessageA(hwnd, WM_KEYDOWN, VK_F6, 0);
  SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
}

TEST_F(Win32SaverWindowTest, FollowsTheDisplaysNewSize) {
  HWND hwnd = Open();
  ASSERT_NE(hwnd, nullptr);
  ASSERT_TRUE(PumpUntil([] { return Saver().frameCounter > 5; }, kWaitMs));
  SendMessageA(hwnd, WM_DISPLAYCHANGE, 32, MAKELPARAM(640, 400));
  RECT client{};
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, 640);
  EXPECT_EQ(client.bottom, 400);
  // The run starts again on a screen of that size and goes on drawing.
  EXPECT_EQ(window_->screen().width(), 640);
  EXPECT_EQ(window_->screen().height(), 400);
  Saver().frameCounter = 0;
  EXPECT_TRUE(PumpUntil([] { return Saver().frameCounter > 5; }, kWaitMs));
  const uint32_t presented = window_->presentedFrames();
  EXPECT_TRUE(PumpUntil([&] { return window_->presentedFrames() >= presented + 5; }, kWaitMs));
  SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
}

TEST(RefreshPacerTest, AFrameWithYieldsEndsNoSoonerThanTheirSleepAndServesThemOnce) {
  RefreshPacer pacer(100);  // 10 ms refreshes
  pacer.FrameDone(0);
  pacer.YieldFor(60);
  pacer.YieldFor(60);
  auto start = std::chrono::steady_clock::now();
  pacer.FrameDone(0);
  // 120 ms of yields; a sleep here may end a millisecond or so early.
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(110));
  start = std::chrono::steady_clock::now();
  pacer.FrameDone(0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
}

}  // namespace
}  // namespace lumox::win32
