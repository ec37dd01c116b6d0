// Full-screen and development windows through SDL.
//
// The main thread owns the window: it turns SDL events into the saver's
// window messages, and presents the latest published frame with the latest
// palette once per display refresh, whether or not a new frame exists, so a
// palette change shows even while the render thread is idle. The drawing
// threads never touch SDL.
#include <SDL.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "drawing_threads.h"
#include "frame_pacer.h"
#include "gfx/screen.h"
#include "input_map.h"
#include "present_stats.h"
#include "sdl_presenter.h"
#include "stop_signal.h"
#include "window_run.h"

namespace lumox::host {
namespace {

// Until the saver's own window logic runs here: any key or button, or the
// cursor travelling more than four pixels, closes the window.
class DismissalRule {
 public:
  bool ShouldClose(const WindowMessage& message) {
    switch (message.message) {
      case kWmKeyDown: case kWmSysKeyDown: case kWmLeftButtonDown:
      case kWmRightButtonDown: case kWmMiddleButtonDown: case kWmClose:
        return true;
      case kWmMouseMove: {
        int x = static_cast<int16_t>(message.lParam & 0xFFFF);
        int y = static_cast<int16_t>((message.lParam >> 16) & 0xFFFF);
        if (!seen_) {
          seen_ = true;
          lastX_ = x;
          lastY_ = y;
          return false;
        }
        return std::abs(x - lastX_) + std::abs(y - lastY_) > 4;
      }
      default:
        return false;
    }
  }

 private:
  bool seen_ = false;
  int lastX_ = 0;
  int lastY_ = 0;
};

struct SdlSession {
  ~SdlSession() {
    presenter.reset();
    if (window) SDL_DestroyWindow(window);
    SDL_Quit();
  }
  SDL_Window* window = nullptr;
  std::unique_ptr<SdlPresenter> presenter;
};

}  // namespace

int RunSdlWindow(const HostCommand& command) {
  InstallStopSignals();
  // The program handles SIGTERM and SIGINT itself (a clean close).
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
  const PresentPath path = ResolvePresentPath(command.present);
  PrepareSdlHints(path);
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "lumox: cannot open the display: %s\n", SDL_GetError());
    return 1;
  }
  SdlSession session;

  const bool fullScreen = command.mode == HostMode::FullScreen;
  int width = command.width;
  int height = command.height;
  SDL_DisplayMode desktop{};
  if (fullScreen && SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
    width = desktop.w;
    height = desktop.h;
  }
  Uint32 flags = fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0;
  session.window = SDL_CreateWindow(fullScreen ? "Screen Saver" : "Lumox", SDL_WINDOWPOS_CENTERED,
                                    SDL_WINDOWPOS_CENTERED, width, height, flags);
  if (!session.window) {
    std::fprintf(stderr, "lumox: cannot create the window: %s\n", SDL_GetError());
    return 1;
  }
  SDL_GetWindowSize(session.window, &width, &height);
  std::string error;
  session.presenter = MakeSdlPresenter(session.window, path, error);
  if (!session.presenter) {
    std::fprintf(stderr, "lumox: %s\n", error.c_str());
    return 1;
  }
  SDL_ShowCursor(SDL_DISABLE);
  if (fullScreen) SDL_RaiseWindow(session.window);

  SDL_DisplayMode current{};
  int displayIndex = SDL_GetWindowDisplayIndex(session.window);
  double refresh = RefreshRateOrDefault(
      SDL_GetCurrentDisplayMode(displayIndex < 0 ? 0 : displayIndex, &current) == 0
          ? current.refresh_rate : 0);
  FramePacer pacer(refresh);

  gfx::Screen screen(width, height);
  std::unique_ptr<DrawingThreads> drawing = MakeTestPictureThreads();
  drawing->Start(screen, command.unpaced ? std::chrono::nanoseconds(0) : pacer.period());

  PresentStats stats;
  DismissalRule dismissal;
  uint32_t presentedSerial = 0;
  std::array<uint32_t, gfx::kPaletteSize> presentedPalette{};
  bool mustPresent = true;
  bool closing = false;
  while (!closing) {
    auto now = FramePacer::Clock::now();
    int waitMs = 0;
    if (!session.presenter->PacesItself() && now < pacer.deadline())
      waitMs = static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(pacer.deadline() - now).count());
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, waitMs)) {
      do {
        if (event.type == SDL_WINDOWEVENT &&
            (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
             event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)) {
          session.presenter->Invalidate();
          mustPresent = true;
        }
        if (auto message = TranslateEvent(event); message && dismissal.ShouldClose(*message))
          closing = true;
      } while (SDL_PollEvent(&event));
    }
    if (StopRequested()) closing = true;

    now = FramePacer::Clock::now();
    if (session.presenter->PacesItself() || now >= pacer.deadline()) {
      pacer.Advance(now);
      // Nothing new to show: skip the conversion.
      auto palette = screen.PaletteWords();
      uint32_t serial = screen.PublishedSerial();
      if (mustPresent || serial != presentedSerial || palette != presentedPalette) {
        auto started = FramePacer::Clock::now();
        session.presenter->Present(screen);
        stats.Record(FramePacer::Clock::now() - started);
        presentedSerial = serial;
        presentedPalette = palette;
        mustPresent = false;
      }
    }
  }
  drawing->Stop();
  if (command.stats) stats.Print(session.presenter->Name(), width, height);
  return 0;
}

}  // namespace lumox::host
