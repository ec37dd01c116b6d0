// Drawing into a window this program did not create: the preview window a
// settings dialog hands over (/p ID), or the screen-saver daemon's window
// (-window-id ID, $XSCREENSAVER_WINDOW) or the root window (-root).
//
// Plain Xlib rather than a toolkit: the window belongs to someone else and
// may vanish at any moment. The target listens for its destruction
// (StructureNotify) and turns the X errors a vanished window causes
// (BadWindow, BadDrawable) into WindowGone() instead of the default
// handler's exit. Frames go out with XShm when the server offers it, with
// XPutImage otherwise; or, once asked to, through OpenGL (glx_presenter.h).
//
// The target also follows what the owner does to the window: unmapped or
// fully covered, nothing is seen and the host presents nothing; exposed,
// the window needs a whole frame again; resized (a monitor change resizes
// the root window too), the host starts its run afresh at the new size.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "gfx/surface.h"

namespace lumox::gfx {
class PresentTracker;
class Screen;
}

namespace lumox::host {

class X11WindowTarget {
 public:
  X11WindowTarget();
  ~X11WindowTarget();
  X11WindowTarget(const X11WindowTarget&) = delete;
  X11WindowTarget& operator=(const X11WindowTarget&) = delete;

  enum class OpenResult { Ok, NoDisplay, NotAWindow, Unsupported };
  // window 0 means the root window.
  OpenResult Open(uint64_t window, std::string& error);

  int width() const { return width_; }
  int height() const { return height_; }
  int screenWidth() const { return screenWidth_; }
  int screenHeight() const { return screenHeight_; }
  // Reads every queued event; notes the window's destruction, mapping,
  // visibility, exposure and size.
  void DrainEvents();
  bool WindowGone() const;
  // Mapped and not fully covered.
  bool Showing() const;
  // The window showed (part of) its background since the last call.
  bool TakeExposed();
  // The window's size is no longer the size the image was made for.
  bool SizeChanged() const;
  // Makes the image at the window's current size (and reads the screen's
  // size again). False when no image can be made.
  bool Resize(std::string& error);
  // From now on presents through OpenGL, the colours looked up on the GPU,
  // instead of converting them on the CPU. hardwareOnly refuses OpenGL that
  // renders in software. False with error set when OpenGL cannot draw into
  // the window; the target then stays as it was.
  bool UseOpenGl(bool hardwareOnly, std::string& error);
  // Brings the window up to date with what changed since the tracker's
  // last take, and sends it without waiting for the server: errors about a
  // vanished window arrive with the next DrainEvents. False when nothing
  // needed showing. The screen is the window's size.
  bool Present(gfx::Screen& screen, gfx::PresentTracker& tracker);
  const char* PathName() const;

 private:
  // The Xlib side, kept out of this header: Xlib's macros (None, Status,
  // Bool) would clash with the names of the code that includes it.
  struct Connection;
  bool CreateImage();
  bool CreateSharedImage();
  bool CreatePlainImage();
  void DestroyImage();
  void ReadScreenSize();
  void PresentConverted(const gfx::Screen& screen, const gfx::ChangedArea& area,
                        const uint32_t* palette);

  std::unique_ptr<Connection> x_;
  int width_ = 0;
  int height_ = 0;
  int screenWidth_ = 0;
  int screenHeight_ = 0;
};

// When the X server goes away (killed, connection lost) nothing can be
// drawn and the connection's state is gone: end the process at once with
// exit code 1 and a one-line message, rather than through Xlib's default,
// which runs the exit handlers while the drawing threads still run.
// Process-wide; also covers SDL's connection.
void EndProcessOnDisplayLoss();

}  // namespace lumox::host
