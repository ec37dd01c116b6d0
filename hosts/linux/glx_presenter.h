// Shows the screen in an X window this program did not create (the
// embedded runs' target) through GLX, with no colour conversion on the CPU
// (gl_palette_lookup.h). The context is made for the window's own visual,
// so any window whose visual OpenGL can draw into will do. Made and used
// on one thread, whose current context it stays.
#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <string>

namespace lumox::gfx {
class PresentTracker;
class Screen;
}

namespace lumox::host {

class GlPaletteLookup;

class GlxPresenter {
 public:
  // Null with error set when OpenGL cannot draw into the window, or
  // (hardwareOnly) when the driver renders in software.
  static std::unique_ptr<GlxPresenter> Make(Display* display, Window window, bool hardwareOnly,
                                            std::string& error);
  ~GlxPresenter();
  GlxPresenter(const GlxPresenter&) = delete;
  GlxPresenter& operator=(const GlxPresenter&) = delete;

  // Brings the window up to date with what changed since the tracker's
  // last take; the screen is the window's size. False when nothing needed
  // showing (or drawing failed).
  bool Present(gfx::Screen& screen, gfx::PresentTracker& tracker);

 private:
  struct Context;
  explicit GlxPresenter(std::unique_ptr<Context> context);
  std::unique_ptr<Context> gl_;
};

}  // namespace lumox::host
