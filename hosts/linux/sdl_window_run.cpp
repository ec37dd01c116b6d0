// Full-screen and development windows through SDL.
//
// The main thread owns the window: it turns SDL events into the saver's
// window messages for the window logic, and presents the latest published
// frame with the latest palette once per display refresh, whether or not a
// new frame exists, so a palette change shows even while the render thread
// is idle. The timer paces presents even where the presenter waits for the
// vertical blank as well: a driver that ignores vsync must not make the
// loop spin. The drawing threads never touch SDL. Only what changed is
// presented, nothing while the window is hidden or the monitor is powered
// down, and a new window size restarts the run at that size.
#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string_view>

#include "display_power.h"
#include "gfx/present_tracker.h"
#include "gfx/screen.h"
#include "input_map.h"
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

class SdlNativeWindow final : public NativeWindow {
 public:
  explicit SdlNativeWindow(SDL_Window* window) : window_(window) {}
  void HideCursor() override { SDL_ShowCursor(SDL_DISABLE); }
  CursorPoint CursorPosition() override {
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    return {x, y};
  }
  void Raise() override { SDL_RaiseWindow(window_); }
  WindowSize ScreenSize() override {
    SDL_DisplayMode mode{};
    int display = SDL_GetWindowDisplayIndex(window_);
    if (SDL_GetDesktopDisplayMode(display < 0 ? 0 : display, &mode) != 0) return {};
    return {mode.w, mode.h};
  }

 private:
  SDL_Window* window_;
};

// SDL's lifetime: the presenter goes before the window, the window before
// the library.
struct SdlSession {
  ~SdlSession() {
    presenter.reset();
    if (window) SDL_DestroyWindow(window);
    SDL_Quit();
  }
  SDL_Window* window = nullptr;
  std::unique_ptr<SdlPresenter> presenter;
};

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
  PrepareSdlHints(path);
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "lumox: cannot open the display: %s\n", SDL_GetError());
    return 1;
  }
  SdlSession sdl;
  if (std::string_view(SDL_GetCurrentVideoDriver()) == "x11") EndProcessOnDisplayLoss();

  int width = command.width;
  int height = command.height;
  SDL_DisplayMode desktop{};
  if (fullScreen && SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
    width = desktop.w;
    height = desktop.h;
  }
  auto createWindow = [&] {
    sdl.window = SDL_CreateWindow(
        fullScreen ? "Screen Saver" : "Lumox", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
        width, height,
        SdlWindowFlags(path) |
            (fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_ALWAYS_ON_TOP : 0));
    if (!sdl.window) std::fprintf(stderr, "lumox: cannot create the window: %s\n", SDL_GetError());
    return sdl.window != nullptr;
  };
  if (!createWindow()) return 1;
  std::string error;
  const bool automatic = command.present == PresentPath::Auto;
  sdl.presenter = MakeSdlPresenter(sdl.window, path, automatic, error);
  if (!sdl.presenter && automatic && path == PresentPath::Gl) {
    // No OpenGL in hardware: a plain window for the software presenter.
    SDL_DestroyWindow(sdl.window);
    path = PresentPath::Surface;
    PrepareSdlHints(path);
    if (!createWindow()) return 1;
    sdl.presenter = MakeSdlPresenter(sdl.window, path, automatic, error);
  }
  SDL_GetWindowSize(sdl.window, &width, &height);
  if (!sdl.presenter) {
    std::fprintf(stderr, "lumox: %s\n", error.c_str());
    return 1;
  }

  const double refreshRate = DisplayRefreshRate(sdl.window);
  RefreshTimer presentTimer(refreshRate);
  SdlNativeWindow native(sdl.window);
  auto beat = std::make_shared<PresentBeat>();
  std::unique_ptr<DisplayPower> power;
  if (std::string_view(SDL_GetCurrentVideoDriver()) == "x11")
    power = std::make_unique<DisplayPower>();
  PresentStats stats;
  bool showing = true;
  // Each pass runs the saver at the window's size; a new size ends the
  // pass and the next starts afresh, as a restart of the program would.
  for (;;) {
    auto screen = std::make_shared<gfx::Screen>(width, height);
    SessionOptions options = PacedSessionOptions(command, beat, presentTimer.period());
    options.fullScreen = fullScreen;
    SaverWindowSession session(native, screen, options);
    if (!CreateSession(session)) return 1;

    gfx::PresentTracker tracker;
    bool resized = false;
    while (!session.Ended() && !resized) {
      SDL_Event event;
      if (SDL_WaitEventTimeout(&event, presentTimer.MillisecondsLeft())) {
        do {
          if (event.type == SDL_WINDOWEVENT) {
            switch (event.window.event) {
              case SDL_WINDOWEVENT_HIDDEN:
              case SDL_WINDOWEVENT_MINIMIZED:
                showing = false;
                break;
              case SDL_WINDOWEVENT_SHOWN:
              case SDL_WINDOWEVENT_RESTORED:
              case SDL_WINDOWEVENT_MAXIMIZED:
              case SDL_WINDOWEVENT_EXPOSED:
                showing = true;
                tracker.Invalidate();
                break;
              case SDL_WINDOWEVENT_SIZE_CHANGED:
                resized = event.window.data1 != width || event.window.data2 != height;
                tracker.Invalidate();
                break;
              default:
                break;
            }
          }
          if (auto message = TranslateEvent(event)) session.Deliver(*message);
        } while (!session.Ended() && SDL_PollEvent(&event));
      }
      if (StopRequested()) session.Destroy();
      if (session.Ended() || resized || presentTimer.MillisecondsLeft() > 0) continue;

      presentTimer.Advance(RefreshTimer::Clock::now());
      if (!showing || (power && power->Asleep())) {
        // Nobody sees the window: no conversion, no copy to the server;
        // when it shows again it gets a whole frame.
        tracker.Invalidate();
      } else {
        auto started = RefreshTimer::Clock::now();
        if (sdl.presenter->Present(*screen, tracker))
          stats.Record(RefreshTimer::Clock::now() - started);
      }
      beat->Beat();
    }
    session.Destroy();
    if (!resized) {
      if (command.stats) stats.Print(sdl.presenter->Name(), width, height);
      return session.ExitCode();
    }
    SDL_GetWindowSize(sdl.window, &width, &height);
  }
}

}  // namespace lumox::host
