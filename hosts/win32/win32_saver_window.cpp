#include "win32_saver_window.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstring>

#include "exports.h"
#include "gfx/screen.h"
#include "refresh_pacer.h"
#include "state/saver_state.h"

namespace lumox::win32 {

namespace {

Win32SaverWindow* currentWindow = nullptr;

LRESULT CALLBACK ClassWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Win32SaverWindow* saver = Win32SaverWindow::Current();
  if (!saver) return DefWindowProcA(window, message, wParam, lParam);
  return saver->HandleMessage(window, message, wParam, lParam);
}

// The size the window will have: the parent's client area for a preview,
// the primary screen for the full-screen window.
void InitialSize(HWND parent, int& width, int& height) {
  if (parent) {
    RECT client{};
    GetClientRect(parent, &client);
    width = client.right;
    height = client.bottom;
  } else {
    width = GetSystemMetrics(SM_CXSCREEN);
    height = GetSystemMetrics(SM_CYSCREEN);
  }
  // The core's screen needs at least one pixel.
  if (width < 1) width = 1;
  if (height < 1) height = 1;
}

// The stored record is the system's display-mode structure, byte for byte.
static_assert(sizeof(DEVMODEA) == kDisplayModeSize);

DEVMODEA ToDevMode(const DisplayModeRecord& mode) {
  DEVMODEA devMode{};
  std::memcpy(&devMode, mode.bytes.data(), sizeof(devMode));
  return devMode;
}

// The "Priority" option's classes are the system's own numbers (128 high,
// 32 normal, 64 idle).
void SetProcessPriority(int32_t priorityClass) {
  SetPriorityClass(GetCurrentProcess(), static_cast<DWORD>(priorityClass));
}

void LowerRenderThreadPriority() {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
}

// The power settings that say whether the display is lit: the console
// display's state (Windows 8 on) and the monitor's (before it). 0 is off;
// 1 (on) and 2 (dimmed) still show the picture.
constexpr GUID kConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID kMonitorPowerOn = {
    0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};

}  // namespace

uint32_t DisplayRefreshRate() {
  DEVMODEA mode{};
  mode.dmSize = sizeof(mode);
  if (EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode) &&
      mode.dmDisplayFrequency > 1 && mode.dmDisplayFrequency <= 1000) {
    return mode.dmDisplayFrequency;
  }
  return 60;  // 0 and 1 mean "the hardware's default"
}

Win32SaverWindow::Win32SaverWindow(SaverWindowOptions options)
    : options_(std::move(options)),
      saverWindow_(Saver(), options_.services, *this, options_.commandLine) {
  if (!options_.services.setProcessPriority) {
    options_.services.setProcessPriority = &SetProcessPriority;
  }
  if (!options_.services.lowerRenderThreadPriority) {
    options_.services.lowerRenderThreadPriority = &LowerRenderThreadPriority;
  }
  InitialSize(options_.parent, width_, height_);
  screen_ = std::make_shared<gfx::Screen>(width_, height_);
  hostState_.family95 = options_.family95;
  hostState_.preview = options_.parent != nullptr;
  refreshRate_ = DisplayRefreshRate();
}

Win32SaverWindow::~Win32SaverWindow() {
  for (HPOWERNOTIFY notification : powerNotifications_)
    if (notification) UnregisterPowerSettingNotification(notification);
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
  // A render thread that outlived its window is abandoned; it holds its own
  // screen and session.
  if (currentWindow == this) currentWindow = nullptr;
  if (classRegistered_) UnregisterClassA(kSaverClassName, options_.instance);
}

Win32SaverWindow* Win32SaverWindow::Current() { return currentWindow; }

HWND Win32SaverWindow::Create() {
  WNDCLASSA windowClass{};
  windowClass.style = kSaverClassStyle;
  windowClass.lpfnWndProc = &ClassWindowProc;
  windowClass.hInstance = options_.instance;
  windowClass.hIcon = LoadIconA(options_.instance, MAKEINTRESOURCEA(kSaverIconId));
  windowClass.hCursor = nullptr;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kSaverClassName;
  if (!RegisterClassA(&windowClass)) return nullptr;
  classRegistered_ = true;

  currentWindow = this;
  const bool preview = options_.parent != nullptr;
  HWND created = CreateWindowExA(preview ? 0 : WS_EX_TOPMOST, kSaverClassName,
                                 preview ? kPreviewTitle : kFullScreenTitle,
                                 preview ? kPreviewStyle : kFullScreenStyle, 0, 0, width_,
                                 height_, options_.parent, nullptr, options_.instance, nullptr);
  if (!created) {
    hwnd_ = nullptr;
    return nullptr;
  }
  hwnd_ = created;
  powerNotifications_[0] =
      RegisterPowerSettingNotification(hwnd_, &kConsoleDisplayState, DEVICE_NOTIFY_WINDOW_HANDLE);
  powerNotifications_[1] =
      RegisterPowerSettingNotification(hwnd_, &kMonitorPowerOn, DEVICE_NOTIFY_WINDOW_HANDLE);
  SetTimer(hwnd_, kPresentTimerId, 1000 / refreshRate_, nullptr);
  return hwnd_;
}

LRESULT Win32SaverWindow::HandleMessage(HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam) {
  // CreateWindowEx delivers WM_NCCREATE and WM_CREATE before it returns;
  // the handle is known from the first message on.
  if (!hwnd_) hwnd_ = window;
  if (window != hwnd_) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_TIMER:
      if (wParam == kPresentTimerId && !hostState_.closing) {
        HDC dc = GetDC(hwnd_);
        // Minimised, wholly covered or on a dark display, nobody would see
        // the frame: nothing is converted; showing again brings WM_PAINT,
        // or the display's return a whole frame.
        RECT visible{};
        if (displayOff_ || IsIconic(hwnd_) || GetClipBox(dc, &visible) == NULLREGION)
          presenter_.Invalidate();
        else
          Present(dc);
        ReleaseDC(hwnd_, dc);
      }
      break;
    case WM_DISPLAYCHANGE:
      // The full-screen window keeps covering the primary display, and the
      // run starts afresh at its new size, as a restart of the saver would.
      if (!hostState_.preview && !hostState_.closing) {
        SetWindowPos(hwnd_, nullptr, 0, 0, LOWORD(lParam), HIWORD(lParam),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        RestartAtClientSize();
      }
      break;
    case WM_POWERBROADCAST:
      if (wParam == PBT_POWERSETTINGCHANGE && lParam != 0) {
        const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
        if ((IsEqualGUID(setting->PowerSetting, kConsoleDisplayState) ||
             IsEqualGUID(setting->PowerSetting, kMonitorPowerOn)) &&
            setting->DataLength >= sizeof(DWORD)) {
          DWORD state = 0;
          std::memcpy(&state, setting->Data, sizeof state);
          displayOff_ = state == 0;
        }
      }
      break;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(hwnd_, &paint);
      presenter_.Invalidate();
      Present(dc);
      EndPaint(hwnd_, &paint);
      break;
    }
    default:
      break;
  }
  return HostWindowProc(hostState_, *this, message, wParam, static_cast<LParam>(lParam));
}

void Win32SaverWindow::Present(HDC dc) {
  RECT client{};
  GetClientRect(hwnd_, &client);
  presenter_.Present(*screen_, dc, client.right, client.bottom);
}

LRESULT Win32SaverWindow::RunSaverProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return ScreenSaverProc(saverWindow_, message, wParam, static_cast<LParam>(lParam));
}

LResult Win32SaverWindow::SaverProc(uint32_t message, WParam wParam, LParam lParam) {
  // Through the exported procedure, as the system's saver library would.
  return ::ScreenSaverProc(hwnd_, message, wParam, lParam);
}

LResult Win32SaverWindow::SystemDefaultProc(uint32_t message, WParam wParam, LParam lParam) {
  return DefWindowProcA(hwnd_, message, wParam, lParam);
}

void Win32SaverWindow::PostClose() { PostMessageA(hwnd_, WM_CLOSE, 0, 0); }

void Win32SaverWindow::PostQuit(int exitCode) { PostQuitMessage(exitCode); }

void Win32SaverWindow::HideCursor() { SetCursor(nullptr); }

CursorPoint Win32SaverWindow::CursorPosition() {
  POINT point{};
  GetCursorPos(&point);
  return {point.x, point.y};
}

void Win32SaverWindow::RemoveTimerMessages(int count) {
  MSG pending;
  for (int i = 0; i < count; ++i) {
    if (!PeekMessageA(&pending, hwnd_, WM_TIMER, WM_TIMER, PM_REMOVE)) break;
  }
}

void Win32SaverWindow::PostToParent(uint32_t message, LParam lParam) {
  HWND parent = options_.parent;
  if (parent && IsWindow(parent)) {
    PostMessageA(parent, message, reinterpret_cast<WPARAM>(parent), lParam);
  }
}

void Win32SaverWindow::DetachInputContext() {
  // Only an input method the process already uses is touched.
  HMODULE imm = GetModuleHandleA("IMM32.DLL");
  if (!imm) return;
  associateContext_ = reinterpret_cast<AssociateContextFunction>(
      reinterpret_cast<void (*)()>(GetProcAddress(imm, "ImmAssociateContext")));
  if (!associateContext_) return;
  previousInputContext_ = associateContext_(hwnd_, nullptr);
  inputContextDetached_ = true;
}

void Win32SaverWindow::RestoreInputContext() {
  if (!inputContextDetached_ || !associateContext_) return;
  associateContext_(hwnd_, previousInputContext_);
  inputContextDetached_ = false;
}

LResult Win32SaverWindow::DefaultProc(uint32_t message, WParam wParam, LParam lParam) {
  return HostDefaultProc(hostState_, *this, message, wParam, lParam);
}

WindowSize Win32SaverWindow::ClientSize() {
  RECT client{};
  GetClientRect(hwnd_, &client);
  return {client.right, client.bottom};
}

WindowSize Win32SaverWindow::ScreenSize() {
  HDC screen = GetDC(nullptr);
  WindowSize size{GetDeviceCaps(screen, HORZRES), GetDeviceCaps(screen, VERTRES)};
  ReleaseDC(nullptr, screen);
  return size;
}

bool Win32SaverWindow::TestDisplayMode(const DisplayModeRecord& mode) {
  DEVMODEA devMode = ToDevMode(mode);
  return ChangeDisplaySettingsA(&devMode, CDS_TEST) == DISP_CHANGE_SUCCESSFUL;
}

bool Win32SaverWindow::ChangeDisplayMode(const DisplayModeRecord& mode) {
  DEVMODEA devMode = ToDevMode(mode);
  return ChangeDisplaySettingsA(&devMode, 0) == DISP_CHANGE_SUCCESSFUL;
}

void Win32SaverWindow::RestoreDisplayMode() { ChangeDisplaySettingsA(nullptr, 0); }

void Win32SaverWindow::ResizeWindow(int32_t width, int32_t height) {
  SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOREDRAW);
}

void Win32SaverWindow::BringToForeground() { SetForegroundWindow(hwnd_); }

void Win32SaverWindow::RestartAtClientSize() {
  const WindowSize size = ClientSize();
  // Before the first paint nothing runs yet (it starts at the size then);
  // with the run flag down the window is being destroyed.
  if (!saverWindow_.renderStarted || Saver().runFlag == 0 || renderAbandoned_) return;
  if (size.width == screen_->width() && size.height == screen_->height()) return;
  Saver().runFlag = 0;
  if (!renderThread_.Join(kThreadJoinTimeoutMs)) {
    // A thread that did not end keeps its session; a second one must not
    // start beside it. The window shows the last frame until it closes.
    renderAbandoned_ = true;
    return;
  }
  StartRenderThread(renderShare_, size);
}

bool Win32SaverWindow::StartRenderThread(SoundShare* share, WindowSize clientSize) {
  renderShare_ = share;
  // WM_CREATE may have switched the display mode and resized the window
  // since the screen was made: draw at the size the window has now.
  int width = std::max(clientSize.width, 1);
  int height = std::max(clientSize.height, 1);
  if (width != screen_->width() || height != screen_->height()) {
    screen_ = std::make_shared<gfx::Screen>(width, height);
  }
  auto pacer = std::make_shared<RefreshPacer>(refreshRate_);
  return renderThread_.Start(Saver(), screen_, share, options_.services, !hostState_.preview,
                             pacer);
}

int RunSaverWindow(const SaverWindowOptions& options) {
  PasswordCheck password;
  if (!options.parent) {
    HWND existing = FindWindowA(kSaverClassName, kFullScreenTitle);
    if (existing && IsWindow(existing)) {
      SetForegroundWindow(existing);
      return 0;
    }
    password.Prepare(options.family95);
  }

  Win32SaverWindow window(options);
  if (password.available()) {
    window.SetPasswordCheck([&password, &window] { return password.Verify(window.hwnd()); });
  }

  // Sleep and timers to the millisecond, for the frame pacing.
  timeBeginPeriod(1);
  int exitCode = 0;
  if (HWND hwnd = window.Create()) {
    if (!options.parent) SetForegroundWindow(hwnd);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    exitCode = static_cast<int>(message.wParam);
  }
  timeEndPeriod(1);
  password.Release();
  return exitCode;
}

}  // namespace lumox::win32
