// Full-screen and development windows through SDL.
//
// The main thread owns the window: it turns SDL events into the saver's
// window messages for the window logic, and presents the latest published
// frame with the latest palette once per display refresh, whether or not a
// new frame exists, so a palette change shows even while the render thread
// is idle. The timer paces presents even where the presenter waits for the
// vertical blank as well: a driver that ignores vsync must not make the
// loop spin. The drawing threads never touch SDL. Only what changed is
// presented, nothing while a window is hidden or covered or the monitor is
// powered down, and a new window size restarts the run at that size.
//
// The full-screen saver covers the monitors the settings choose
// (monitor_layout.h): the primary, each, or all spanned by one window. The
// runtime keeps one run state per process (one module table, one palette,
// one render thread), so "each" shows the same screen in every window,
// drawn at the primary's size and scaled to the others. Input on any of
// the windows reaches the one window logic and ends the run.
#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string_view>
#include <vector>

#include "covered_windows.h"
#include "display_power.h"
#include "gfx/present_tracker.h"
#include "gfx/screen.h"
#include "input_map.h"
#include "monitor_layout.h"
#include "present_stats.h"
#include "refresh_timer.h"
#include "running_saver.h"
#include "saver_window_session.h"
#include "sdl_presenter.h"
#include "stop_signal.h"
#include "window_run.h"
#include "x11_window_target.h"

namespace lumox::host {
namespace {

// One window of the run, with what presents into it.
struct SdlWindow {
  SDL_Window* window = nullptr;
  std::unique_ptr<SdlPresenter> presenter;
  gfx::PresentTracker tracker;
  bool showing = true;
};

// SDL's lifetime: each presenter goes before its window, the windows
// before the library. The first window is the one the saver draws for.
struct SdlSession {
  ~SdlSession() {
    CloseWindows();
    SDL_Quit();
  }
  void CloseWindows() {
    for (SdlWindow& w : windows) {
      w.presenter.reset();
      SDL_DestroyWindow(w.window);
    }
    windows.clear();
  }
  SdlWindow* Find(uint32_t windowId) {
    for (SdlWindow& w : windows)
      if (SDL_GetWindowID(w.window) == windowId) return &w;
    return nullptr;
  }
  std::vector<SdlWindow> windows;
};

// The cursor as the window logic reads it. X11 tells where it is on the
// screen at any time. Wayland tells only where it is inside one of our
// windows, in that window's coordinates, from the moment it enters one; a
// position that jumped to those coordinates would count as a move and end
// the saver as soon as the pointer entered. So there the position carries
// on from where it was when the pointer enters a window, and follows the
// pointer's moves from there.
class SaverCursor {
 public:
  explicit SaverCursor(bool screenWide) : screenWide_(screenWide) {}

  // Sees each event before the window logic hears of it.
  void Follow(const SDL_Event& event) {
    if (screenWide_) return;
    if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_ENTER)
      entering_ = true;
    if (event.type != SDL_MOUSEMOTION) return;
    if (entering_) {
      offsetX_ = position_.x - event.motion.x;
      offsetY_ = position_.y - event.motion.y;
      entering_ = false;
    }
    position_ = {event.motion.x + offsetX_, event.motion.y + offsetY_};
  }

  CursorPoint Position() const {
    if (!screenWide_) return position_;
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    return {x, y};
  }

 private:
  bool screenWide_;
  bool entering_ = true;  // the first report anchors the position
  CursorPoint position_;
  int32_t offsetX_ = 0, offsetY_ = 0;
};

class SdlNativeWindow final : public NativeWindow {
 public:
  SdlNativeWindow(SdlSession& sdl, const SaverCursor& cursor) : sdl_(sdl), cursor_(cursor) {}
  void HideCursor() override { SDL_ShowCursor(SDL_DISABLE); }
  CursorPoint CursorPosition() override { return cursor_.Position(); }
  void Raise() override {
    for (SdlWindow& w : sdl_.windows) SDL_RaiseWindow(w.window);
  }
  WindowSize ScreenSize() override {
    SDL_DisplayMode mode{};
    int display = SDL_GetWindowDisplayIndex(sdl_.windows.front().window);
    if (SDL_GetDesktopDisplayMode(display < 0 ? 0 : display, &mode) != 0) return {};
    return {mode.w, mode.h};
  }

 private:
  SdlSession& sdl_;
  const SaverCursor& cursor_;
};

struct WindowPlacement {
  int x = SDL_WINDOWPOS_CENTERED;
  int y = SDL_WINDOWPOS_CENTERED;
  int width = 0;
  int height = 0;
  uint32_t flags = 0;
};

std::vector<MonitorRect> MonitorBounds() {
  std::vector<MonitorRect> monitors;
  const int count = SDL_GetNumVideoDisplays();
  for (int display = 0; display < count; ++display) {
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(display, &bounds) == 0)
      monitors.push_back({bounds.x, bounds.y, bounds.w, bounds.h});
  }
  return monitors;
}

// The development window: one, centred, at the size asked for. Full
// screen: the windows the monitor choice asks for, each covering its
// monitor in the desktop's own mode; a window spanning several monitors is
// a borderless one over their union, since full screen covers only one.
std::vector<WindowPlacement> PlaceWindows(const HostCommand& command) {
  constexpr uint32_t kOnTop = SDL_WINDOW_ALWAYS_ON_TOP;
  if (command.mode != HostMode::FullScreen)
    return {{SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, command.width, command.height, 0}};
  const std::vector<MonitorRect> monitors = MonitorBounds();
  const MonitorChoice choice = ReadMonitorChoice();
  const std::vector<MonitorRect> rects = SaverWindowRects(monitors, choice);
  if (rects.empty()) {
    // SDL knows no monitor's bounds: the desktop's size on the first one.
    SDL_DisplayMode desktop{};
    const bool known = SDL_GetDesktopDisplayMode(0, &desktop) == 0;
    return {{SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, known ? desktop.w : command.width,
             known ? desktop.h : command.height, SDL_WINDOW_FULLSCREEN_DESKTOP | kOnTop}};
  }
  const bool spanning = choice == MonitorChoice::kSpan && monitors.size() > 1;
  std::vector<WindowPlacement> placements;
  for (const MonitorRect& r : rects) {
    placements.push_back({r.x, r.y, r.width, r.height,
                          spanning ? SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR | kOnTop
                                   : SDL_WINDOW_FULLSCREEN_DESKTOP | kOnTop});
  }
  return placements;
}

// Makes every window with its presenter. OpenGL chosen by auto and refused
// (no OpenGL in hardware) gives way to plain windows for the software
// presenter. Says on stderr why when it fails.
bool OpenWindows(SdlSession& sdl, const std::vector<WindowPlacement>& placements,
                 const char* title, PresentPath& path, bool automatic) {
  for (;;) {
    PrepareSdlHints(path);
    std::string error;
    for (const WindowPlacement& p : placements) {
      SDL_Window* window =
          SDL_CreateWindow(title, p.x, p.y, p.width, p.height, SdlWindowFlags(path) | p.flags);
      if (!window) {
        std::fprintf(stderr, "lumox: cannot create the window: %s\n", SDL_GetError());
        return false;
      }
      std::unique_ptr<SdlPresenter> presenter = MakeSdlPresenter(window, path, automatic, error);
      if (!presenter) {
        SDL_DestroyWindow(window);
        break;
      }
      // One wait for the vertical blank per refresh is enough: further
      // windows swap at once rather than each waiting a refresh in turn.
      if (path == PresentPath::Gl && !sdl.windows.empty()) SDL_GL_SetSwapInterval(0);
      SdlWindow& added = sdl.windows.emplace_back();
      added.window = window;
      added.presenter = std::move(presenter);
    }
    if (sdl.windows.size() == placements.size()) return true;
    sdl.CloseWindows();
    if (!automatic || path != PresentPath::Gl) {
      std::fprintf(stderr, "lumox: %s\n", error.c_str());
      return false;
    }
    path = PresentPath::Surface;
  }
}

// Presents the screen in every window that shows. Taking the published
// area clears it for other trackers, so only the first window takes it;
// the others are sent the whole frame whenever a new one was published.
// False when nothing was presented anywhere.
bool PresentWindows(SdlSession& sdl, const CoveredWindows* covered, gfx::Screen& screen,
                    uint32_t& presentedSerial) {
  const uint32_t serial = screen.PublishedSerial();
  bool presented = false;
  for (SdlWindow& w : sdl.windows) {
    if (&w != &sdl.windows.front() && serial != presentedSerial) w.tracker.Invalidate();
    if (!w.showing || (covered && covered->Covered(w.window))) {
      // Nobody sees the window: no conversion, no copy to the server;
      // when it shows again it gets a whole frame.
      w.tracker.Invalidate();
    } else if (w.presenter->Present(screen, w.tracker)) {
      presented = true;
    }
  }
  presentedSerial = serial;
  return presented;
}

void InvalidateWindows(SdlSession& sdl) {
  for (SdlWindow& w : sdl.windows) w.tracker.Invalidate();
}

// Follows a window's visibility; true when the first window took a new
// size (the run restarts at it).
bool FollowWindowEvent(SdlSession& sdl, const SDL_WindowEvent& event, int width, int height) {
  SdlWindow* w = sdl.Find(event.windowID);
  if (!w) return false;
  switch (event.event) {
    case SDL_WINDOWEVENT_HIDDEN:
    case SDL_WINDOWEVENT_MINIMIZED:
      w->showing = false;
      break;
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_EXPOSED:
      w->showing = true;
      w->tracker.Invalidate();
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      w->tracker.Invalidate();
      return w == &sdl.windows.front() && (event.data1 != width || event.data2 != height);
    default:
      break;
  }
  return false;
}

double DisplayRefreshRate(SDL_Window* window) {
  SDL_DisplayMode mode{};
  int display = SDL_GetWindowDisplayIndex(window);
  bool known = SDL_GetCurrentDisplayMode(display < 0 ? 0 : display, &mode) == 0;
  return RefreshRateOrDefault(known ? mode.refresh_rate : 0);
}

}  // namespace

int RunSdlWindow(const HostCommand& command) {
  const bool fullScreen = command.mode == HostMode::FullScreen;
  if (fullScreen && RaiseRunningSaver()) return 0;
  InstallStopSignals();
  // The program handles SIGTERM and SIGINT itself, as a clean close.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  PresentPath path = ResolvePresentPath(command.present);
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "lumox: cannot open the display: %s\n", SDL_GetError());
    return 1;
  }
  SdlSession sdl;
  const bool x11 = std::string_view(SDL_GetCurrentVideoDriver()) == "x11";
  if (x11) EndProcessOnDisplayLoss();

  if (!OpenWindows(sdl, PlaceWindows(command), fullScreen ? "Screen Saver" : "Lumox", path,
                   command.present == PresentPath::Auto)) {
    return 1;
  }
  SDL_Window* first = sdl.windows.front().window;
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(first, &width, &height);

  const double refreshRate = DisplayRefreshRate(first);
  RefreshTimer presentTimer(refreshRate);
  SaverCursor cursor(x11);
  SdlNativeWindow native(sdl, cursor);
  auto beat = std::make_shared<PresentBeat>();
  std::unique_ptr<DisplayPower> power;
  std::unique_ptr<CoveredWindows> covered;
  if (x11) {
    power = std::make_unique<DisplayPower>();
    covered = std::make_unique<CoveredWindows>();
    for (SdlWindow& w : sdl.windows) covered->Watch(w.window);
  }
  PresentStats stats;
  // Each pass runs the saver at the first window's size; a new size ends
  // the pass and the next starts afresh, as a restart of the program would.
  for (;;) {
    auto screen = std::make_shared<gfx::Screen>(width, height);
    SessionOptions options = PacedSessionOptions(command, beat, presentTimer.period());
    options.fullScreen = fullScreen;
    SaverWindowSession session(native, screen, options);
    if (!CreateSession(session)) return 1;

    InvalidateWindows(sdl);
    uint32_t presentedSerial = screen->PublishedSerial();
    bool resized = false;
    while (!session.Ended() && !resized) {
      SDL_Event event;
      if (SDL_WaitEventTimeout(&event, presentTimer.MillisecondsLeft())) {
        do {
          if (event.type == SDL_WINDOWEVENT && FollowWindowEvent(sdl, event.window, width, height))
            resized = true;
          cursor.Follow(event);
          if (auto message = TranslateEvent(event)) session.Deliver(*message);
        } while (!session.Ended() && SDL_PollEvent(&event));
      }
      if (StopRequested()) session.Destroy();
      if (session.Ended() || resized || presentTimer.MillisecondsLeft() > 0) continue;

      presentTimer.Advance(RefreshTimer::Clock::now());
      if (power && power->Asleep()) {
        InvalidateWindows(sdl);
      } else {
        if (covered) covered->ReadEvents();
        auto started = RefreshTimer::Clock::now();
        if (PresentWindows(sdl, covered.get(), *screen, presentedSerial))
          stats.Record(RefreshTimer::Clock::now() - started);
      }
      beat->Beat();
    }
    session.Destroy();
    if (!resized) {
      if (command.stats) stats.Print(sdl.windows.front().presenter->Name(), width, height);
      return session.ExitCode();
    }
    SDL_GetWindowSize(first, &width, &height);
  }
}

}  // namespace lumox::host
