// Runs inside a foreign X11 window: a preview (/p, /l) or the screen-saver
// daemon's window (-root, -window-id, $XSCREENSAVER_WINDOW).
//
// The window's owner handles input, so this run never dismisses itself; it
// ends on SIGTERM, SIGINT or SIGHUP, or when the window goes away, within
// one display refresh (the loop wakes on the X connection and the signal
// pipe, and never sleeps longer than one refresh).
#include <poll.h>

#include <array>
#include <chrono>
#include <cstdio>

#include "drawing_threads.h"
#include "frame_pacer.h"
#include "gfx/screen.h"
#include "present_stats.h"
#include "stop_signal.h"
#include "window_run.h"
#include "x11_window_target.h"

namespace lumox::host {

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

  FramePacer pacer(60.0);
  gfx::Screen screen(target.width(), target.height());
  std::unique_ptr<DrawingThreads> drawing = MakeTestPictureThreads();
  drawing->Start(screen, command.unpaced ? std::chrono::nanoseconds(0) : pacer.period());

  PresentStats stats;
  uint32_t presentedSerial = 0;
  std::array<uint32_t, gfx::kPaletteSize> presentedPalette{};
  bool first = true;
  std::array<pollfd, 2> waits = {pollfd{target.ConnectionDescriptor(), POLLIN, 0},
                                 pollfd{WakeDescriptor(), POLLIN, 0}};
  while (!StopRequested() && !target.WindowGone()) {
    auto now = FramePacer::Clock::now();
    int waitMs = now < pacer.deadline()
                     ? static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(pacer.deadline() - now).count())
                     : 0;
    poll(waits.data(), waits[1].fd >= 0 ? 2 : 1, waitMs);
    target.DrainEvents();
    if (StopRequested() || target.WindowGone()) break;

    now = FramePacer::Clock::now();
    if (now < pacer.deadline()) continue;
    pacer.Advance(now);
    auto palette = screen.PaletteWords();
    uint32_t serial = screen.PublishedSerial();
    if (first || serial != presentedSerial || palette != presentedPalette) {
      auto started = FramePacer::Clock::now();
      target.Present(screen);
      stats.Record(FramePacer::Clock::now() - started);
      presentedSerial = serial;
      presentedPalette = palette;
      first = false;
    }
  }
  drawing->Stop();
  if (command.stats) stats.Print(target.PathName(), target.width(), target.height());
  return 0;
}

}  // namespace lumox::host
