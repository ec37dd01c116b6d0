// Runs inside a foreign X11 window: a preview (/p, /l) or the screen-saver
// daemon's window (-root, -window-id, $XSCREENSAVER_WINDOW).
//
// The window's owner handles input, so the window logic runs as a preview
// and never dismisses itself; the run ends on SIGTERM, SIGINT or SIGHUP,
// or when the window goes away, within one display refresh plus the render
// thread's last frame. The loop wakes once per refresh (or on a signal) and
// reads the window's events then: waking for each of them would cost more
// than the refresh's delay is worth. While the window is unmapped, fully
// covered or the monitor is powered down, nothing is converted or sent; the
// saver's clocks run on. Frames go through OpenGL where it renders in
// hardware (or when --presenter gl asks for it), converted on the CPU
// otherwise.
#include <poll.h>

#include <cstdio>

#include "display_power.h"
#include "gfx/present_tracker.h"
#include "gfx/screen.h"
#include "present_stats.h"
#include "refresh_timer.h"
#include "saver_window_session.h"
#include "sdl_presenter.h"
#include "stop_signal.h"
#include "window_run.h"
#include "x11_window_target.h"

namespace lumox::host {
namespace {

// The window is someone else's: no cursor to hide, nothing to raise.
class ForeignWindow final : public NativeWindow {
 public:
  explicit ForeignWindow(const X11WindowTarget& target) : target_(target) {}
  void HideCursor() override {}
  CursorPoint CursorPosition() override { return {}; }
  void Raise() override {}
  WindowSize ScreenSize() override { return {target_.screenWidth(), target_.screenHeight()}; }

 private:
  const X11WindowTarget& target_;
};

// X11 does not tell the refresh rate without extensions; 60 Hz is the
// usual one.
constexpr double kAssumedRefreshRate = 60.0;

}  // namespace

int RunEmbedded(const HostCommand& command) {
  InstallStopSignals();
  X11WindowTarget target;
  std::string error;
  switch (target.Open(command.embedRoot ? 0 : command.windowId, error)) {
    case X11WindowTarget::OpenResult::Ok:
      break;
    case X11WindowTarget::OpenResult::NotAWindow:
      std::fprintf(stderr, "lumox: %s\n", error.c_str());
      return -1;
    case X11WindowTarget::OpenResult::NoDisplay:
      std::fprintf(stderr, "lumox: %s\n", error.c_str());
      return command.mode == HostMode::Preview ? -1 : 1;
    case X11WindowTarget::OpenResult::Unsupported:
      std::fprintf(stderr, "lumox: %s\n", error.c_str());
      return 1;
  }

  EndProcessOnDisplayLoss();
  // OpenGL refused to the automatic choice leaves the CPU conversion in
  // place; refused to --presenter gl, it ends the run with the reason.
  if (ResolvePresentPath(command.present) == PresentPath::Gl &&
      !target.UseOpenGl(command.present == PresentPath::Auto, error) &&
      command.present == PresentPath::Gl) {
    std::fprintf(stderr, "lumox: %s\n", error.c_str());
    return 1;
  }
  RefreshTimer presentTimer(kAssumedRefreshRate);
  ForeignWindow native(target);
  auto beat = std::make_shared<PresentBeat>();
  DisplayPower power;
  PresentStats stats;
  pollfd signalWait{WakeDescriptor(), POLLIN, 0};
  // Each pass runs the saver at the window's size; a new size ends the
  // pass and the next starts afresh, as a restart of the program would.
  for (;;) {
    auto screen = std::make_shared<gfx::Screen>(target.width(), target.height());
    SessionOptions options = PacedSessionOptions(command, beat, presentTimer.period());
    options.preview = true;
    options.fullScreen = target.width() == target.screenWidth() &&
                         target.height() == target.screenHeight();
    SaverWindowSession session(native, screen, options);
    if (!CreateSession(session)) return 1;

    gfx::PresentTracker tracker;
    bool resized = false;
    while (!session.Ended()) {
      poll(&signalWait, 1, presentTimer.MillisecondsLeft());  // a missing pipe (-1) is ignored
      target.DrainEvents();
      if (StopRequested() || target.WindowGone()) break;
      if (target.SizeChanged()) {
        resized = true;
        break;
      }
      if (presentTimer.MillisecondsLeft() > 0) continue;

      presentTimer.Advance(RefreshTimer::Clock::now());
      if (target.TakeExposed()) tracker.Invalidate();
      if (!target.Showing() || power.Asleep()) {
        // Nobody sees the window: no conversion, no copy to the server;
        // when it shows again it gets a whole frame.
        tracker.Invalidate();
      } else {
        auto started = RefreshTimer::Clock::now();
        if (target.Present(*screen, tracker)) stats.Record(RefreshTimer::Clock::now() - started);
      }
      beat->Beat();
    }
    session.Destroy();
    if (!resized) {
      if (command.stats) stats.Print(target.PathName(), target.width(), target.height());
      return session.ExitCode();
    }
    if (!target.Resize(error)) {
      std::fprintf(stderr, "lumox: %s\n", error.c_str());
      return target.WindowGone() ? 0 : 1;
    }
  }
}

}  // namespace lumox::host
