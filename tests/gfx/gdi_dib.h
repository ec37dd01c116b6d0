// An 8-bit top-down DIB section selected into a memory DC: where the GDI
// reference tests draw with the platform's GDI (Windows builds only).
//
// With the grey ramp, entry i is grey level i, so a GDI colour RGB(i, i, i)
// draws index i and GDI's pixels read back as the canvas's physical indices.
// With the static colours, the system colours land on the entries the canvas
// uses for them, and saver entries get saturated colours no grey comes near,
// or the colours of a saver palette when one is given.
#pragma once

#include <windows.h>

#include <cstring>

#include "gfx/color.h"
#include "gfx/palette_readback.h"
#include "gfx/surface.h"

namespace lumox::gfx::testing {

enum class DibColours { GreyRamp, Static };

class GdiDib {
 public:
  GdiDib(const Surface& start, DibColours colours, const LogicalPalette* saverColours = nullptr)
      : width_(start.width()), height_(start.height()) {
    struct {
      BITMAPINFOHEADER header;
      RGBQUAD colors[256];
    } info{};
    info.header = {sizeof(BITMAPINFOHEADER), width_, -height_, 1, 8, BI_RGB, 0, 0, 0, 256, 0};
    for (int i = 0; i < 256; ++i) {
      const BYTE level = static_cast<BYTE>(i);
      const Rgb c = colours == DibColours::GreyRamp ? Rgb{level, level, level}
                    : IsStaticEntry(i)              ? StaticColor(i)
                    : saverColours != nullptr       ? (*saverColours)[i - kFirstSaverEntry]
                                                    : Rgb{level, 0, 255};
      info.colors[i] = {c.blue, c.green, c.red, 0};
    }
    dc_ = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits,
                               nullptr, 0);
    bits_ = static_cast<uint8_t*>(bits);
    old_ = SelectObject(dc_, bitmap_);
    SetStretchBltMode(dc_, COLORONCOLOR);
    for (int y = 0; y < height_; ++y) std::memcpy(bits_ + y * Stride(), start.row(y), width_);
  }
  ~GdiDib() {
    GdiFlush();
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  GdiDib(const GdiDib&) = delete;
  GdiDib& operator=(const GdiDib&) = delete;

  HDC dc() const { return dc_; }
  Surface Pixels() const {
    GdiFlush();
    Surface surface(width_, height_);
    for (int y = 0; y < height_; ++y) std::memcpy(surface.row(y), bits_ + y * Stride(), width_);
    return surface;
  }

 private:
  int Stride() const { return (width_ + 3) & ~3; }
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  uint8_t* bits_;
};

}  // namespace lumox::gfx::testing
