// The saver window on the real Win32 window system.
//
// The class "WindowsScreenSaverClass" runs the shared window logic
// (HostWindowProc, ScreenSaverProc, HostDefaultProc in saver/) on real
// messages and answers what that logic asks of the window with Win32 calls.
// The window shows the core's 8-bit screen: a timer at the display's refresh
// converts the latest published frame through the latest palette and
// stretches it onto the client area, so palette animation shows even while
// the render thread is idle. Nothing is converted while the window is
// minimised or covered, or the display is powered down; a new display size
// starts the run afresh at that size.
//
// One saver window per process: the exported ScreenSaverProc finds it
// through a process-wide pointer.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "password_hooks.h"
#include "presenter.h"
#include "saver/host_window.h"
#include "saver/render_thread.h"
#include "saver/runtime_services.h"
#include "saver/saver_window.h"

namespace lumox::win32 {

constexpr const char* kSaverClassName = "WindowsScreenSaverClass";
constexpr const char* kFullScreenTitle = "Screen Saver";
constexpr const char* kPreviewTitle = "Preview";
constexpr UINT kSaverClassStyle = CS_OWNDC | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;  // 0x2B
constexpr DWORD kPreviewStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;          // 0x52000000
constexpr DWORD kFullScreenStyle =
    WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;  // 0x96000000
constexpr int kSaverIconId = 100;
// The timer that presents the screen once per display refresh.
constexpr UINT_PTR kPresentTimerId = 0x4C4D;

struct SaverWindowOptions {
  HINSTANCE instance = nullptr;
  // The preview parent; null for the full-screen window.
  HWND parent = nullptr;
  bool family95 = false;
  // The process's whole command line (its third word is a settings file).
  std::string commandLine;
  RuntimeServices services = DefaultRuntimeServices();
};

class Win32SaverWindow final : public HostWindow, public SaverWindowHost {
 public:
  explicit Win32SaverWindow(SaverWindowOptions options);
  ~Win32SaverWindow() override;
  Win32SaverWindow(const Win32SaverWindow&) = delete;
  Win32SaverWindow& operator=(const Win32SaverWindow&) = delete;

  // Registers the class and creates the window. Null when the class or the
  // window could not be made (the logic refuses a window whose shared block
  // does not open).
  HWND Create();
  HWND hwnd() const { return hwnd_; }
  const HostState& hostState() const { return hostState_; }
  // The password check of the Windows 95 family (none: the saver closes
  // freely).
  void SetPasswordCheck(std::function<bool()> verify) {
    hostState_.verifyPassword = std::move(verify);
  }
  const SaverWindow& saverWindow() const { return saverWindow_; }
  const gfx::Screen& screen() const { return *screen_; }
  // Frames the presenter has shown.
  uint32_t presentedFrames() const { return presenter_.presentedFrames(); }

  // The window procedure's body (the class procedure forwards here).
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // The saver's own procedure on this window (the exported ScreenSaverProc).
  LRESULT RunSaverProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The window the exported ScreenSaverProc works on; null when none.
  static Win32SaverWindow* Current();

  // HostWindow.
  LResult SaverProc(uint32_t message, WParam wParam, LParam lParam) override;
  LResult SystemDefaultProc(uint32_t message, WParam wParam, LParam lParam) override;
  void PostClose() override;
  void PostQuit(int exitCode) override;
  void HideCursor() override;
  CursorPoint CursorPosition() override;
  void RemoveTimerMessages(int count) override;
  void PostToParent(uint32_t message, LParam lParam) override;
  void YieldTimeSlice() override { Sleep(0); }
  void DetachInputContext() override;
  void RestoreInputContext() override;

  // SaverWindowHost.
  LResult DefaultProc(uint32_t message, WParam wParam, LParam lParam) override;
  WindowSize ClientSize() override;
  WindowSize ScreenSize() override;
  bool TestDisplayMode(const DisplayModeRecord& mode) override;
  bool ChangeDisplayMode(const DisplayModeRecord& mode) override;
  void RestoreDisplayMode() override;
  void ResizeWindow(int32_t width, int32_t height) override;
  void BringToForeground() override;
  bool StartRenderThread(SoundShare* share, WindowSize clientSize) override;
  bool WaitRenderThread(uint32_t timeoutMs) override {
    return !renderAbandoned_ && renderThread_.Join(timeoutMs);
  }

 private:
  void Present(HDC dc);
  // A new display size: ends the render thread and starts it again on a
  // screen of the window's new size.
  void RestartAtClientSize();

  SaverWindowOptions options_;
  HWND hwnd_ = nullptr;
  bool classRegistered_ = false;
  int width_ = 0;
  int height_ = 0;
  std::shared_ptr<gfx::Screen> screen_;
  Presenter presenter_;
  HostState hostState_;
  SaverWindow saverWindow_;
  RenderThread renderThread_;
  SoundShare* renderShare_ = nullptr;
  bool renderAbandoned_ = false;
  uint32_t refreshRate_ = 60;
  // The display is powered down: nothing is presented until it is back.
  bool displayOff_ = false;
  HPOWERNOTIFY powerNotifications_[2] = {};

  // The input method, only when IMM32.DLL was already loaded.
  using AssociateContextFunction = HANDLE(WINAPI*)(HWND, HANDLE);
  AssociateContextFunction associateContext_ = nullptr;
  HANDLE previousInputContext_ = nullptr;
  bool inputContextDetached_ = false;
};

// Saver window run: the window, its message loop, and the password check
// around them. Returns the quit message's code; 0 when another full-screen
// saver already runs (it is brought to the front) or no window was made.
int RunSaverWindow(const SaverWindowOptions& options);

// The display's refresh rate in Hz, 60 when the system does not say.
uint32_t DisplayRefreshRate();

}  // namespace lumox::win32
