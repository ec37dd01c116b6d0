#include "saver_window_session.h"

#include <thread>

#include "gfx/screen.h"
#include "state/saver_state.h"
#include "thread_priority.h"

namespace lumox::host {
namespace {

RuntimeServices HostServices() {
  RuntimeServices services = DefaultRuntimeServices();
  services.setProcessPriority = &ApplyProcessPriority;
  services.lowerRenderThreadPriority = &LowerCallingThreadPriority;
  return services;
}

}  // namespace

SaverWindowSession::SaverWindowSession(NativeWindow& window, std::shared_ptr<gfx::Screen> screen,
                                       SessionOptions options)
    : window_(window),
      screen_(std::move(screen)),
      options_(std::move(options)),
      services_(HostServices()),
      saverWindow_(Saver(), services_, *this, options_.commandLine) {
  hostState_.preview = options_.preview;
}

SaverWindowSession::~SaverWindowSession() {
  // Never leave with the render thread drawing.
  if (created_ && !destroyed_) Destroy();
}

bool SaverWindowSession::Create() {
  if (Send(kWmCreate) == -1) {
    // Win32 sends WM_DESTROY even to a window whose creation failed.
    Send(kWmDestroy);
    destroyed_ = true;
    return false;
  }
  created_ = true;
  Send(kWmShowWindow, 1);
  Send(kWmEraseBackground);
  Send(kWmPaint);
  RunPending();
  return true;
}

void SaverWindowSession::Deliver(const WindowMessage& message) {
  if (destroyed_) return;
  if (message.message == kWmClose) {
    closePosted_ = true;  // posted, like the system's own close
  } else {
    Send(message.message, message.wParam, message.lParam);
  }
  RunPending();
}

void SaverWindowSession::Destroy() {
  if (destroyed_) return;
  destroyed_ = true;
  Send(kWmDestroy);
}

void SaverWindowSession::RunPending() {
  while (!destroyed_ && (closePosted_ || destroyPending_)) {
    if (destroyPending_) {
      destroyPending_ = false;
      Destroy();
    } else {
      closePosted_ = false;
      Send(kWmClose);
    }
  }
}

LResult SaverWindowSession::Send(uint32_t message, WParam wParam, LParam lParam) {
  return HostWindowProc(hostState_, *this, message, wParam, lParam);
}

LResult SaverWindowSession::SaverProc(uint32_t message, WParam wParam, LParam lParam) {
  return ScreenSaverProc(saverWindow_, message, wParam, lParam);
}

LResult SaverWindowSession::DefaultProc(uint32_t message, WParam wParam, LParam lParam) {
  return HostDefaultProc(hostState_, *this, message, wParam, lParam);
}

LResult SaverWindowSession::SystemDefaultProc(uint32_t message, WParam, LParam) {
  // The system's answer to WM_CLOSE is to destroy the window.
  if (message == kWmClose) destroyPending_ = true;
  return 0;
}

void SaverWindowSession::PostQuit(int exitCode) {
  if (quit_) return;
  quit_ = true;
  exitCode_ = exitCode;
}

void SaverWindowSession::HideCursor() {
  if (!options_.preview) window_.HideCursor();
}

void SaverWindowSession::YieldTimeSlice() { std::this_thread::yield(); }

WindowSize SaverWindowSession::ClientSize() { return {screen_->width(), screen_->height()}; }

// This host never changes the display mode: the window keeps the size of
// the screen it was made with.
bool SaverWindowSession::StartRenderThread(SoundShare* share, WindowSize) {
  return renderThread_.Start(Saver(), screen_, share, services_, options_.fullScreen,
                             options_.pacer);
}

}  // namespace lumox::host
