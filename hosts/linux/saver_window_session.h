// The saver window's logic, driven by a Linux window.
//
// The host rules (HostWindowProc, HostDefaultProc) and the saver's own
// procedure (ScreenSaverProc) are written against Win32 messages and ask
// the window for what they need. This session answers them for an SDL
// window or a foreign X11 window and plays the part of the Win32 message
// loop: it sends WM_CREATE, the first show, background erase and paint,
// queues the close that the rules post, turns the system's default
// handling of WM_CLOSE into WM_DESTROY, and ends when WM_DESTROY posts
// the quit message. The render thread (with its palette thread) is the
// runtime's own; the session starts it when the logic asks and waits for
// it at WM_DESTROY.
#pragma once

#include <memory>
#include <string>

#include "input_map.h"
#include "saver/host_window.h"
#include "saver/render_thread.h"
#include "saver/saver_window.h"

namespace lumox::gfx {
class Screen;
}

namespace lumox::host {

// What the session needs of the real window.
class NativeWindow {
 public:
  virtual ~NativeWindow() = default;
  virtual void HideCursor() = 0;
  // The cursor in screen coordinates.
  virtual CursorPoint CursorPosition() = 0;
  virtual void Raise() = 0;
  virtual WindowSize ScreenSize() = 0;
};

struct SessionOptions {
  // A preview or a daemon's window: no cursor hiding, no dismissal.
  bool preview = false;
  // The window covers the screen (it may launch the sound player).
  bool fullScreen = false;
  // The process's whole command line; its third word is a settings file.
  std::string commandLine;
  // Paces the render loop; null runs it flat out.
  std::shared_ptr<FramePacer> pacer;
};

class SaverWindowSession final : public HostWindow, public SaverWindowHost {
 public:
  SaverWindowSession(NativeWindow& window, std::shared_ptr<gfx::Screen> screen,
                     SessionOptions options);
  ~SaverWindowSession() override;

  // Creates the saver window: WM_CREATE, then show, erase (which starts
  // the render thread) and paint. False when the logic refused the window
  // (the shared block could not be opened).
  bool Create();
  // One input message; runs whatever close or destruction it causes.
  void Deliver(const WindowMessage& message);
  // The window is going away whatever the rules say (a signal, or the
  // foreign window was destroyed): WM_DESTROY now.
  void Destroy();
  bool Ended() const { return quit_; }
  int ExitCode() const { return exitCode_; }

  // HostWindow.
  LResult SaverProc(uint32_t message, WParam wParam, LParam lParam) override;
  LResult SystemDefaultProc(uint32_t message, WParam wParam, LParam lParam) override;
  void PostClose() override { closePosted_ = true; }
  void PostQuit(int exitCode) override;
  void HideCursor() override;
  CursorPoint CursorPosition() override { return window_.CursorPosition(); }
  void RemoveTimerMessages(int) override {}
  void PostToParent(uint32_t, LParam) override {}
  void YieldTimeSlice() override;
  void DetachInputContext() override {}
  void RestoreInputContext() override {}

  // SaverWindowHost.
  LResult DefaultProc(uint32_t message, WParam wParam, LParam lParam) override;
  WindowSize ClientSize() override;
  WindowSize ScreenSize() override { return window_.ScreenSize(); }
  // The stored display mode is a Win32 record; this host keeps the mode.
  bool TestDisplayMode(const DisplayModeRecord&) override { return false; }
  bool ChangeDisplayMode(const DisplayModeRecord&) override { return false; }
  void RestoreDisplayMode() override {}
  void ResizeWindow(int32_t, int32_t) override {}
  void BringToForeground() override { window_.Raise(); }
  bool StartRenderThread(SoundShare* share, WindowSize clientSize) override;
  bool WaitRenderThread(uint32_t timeoutMs) override { return renderThread_.Join(timeoutMs); }

 private:
  LResult Send(uint32_t message, WParam wParam = 0, LParam lParam = 0);
  // Runs the close and destruction that the last message left pending.
  void RunPending();

  NativeWindow& window_;
  std::shared_ptr<gfx::Screen> screen_;
  SessionOptions options_;
  RuntimeServices services_;
  HostState hostState_;
  SaverWindow saverWindow_;
  RenderThread renderThread_;
  bool created_ = false;
  bool closePosted_ = false;
  bool destroyPending_ = false;
  bool destroyed_ = false;
  bool quit_ = false;
  int exitCode_ = 0;
};

}  // namespace lumox::host
