// The saver window on the real window system: the class and styles, the
// dismissal rules with real messages and the real cursor, hot keys, the
// refused title change, and the presenter.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "gfx/screen.h"
#include "platform/win32/win32_registry.h"
#include "saver/display_mode.h"
#include "state/saver_state.h"
#include "win32_saver_window.h"
#include "win32_test_support.h"

namespace lumox::win32 {
namespace {

using lumox::testing::PumpUntil;

constexpr uint32_t kWaitMs = 10000;

class Win32SaverWindowTest : public ::testing::Test {
 protected:
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
  // Gives the window time to act on what it was sent; true if it is still
  // there afterwards.
  bool StillAliveAfter(uint32_t ms) {
    PumpUntil([this] { return !Alive(); }, ms);
    return Alive();
  }
  bool ClosesWithin(uint32_t ms) { return PumpUntil([this] { return !Alive(); }, ms); }

  void MoveCursorAndTell(int x, int y) {
    SetCursorPos(x, y);
    SendMessageA(window_->hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
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

TEST_F(Win32SaverWindowTest, FullScreenWindowHasTheSaversClassStylesAndTitle) {
  HWND hwnd = Open();
  ASSERT_NE(hwnd, nullptr);
  char text[64] = {};
  GetClassNameA(hwnd, text, sizeof(text));
  EXPECT_STREQ(text, "WindowsScreenSaverClass");
  GetWindowTextA(hwnd, text, sizeof(text));
  EXPECT_STREQ(text, "Screen Saver");
  EXPECT_EQ(GetClassLongPtrA(hwnd, GCL_STYLE), 0x2Bu);
  EXPECT_EQ(GetClassLongPtrA(hwnd, GCLP_HCURSOR), 0u);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE)) & 0xFFFF0000u, 0x96000000u);
  EXPECT_TRUE(GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
  RECT client{};
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(client.bottom, GetSystemMetrics(SM_CYSCREEN));
}

TEST_F(Win32SaverWindowTest, MouseTravelOfFourPixelsIsToleratedAndFiveCloses) {
  ASSERT_NE(Open(), nullptr);
  // Distances count from where the window saw the cursor at creation.
  const CursorPoint start = window_->hostState().lastCursor;
  MoveCursorAndTell(start.x + 2, start.y - 2);  // |2| + |-2| = 4: not more than the threshold
  EXPECT_TRUE(StillAliveAfter(300));
  MoveCursorAndTell(start.x + 3, start.y - 2);  // 5
  EXPECT_TRUE(ClosesWithin(kWaitMs));
}

TEST_F(Win32SaverWindowTest, HotKeysAndDeactivationNeverDismissButOtherKeysDo) {
  HWND hwnd = Open();
  ASSERT_NE(hwnd, nullptr);
  for (WPARAM key : {VK_LEFT, VK_RIGHT, VK_F1, VK_F2, VK_F4, VK_F8}) {
    EXPECT_EQ(SendMessageA(hwnd, WM_KEYDOWN, key, 0), 0) << key;
  }
  SendMessageA(hwnd, WM_ACTIVATEAPP, FALSE, 0);
  SendMessageA(hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_TRUE(StillAliveAfter(300));
  SendMessageA(hwnd, WM_KEYDOWN, 'A', 0);
  EXPECT_TRUE(ClosesWithin(kWaitMs));
}

TEST_F(Win32SaverWindowTest, MouseLockKeepsTheSaverWhateverTheMouseDoes) {
  HWND hwnd = Open();
  ASSERT_NE(hwnd, nullptr);
  const CursorPoint start = window_->hostState().lastCursor;
  SendMessageA(hwnd, WM_KEYDOWN, VK_F9, 0);
  MoveCursorAndTell(start.x + 200, start.y + 150);
  EXPECT_TRUE(StillAliveAfter(300));
  SendMessageA(hwnd, WM_KEYDOWN, VK_F9, 0);
  MoveCursorAndTell(start.x + 10, start.y + 10);
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

  // While the mode is switched a lone mouse jump is not enough, and a close
  // request without user input is ignored.
  const CursorPoint start = window_->hostState().lastCursor;
  MoveCursorAndTell(start.x + 40, start.y + 30);
  PostMessageA(hwnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(StillAliveAfter(300));
  SendMessageA(hwnd, WM_KEYDOWN, 'A', 0);
  EXPECT_TRUE(ClosesWithin(kWaitMs));
}

TEST_F(Win32SaverWindowTest, TheTitleNeverChanges) {
  HWND hwnd = Open();
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(SendMessageA(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Other")), 0);
  char text[64] = {};
  GetWindowTextA(hwnd, text, sizeof(text));
  EXPECT_STREQ(text, "Screen Saver");
}

TEST_F(Win32SaverWindowTest, RendersAndKeepsPresentingWhileTheRenderThreadIsPaused) {
  HWND hwnd = Open();
  ASSERT_NE(hwnd, nullptr);
  // The first paint erases the background, which starts the render thread.
  ASSERT_TRUE(PumpUntil([] { return Saver().frameCounter > 5; }, kWaitMs));
  EXPECT_TRUE(window_->saverWindow().renderStarted);

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
}

TEST_F(Win32SaverWindowTest, PreviewIsAChildOfItsParentAndIgnoresInput) {
  WNDCLASSA parentClass{};
  parentClass.lpfnWndProc = DefWindowProcA;
  parentClass.hInstance = GetModuleHandleA(nullptr);
  parentClass.lpszClassName = "LumoxTestPreviewParent";
  RegisterClassA(&parentClass);
  HWND parent = CreateWindowExA(0, "LumoxTestPreviewParent", "Display Properties",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 240, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(parent, nullptr);
  HWND hwnd = Open(parent);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(GetParent(hwnd), parent);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE)) & 0xFFFF0000u, 0x52000000u);
  char text[64] = {};
  GetWindowTextA(hwnd, text, sizeof(text));
  EXPECT_STREQ(text, "Preview");
  RECT parentClient{}, client{};
  GetClientRect(parent, &parentClient);
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, parentClient.right);
  EXPECT_EQ(client.bottom, parentClient.bottom);

  SendMessageA(hwnd, WM_KEYDOWN, 'A', 0);
  MoveCursorAndTell(250, 200);
  EXPECT_TRUE(StillAliveAfter(300));
  PostMessageA(hwnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(ClosesWithin(kWaitMs));
  window_.reset();
  DestroyWindow(parent);
  UnregisterClassA("LumoxTestPreviewParent", GetModuleHandleA(nullptr));
}

}  // namespace
}  // namespace lumox::win32
