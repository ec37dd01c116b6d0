#include "running_saver.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>

namespace lumox::host {
namespace {

constexpr const char* kSaverTitle = "Screen Saver";
constexpr const char* kSaverClass = "lumox";
// Window managers put a frame or two around a top-level window.
constexpr int kSearchDepth = 3;

int IgnoreXError(Display*, XErrorEvent*) { return 0; }

bool IsSaverWindow(Display* display, Window window) {
  XClassHint hint{};
  if (!XGetClassHint(display, window, &hint)) return false;
  bool ours = hint.res_class && std::strcmp(hint.res_class, kSaverClass) == 0;
  if (hint.res_name) XFree(hint.res_name);
  if (hint.res_class) XFree(hint.res_class);
  if (!ours) return false;
  char* title = nullptr;
  bool named = XFetchName(display, window, &title) && title && std::strcmp(title, kSaverTitle) == 0;
  if (title) XFree(title);
  return named;
}

Window FindSaverWindow(Display* display, Window parent, int depth) {
  Window root = 0, ignored = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, parent, &root, &ignored, &children, &count)) return 0;
  Window found = 0;
  for (unsigned i = 0; i < count && !found; ++i)
    if (IsSaverWindow(display, children[i])) found = children[i];
  for (unsigned i = 0; i < count && !found && depth > 1; ++i)
    found = FindSaverWindow(display, children[i], depth - 1);
  if (children) XFree(children);
  return found;
}

// Raises the window and asks the window manager, if any, to activate it.
void BringToFront(Display* display, Window window) {
  XRaiseWindow(display, window);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = 2;  // from a pager-like tool: honour it
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, DefaultRootWindow(display), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XSync(display, False);
}

}  // namespace

bool RaiseRunningSaver() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  // A window may vanish while the tree is walked.
  auto previous = XSetErrorHandler(IgnoreXError);
  Window window = FindSaverWindow(display, DefaultRootWindow(display), kSearchDepth);
  if (window) BringToFront(display, window);
  XSetErrorHandler(previous);
  XCloseDisplay(display);
  return window != 0;
}

}  // namespace lumox::host
