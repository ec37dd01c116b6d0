// Text through GDI's stock variable-pitch font, as the overlays use it,
// against GDI's own centred text.
#include "gfx/gdi_font.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "gfx/canvas.h"
#include "gfx/picture.h"
#include "gfx/surface.h"

namespace lumox::gfx {
namespace {

// What DrawText with DT_CENTER | DT_VCENTER draws in the box, white on
// black, read from an 8-bit grey-ramp DIB (so white is index 255).
Surface GdiCentredText(int width, int height, const RECT& box, const char* text) {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
  } info{};
  info.header = {sizeof(BITMAPINFOHEADER), width, -height, 1, 8, BI_RGB, 0, 0, 0, 256, 0};
  for (int i = 0; i < 256; ++i)
    info.colors[i] = {static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
  HDC dc = CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  HBITMAP bitmap =
      CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  std::memset(bits, 0, static_cast<size_t>((width + 3) & ~3) * height);
  SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  RECT r = box;
  DrawTextA(dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  GdiFlush();
  Surface surface(width, height);
  for (int y = 0; y < height; ++y)
    std::memcpy(surface.row(y), static_cast<uint8_t*>(bits) + y * ((width + 3) & ~3), width);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return surface;
}

TEST(GdiFont, GlyphsLandWhereGdiCentresThem) {
  auto font = OpenGdiFont();
  ASSERT_NE(font, nullptr);
  EXPECT_GT(font->LineHeight(), 6);
  EXPECT_EQ(font->TextWidth(""), 0);
  for (const char* text : {"Lumox", "Wig 1.5 jq", "i"}) {
    // Even room both ways, so there is no half pixel to round.
    const int boxWidth = font->TextWidth(text) + 20, boxHeight = font->LineHeight() + 10;
    const RECT box{3, 2, 3 + boxWidth, 2 + boxHeight};
    const Surface expected = GdiCentredText(boxWidth + 6, boxHeight + 4, box, text);
    EXPECT_EQ(testing::Drawn(boxWidth + 6, boxHeight + 4,
                             [&](Canvas& c) {
                               c.SetFont(font.get());
                               c.DrawCenteredText(box.left, box.top, box.right, box.bottom, text,
                                                  kWhite);
                             }),
              testing::Picture(expected))
        << text;
    EXPECT_GT(testing::CountPixels(expected, 255), 4) << text;
  }
  // A second rendering of the same line comes from the cache, unchanged.
  CoverageMask first, again;
  font->RasterizeLine("Lumox", first);
  font->RasterizeLine("Lumox", again);
  EXPECT_EQ(again.coverage, first.coverage);
}

}  // namespace
}  // namespace lumox::gfx
