// Shows the core's 8-bit screen in a window: the published frame goes
// through the palette into a 32-bit buffer (gfx::Screen::Present), which
// StretchDIBits puts onto the client area at any size.
//
// Only what changed is converted and drawn (gfx::PresentTracker): nothing
// when nothing changed, the changed rectangles when only drawing changed
// and the window has the screen's size, the whole frame otherwise.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>
#include <vector>

#include "gfx/present_tracker.h"

namespace lumox::gfx {
class Screen;
}

namespace lumox::win32 {

class Presenter {
 public:
  // Brings the window up to date with the screen's latest frame, stretched
  // to width x height at (0, 0).
  void Present(gfx::Screen& screen, HDC dc, int width, int height);
  // The window's contents are gone (WM_PAINT): the next Present draws all.
  void Invalidate() { tracker_.Invalidate(); }
  uint32_t presentedFrames() const { return presentedFrames_; }

 private:
  gfx::PresentTracker tracker_;
  std::vector<uint32_t> pixels_;
  int lastWidth_ = 0;
  int lastHeight_ = 0;
  uint32_t presentedFrames_ = 0;
};

}  // namespace lumox::win32
