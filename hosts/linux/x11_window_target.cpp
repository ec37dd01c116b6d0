#include "x11_window_target.h"

// gfx before Xlib, whose macros would otherwise reach it.
#include "gfx/present_tracker.h"
#include "gfx/screen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <unistd.h>

#include <cassert>
#include <cstddef>
#include <cstdlib>
#include <utility>
#include <vector>

#include "glx_presenter.h"

namespace lumox::host {
namespace {

// Xlib reports errors through one process-wide handler; only the main
// thread talks to X, so plain variables do.
Window gWatchedWindow = 0;
bool gWatchedWindowGone = false;
int gLastErrorCode = 0;

int OnXError(Display*, XErrorEvent* event) {
  gLastErrorCode = event->error_code;
  if ((event->error_code == BadWindow || event->error_code == BadDrawable) &&
      event->resourceid == gWatchedWindow)
    gWatchedWindowGone = true;
  return 0;
}

int OnDisplayLost(Display*) {
  static const char kMessage[] = "lumox: the X display went away\n";
  ssize_t ignored = write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
  (void)ignored;
  _exit(1);
}

}  // namespace

void EndProcessOnDisplayLoss() { XSetIOErrorHandler(OnDisplayLost); }

struct X11WindowTarget::Connection {
  Display* display = nullptr;
  Window window = 0;
  Visual* visual = nullptr;
  int depth = 0;
  GC gc = nullptr;
  XImage* image = nullptr;
  bool shm = false;
  XShmSegmentInfo shmInfo{};
  // The event the server sends when it has read the shared image, and
  // whether one is still to come.
  int shmCompletionType = -1;
  bool putPending = false;
  bool mapped = true;
  bool fullyObscured = false;
  bool exposed = false;
  // The size the last ConfigureNotify gave.
  int configuredWidth = 0;
  int configuredHeight = 0;
  // Set when frames go through OpenGL; there is no image then.
  std::unique_ptr<GlxPresenter> gl;
};

X11WindowTarget::X11WindowTarget() : x_(std::make_unique<Connection>()) {}

const char* X11WindowTarget::PathName() const {
  return x_->gl ? "gl" : x_->shm ? "xshm" : "xputimage";
}

X11WindowTarget::~X11WindowTarget() {
  if (!x_->display) return;
  x_->gl.reset();
  DestroyImage();
  if (x_->gc) XFreeGC(x_->display, x_->gc);
  XCloseDisplay(x_->display);
  gWatchedWindow = 0;
}

X11WindowTarget::OpenResult X11WindowTarget::Open(uint64_t window, std::string& error) {
  x_->display = XOpenDisplay(nullptr);
  if (!x_->display) {
    error = "cannot open the X display";
    return OpenResult::NoDisplay;
  }
  XSetErrorHandler(OnXError);
  x_->window = window ? static_cast<Window>(window) : DefaultRootWindow(x_->display);
  gWatchedWindow = x_->window;
  gWatchedWindowGone = false;

  XWindowAttributes attributes;
  if (!XGetWindowAttributes(x_->display, x_->window, &attributes) || gWatchedWindowGone) {
    error = "window " + std::to_string(window) + " does not exist";
    return OpenResult::NotAWindow;
  }
  x_->visual = attributes.visual;
  x_->depth = attributes.depth;
  width_ = x_->configuredWidth = attributes.width;
  height_ = x_->configuredHeight = attributes.height;
  x_->mapped = attributes.map_state != IsUnmapped;
  ReadScreenSize();
  if ((x_->depth != 24 && x_->depth != 32) || x_->visual->red_mask != 0xFF0000 ||
      x_->visual->green_mask != 0x00FF00 || x_->visual->blue_mask != 0x0000FF) {
    error = "the window's visual is not 24-bit true colour";
    return OpenResult::Unsupported;
  }
  // Selecting events on someone else's window is allowed and does not
  // disturb its owner's own selection.
  XSelectInput(x_->display, x_->window, StructureNotifyMask | VisibilityChangeMask | ExposureMask);
  x_->gc = XCreateGC(x_->display, x_->window, 0, nullptr);
  XSync(x_->display, False);
  if (gWatchedWindowGone) {
    error = "window " + std::to_string(window) + " went away";
    return OpenResult::NotAWindow;
  }
  if (!CreateImage()) {
    error = "cannot make an image of " + std::to_string(width_) + "x" + std::to_string(height_);
    return OpenResult::Unsupported;
  }
  return OpenResult::Ok;
}

void X11WindowTarget::ReadScreenSize() {
  // The root window's own size: the Screen record Xlib keeps is not
  // updated when RandR changes the screen.
  XWindowAttributes root;
  if (XGetWindowAttributes(x_->display, DefaultRootWindow(x_->display), &root)) {
    screenWidth_ = root.width;
    screenHeight_ = root.height;
  }
}

bool X11WindowTarget::CreateImage() { return CreateSharedImage() || CreatePlainImage(); }

void X11WindowTarget::DestroyImage() {
  if (!x_->image) return;
  if (x_->shm) {
    XShmDetach(x_->display, &x_->shmInfo);
    XSync(x_->display, False);
    x_->image->data = nullptr;
    shmdt(x_->shmInfo.shmaddr);
    x_->shm = false;
  }
  XDestroyImage(x_->image);  // frees the pixel buffer of a plain image too
  x_->image = nullptr;
}

bool X11WindowTarget::Resize(std::string& error) {
  DestroyImage();
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(x_->display, x_->window, &attributes) || gWatchedWindowGone) {
    error = "the window went away";
    return false;
  }
  width_ = x_->configuredWidth = attributes.width;
  height_ = x_->configuredHeight = attributes.height;
  ReadScreenSize();
  if (!x_->gl && !CreateImage()) {
    error = "cannot make an image of " + std::to_string(width_) + "x" + std::to_string(height_);
    return false;
  }
  return true;
}

bool X11WindowTarget::UseOpenGl(bool hardwareOnly, std::string& error) {
  x_->gl = GlxPresenter::Make(x_->display, x_->window, hardwareOnly, error);
  if (!x_->gl) return false;
  DestroyImage();  // after a round trip: the server has read the last frame
  x_->putPending = false;
  return true;
}

bool X11WindowTarget::CreateSharedImage() {
  if (!XShmQueryExtension(x_->display)) return false;
  x_->image = XShmCreateImage(x_->display, x_->visual, static_cast<unsigned>(x_->depth), ZPixmap, nullptr,
                           &x_->shmInfo, static_cast<unsigned>(width_), static_cast<unsigned>(height_));
  if (!x_->image) return false;
  if (x_->image->bits_per_pixel != 32) {
    XDestroyImage(x_->image);
    x_->image = nullptr;
    return false;
  }
  x_->shmInfo.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(x_->image->bytes_per_line) * height_,
                          IPC_CREAT | 0600);
  if (x_->shmInfo.shmid < 0) {
    XDestroyImage(x_->image);
    x_->image = nullptr;
    return false;
  }
  x_->shmInfo.shmaddr = x_->image->data = static_cast<char*>(shmat(x_->shmInfo.shmid, nullptr, 0));
  x_->shmInfo.readOnly = False;
  gLastErrorCode = 0;
  bool attached = x_->shmInfo.shmaddr != reinterpret_cast<char*>(-1) && XShmAttach(x_->display, &x_->shmInfo);
  XSync(x_->display, False);
  // Marked for removal now: the segment goes when both sides detach, even
  // if this process is killed.
  shmctl(x_->shmInfo.shmid, IPC_RMID, nullptr);
  if (!attached || gLastErrorCode != 0) {
    if (x_->shmInfo.shmaddr != reinterpret_cast<char*>(-1)) shmdt(x_->shmInfo.shmaddr);
    x_->image->data = nullptr;
    XDestroyImage(x_->image);
    x_->image = nullptr;
    return false;
  }
  x_->shm = true;
  x_->shmCompletionType = XShmGetEventBase(x_->display) + ShmCompletion;
  return true;
}

bool X11WindowTarget::CreatePlainImage() {
  auto* pixels = static_cast<char*>(std::calloc(static_cast<size_t>(width_) * height_, 4));
  if (!pixels) return false;
  x_->image = XCreateImage(x_->display, x_->visual, static_cast<unsigned>(x_->depth), ZPixmap, 0, pixels,
                        static_cast<unsigned>(width_), static_cast<unsigned>(height_), 32,
                        width_ * 4);
  if (!x_->image) {
    std::free(pixels);
    return false;
  }
  return true;
}

void X11WindowTarget::DrainEvents() {
  while (XPending(x_->display) > 0) {
    XEvent event;
    XNextEvent(x_->display, &event);
    switch (event.type) {
      case DestroyNotify:
        if (event.xdestroywindow.window == x_->window) gWatchedWindowGone = true;
        break;
      case MapNotify:
        x_->mapped = true;
        x_->exposed = true;
        break;
      case UnmapNotify:
        x_->mapped = false;
        break;
      case VisibilityNotify:
        x_->fullyObscured = event.xvisibility.state == VisibilityFullyObscured;
        if (!x_->fullyObscured) x_->exposed = true;
        break;
      case Expose:
        x_->exposed = true;
        break;
      case ConfigureNotify:
        if (event.xconfigure.window == x_->window) {
          x_->configuredWidth = event.xconfigure.width;
          x_->configuredHeight = event.xconfigure.height;
        }
        break;
      default:
        if (event.type == x_->shmCompletionType) x_->putPending = false;
        break;
    }
  }
}

bool X11WindowTarget::WindowGone() const { return gWatchedWindowGone; }

bool X11WindowTarget::Showing() const { return x_->mapped && !x_->fullyObscured; }

bool X11WindowTarget::TakeExposed() { return std::exchange(x_->exposed, false); }

bool X11WindowTarget::SizeChanged() const {
  return x_->configuredWidth != width_ || x_->configuredHeight != height_;
}

bool X11WindowTarget::Present(gfx::Screen& screen, gfx::PresentTracker& tracker) {
  // The screen is made at the window's size when the run begins.
  assert(screen.width() == width_ && screen.height() == height_);
  if (gWatchedWindowGone) return false;
  if (x_->gl) return x_->gl->Present(screen, tracker);
  const gfx::ChangedArea area = tracker.Take(screen);
  if (area.Empty() || !x_->image) return false;
  PresentConverted(screen, area, tracker.palette());
  return true;
}

void X11WindowTarget::PresentConverted(const gfx::Screen& screen, const gfx::ChangedArea& area,
                                       const uint32_t* palette) {
  // The server reads the shared image after the call that sends it
  // returns: the last frame's image is free once its completion event
  // came. By now (a refresh later) it nearly always has; if not, a round
  // trip makes sure, and the completion it brought is read off the queue
  // at once: left there, it would later pass for the next frame's and
  // free the image while the server still reads it.
  if (x_->putPending) DrainEvents();
  if (x_->putPending) {
    XSync(x_->display, False);
    DrainEvents();
  }
  x_->putPending = false;
  // Each rectangle is converted into an image of its own size, packed one
  // after another in the shared segment (they never overlap, so they fit).
  // The server copies an image sent whole with a plain row copy, but a part
  // of a wider one through a slower general blit; a whole frame is one
  // rectangle at the start, as before.
  const std::vector<gfx::Rect>& rects = area.Rects();
  char* next = x_->image->data;
  for (const gfx::Rect& r : rects) {
    XImage part = *x_->image;
    part.width = r.right - r.left;
    part.height = r.bottom - r.top;
    part.bytes_per_line = part.width * 4;
    part.data = next;
    next += static_cast<ptrdiff_t>(part.bytes_per_line) * part.height;
    screen.Present(reinterpret_cast<uint32_t*>(part.data), part.bytes_per_line, r, palette);
    if (x_->shm) {
      // Requests are handled in order: the last one's completion covers all.
      const bool last = &r == &rects.back();
      XShmPutImage(x_->display, x_->window, x_->gc, &part, 0, 0, r.left, r.top, part.width,
                   part.height, last ? True : False);
    } else {
      // Xlib has sent or copied the pixels by the time this returns.
      XPutImage(x_->display, x_->window, x_->gc, &part, 0, 0, r.left, r.top, part.width,
                part.height);
    }
  }
  // Sent now, not waited for: errors about a vanished window arrive with
  // the next events read.
  XFlush(x_->display);
  x_->putPending = x_->shm && !rects.empty();
}

}  // namespace lumox::host
