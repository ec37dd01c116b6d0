#include "presenter.h"

#include "gfx/screen.h"

namespace lumox::win32 {

void Presenter::Present(const gfx::Screen& screen, HDC dc, int width, int height) {
  const int sourceWidth = screen.width();
  const int sourceHeight = screen.height();
  if (sourceWidth <= 0 || sourceHeight <= 0 || width <= 0 || height <= 0) return;
  pixels_.resize(static_cast<size_t>(sourceWidth) * static_cast<size_t>(sourceHeight));
  // 0x00RRGGBB words are exactly a 32-bit DIB's blue, green, red, unused.
  screen.Present(pixels_.data(), sourceWidth * 4);

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = sourceWidth;
  info.bmiHeader.biHeight = -sourceHeight;  // top-down, like the surface
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetStretchBltMode(dc, COLORONCOLOR);
  StretchDIBits(dc, 0, 0, width, height, 0, 0, sourceWidth, sourceHeight, pixels_.data(), &info,
                DIB_RGB_COLORS, SRCCOPY);
  ++presentedFrames_;
}

}  // namespace lumox::win32
