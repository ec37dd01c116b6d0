// Shows the core's 8-bit screen in a window: the published frame goes
// through the current palette into a 32-bit buffer (gfx::Screen::Present),
// which StretchDIBits puts onto the client area at any size.
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

namespace lumox::gfx {
class Screen;
}

namespace lumox::win32 {

class Presenter {
 public:
  // Draws the screen's latest frame, stretched to width x height at (0, 0).
  void Present(const gfx::Screen& screen, HDC dc, int width, int height);
  uint32_t presentedFrames() const { return presentedFrames_; }

 private:
  std::vector<uint32_t> pixels_;
  uint32_t presentedFrames_ = 0;
};

}  // namespace lumox::win32
