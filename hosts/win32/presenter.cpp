#include "presenter.h"

#include "gfx/screen.h"

namespace lumox::win32 {

void Presenter::Present(gfx::Screen& screen, HDC dc, int width, int height) {
  const int sourceWidth = screen.width();
  const int sourceHeight = screen.height();
  if (sourceWidth <= 0 || sourceHeight <= 0 || width <= 0 || height <= 0) return;
  const size_t pixelCount = static_cast<size_t>(sourceWidth) * static_cast<size_t>(sourceHeight);
  if (pixels_.size() != pixelCount || width != lastWidth_ || height != lastHeight_) {
    pixels_.resize(pixelCount);
    lastWidth_ = width;
    lastHeight_ = height;
    tracker_.Invalidate();
  }
  const gfx::ChangedArea area = tracker_.Take(screen);
  if (area.Empty()) return;
  const std::vector<gfx::Rect> rects = area.Rects();
  // 0x00RRGGBB words are exactly a 32-bit DIB's blue, green, red, unused.
  for (const gfx::Rect& r : rects) {
    screen.Present(pixels_.data() + static_cast<size_t>(r.top) * sourceWidth + r.left,
                   sourceWidth * 4, r, tracker_.palette());
  }

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = sourceWidth;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetStretchBltMode(dc, COLORONCOLOR);
  if (width == sourceWidth && height == sourceHeight) {
    for (const gfx::Rect& r : rects) {
      // The rectangle's rows alone as a top-down DIB of their own:
      // StretchDIBits counts a top-down DIB's source rows from its bottom,
      // which makes rows of the whole one easy to get wrong.
      const int rows = r.bottom - r.top;
      info.bmiHeader.biHeight = -rows;
      StretchDIBits(dc, r.left, r.top, r.right - r.left, rows, r.left, 0, r.right - r.left, rows,
                    pixels_.data() + static_cast<size_t>(r.top) * sourceWidth, &info,
                    DIB_RGB_COLORS, SRCCOPY);
    }
  } else {
    // A stretched rectangle's edges would not fall where a whole stretch
    // puts them: the buffer (up to date everywhere) is drawn whole.
    info.bmiHeader.biHeight = -sourceHeight;  // top-down, like the surface
    StretchDIBits(dc, 0, 0, width, height, 0, 0, sourceWidth, sourceHeight, pixels_.data(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
  }
  ++presentedFrames_;
}

}  // namespace lumox::win32
