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
  const gfx::RowBand rows = tracker_.Take(screen);
  if (rows.Empty()) return;
  uint32_t* band = pixels_.data() + static_cast<size_t>(rows.top) * sourceWidth;
  // 0x00RRGGBB words are exactly a 32-bit DIB's blue, green, red, unused.
  screen.Present(band, sourceWidth * 4, rows, tracker_.palette());

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = sourceWidth;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetStretchBltMode(dc, COLORONCOLOR);
  if (width == sourceWidth && height == sourceHeight) {
    // The band alone as a top-down DIB of its own: StretchDIBits counts a
    // top-down DIB's source rows from its bottom, which makes a band of
    // the whole one easy to get wrong.
    info.bmiHeader.biHeight = -rows.Height();
    StretchDIBits(dc, 0, rows.top, sourceWidth, rows.Height(), 0, 0, sourceWidth, rows.Height(),
                  band, &info, DIB_RGB_COLORS, SRCCOPY);
  } else {
    // A stretched band's edges would not fall where a whole stretch puts
    // them: the buffer (up to date in every row) is drawn whole.
    info.bmiHeader.biHeight = -sourceHeight;  // top-down, like the surface
    StretchDIBits(dc, 0, 0, width, height, 0, 0, sourceWidth, sourceHeight, pixels_.data(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
  }
  ++presentedFrames_;
}

}  // namespace lumox::win32
