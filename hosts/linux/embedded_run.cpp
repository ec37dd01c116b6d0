// Runs inside a foreign X11 window: a preview (/p, /l) or the screen-saver
// daemon's window (-root, -window-id, $XSCREENSAVER_WINDOW).
//
// The window's owner handles input, so the window logic runs as a preview
// and never dismisses itself; the run ends on SIGTERM, SIGINT or SIGHUP,
// or when the window goes away, within one display refresh plus the render
// thread's last frame (the loop wakes on the X connection and the signal
// pipe, and never sleeps longer than one refresh).
#include <poll.h>

#include <array>
#include <cstdio>

#include "gfx/present_tracker.h"
#include "gfx/screen.h"
#include "present_stats.h"
#include "refresh_timer.h"
#include "saver_window_session.h"
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
  RefreshTimer presentTimer(kAssumedRefreshRate);
  auto screen = std::make_shared<gfx::Screen>(target.width(), target.height());
  ForeignWindow native(target);
  auto beat = std::make_shared<PresentBeat>();
  SessionOptions options = PacedSessionOptions(command, beat, presentTimer.period());
  options.preview = true;
  options.fullScreen = target.width() == target.screenWidth() &&
                       target.height() == target.screenHeight();
  SaverWindowSession session(native, screen, options);
  if (!CreateSession(session)) return 1;

  PresentStats stats;
  gfx::PresentTracker tracker;
  std::array<pollfd, 2> waits = {pollfd{target.ConnectionDescriptor(), POLLIN, 0},
                                 pollfd{WakeDescriptor(), POLLIN, 0}};
  while (!session.Ended()) {
    poll(waits.data(), waits[1].fd >= 0 ? 2 : 1, presentTimer.MillisecondsLeft());
    target.DrainEvents();
    if (StopRequested() || target.WindowGone()) break;
    if (presentTimer.MillisecondsLeft() > 0) continue;

    presentTimer.Advance(RefreshTimer::Clock::now());
    if (gfx::RowBand rows = tracker.Take(*screen); !rows.Empty()) {
      auto started = RefreshTimer::Clock::now();
      target.Present(*screen, rows, tracker.palette());
      stats.Record(RefreshTimer::Clock::now() - started);
    }
    beat->Beat();
  }
  session.Destroy();
  if (command.stats) stats.Print(target.PathName(), target.width(), target.height());
  return session.ExitCode();
}

}  // namespace lumox::host
