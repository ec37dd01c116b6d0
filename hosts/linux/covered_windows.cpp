#include "covered_windows.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

namespace lumox::host {
namespace {

int IgnoreXError(Display*, XErrorEvent*) { return 0; }

}  // namespace

struct CoveredWindows::Connection {
  Display* display = nullptr;
};

CoveredWindows::CoveredWindows() {
  if (Display* display = XOpenDisplay(nullptr))
    x_ = std::make_unique<Connection>(Connection{display});
}

CoveredWindows::~CoveredWindows() {
  if (x_) XCloseDisplay(x_->display);
}

void CoveredWindows::Watch(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!x_ || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
  const Window id = info.info.x11.window;
  // The window is SDL's and exists; should it be gone already, the error
  // must not end the process.
  auto previous = XSetErrorHandler(IgnoreXError);
  XSelectInput(x_->display, id, VisibilityChangeMask);
  XSync(x_->display, False);
  XSetErrorHandler(previous);
  watched_.push_back({window, id, false});
}

bool CoveredWindows::Covered(SDL_Window* window) const {
  for (const Watched& w : watched_)
    if (w.window == window) return w.covered;
  return false;
}

void CoveredWindows::ReadEvents() {
  if (!x_) return;
  while (XPending(x_->display)) {
    XEvent event;
    XNextEvent(x_->display, &event);
    if (event.type != VisibilityNotify) continue;
    for (Watched& w : watched_)
      if (w.id == event.xvisibility.window)
        w.covered = event.xvisibility.state == VisibilityFullyObscured;
  }
}

}  // namespace lumox::host
