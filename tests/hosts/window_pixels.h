// What the X server shows in a window, for the presenting tests.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <vector>

namespace lumox::host {

// The window's top-left width x height pixels as 0x00RRGGBB words; empty
// when the server cannot read them.
inline std::vector<uint32_t> WindowPixels(Display* display, Window window, int width,
                                          int height) {
  XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (!image) return {};
  std::vector<uint32_t> pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      pixels.push_back(static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu);
  XDestroyImage(image);
  return pixels;
}

}  // namespace lumox::host
