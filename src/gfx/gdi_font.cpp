#include "gfx/gdi_font.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

namespace lumox::gfx {

namespace {

// Rendered lines kept at most; the overlays use a handful.
constexpr size_t kCachedLines = 64;

class GdiFont final : public FontRasterizer {
 public:
  explicit GdiFont(HDC dc) : dc_(dc) {
    // The stock font without smoothing: an 8-bit screen draws text in one
    // colour, and a system that smooths text in 32-bit bitmaps would
    // otherwise hand back blended edges, which the threshold thickens.
    LOGFONTA description{};
    GetObjectA(GetStockObject(ANSI_VAR_FONT), sizeof(description), &description);
    description.lfQuality = NONANTIALIASED_QUALITY;
    font_ = CreateFontIndirectA(&description);
    SelectObject(dc_, font_ ? font_ : GetStockObject(ANSI_VAR_FONT));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc_, &metrics);
    lineHeight_ = metrics.tmHeight + metrics.tmExternalLeading;
  }
  ~GdiFont() override {
    DeleteDC(dc_);
    if (font_) DeleteObject(font_);
  }
  GdiFont(const GdiFont&) = delete;
  GdiFont& operator=(const GdiFont&) = delete;

  int32_t LineHeight() const override { return lineHeight_; }

  int32_t TextWidth(std::string_view line) override {
    std::lock_guard lock(mutex_);
    return Measure(line);
  }

  void RasterizeLine(std::string_view line, CoverageMask& mask) override {
    std::lock_guard lock(mutex_);
    std::string key(line);
    auto cached = cache_.find(key);
    if (cached == cache_.end()) {
      if (cache_.size() >= kCachedLines) cache_.clear();
      cached = cache_.emplace(key, Render(line)).first;
    }
    mask = cached->second;
  }

 private:
  int32_t Measure(std::string_view line) {
    if (line.empty()) return 0;
    SIZE size{};
    GetTextExtentPoint32A(dc_, line.data(), static_cast<int>(line.size()), &size);
    return size.cx;
  }

  // White text on black in a 32-bit top-down bitmap; the green channel is
  // the coverage (the font is not smoothed, so it is 0 or 255). The bitmap
  // runs half a line height past the advance, so that the part of the last
  // glyph that overhangs its advance (the right column of an italic or
  // round letter) is kept; empty columns past the advance are cut off.
  CoverageMask Render(std::string_view line) {
    CoverageMask mask;
    const int32_t advance = Measure(line);
    mask.width = advance > 0 ? advance + lineHeight_ / 2 + 1 : 0;
    mask.height = lineHeight_;
    mask.coverage.assign(static_cast<size_t>(mask.width) * static_cast<size_t>(mask.height), 0);
    if (mask.width <= 0 || mask.height <= 0) return mask;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = mask.width;
    info.bmiHeader.biHeight = -mask.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return mask;
    HGDIOBJ previous = SelectObject(dc_, bitmap);
    std::memset(bits, 0, static_cast<size_t>(mask.width) * static_cast<size_t>(mask.height) * 4);
    SetBkMode(dc_, TRANSPARENT);
    SetTextColor(dc_, RGB(255, 255, 255));
    TextOutA(dc_, 0, 0, line.data(), static_cast<int>(line.size()));
    GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    int32_t inked = advance;  // the mask's width: the advance or the last inked column + 1
    for (int32_t y = 0; y < mask.height; ++y)
      for (int32_t x = 0; x < mask.width; ++x) {
        const size_t i = static_cast<size_t>(y) * mask.width + x;
        mask.coverage[i] = static_cast<uint8_t>((pixels[i] >> 8) & 0xFF);
        if (mask.coverage[i] != 0) inked = std::max(inked, x + 1);
      }
    SelectObject(dc_, previous);
    DeleteObject(bitmap);
    return Narrowed(mask, inked);
  }

  static CoverageMask Narrowed(const CoverageMask& mask, int32_t width) {
    CoverageMask narrow{width, mask.height, {}};
    for (int32_t y = 0; y < mask.height; ++y) {
      const auto row = mask.coverage.begin() + static_cast<ptrdiff_t>(y) * mask.width;
      narrow.coverage.insert(narrow.coverage.end(), row, row + width);
    }
    return narrow;
  }

  HDC dc_;
  HFONT font_ = nullptr;
  int32_t lineHeight_ = 0;
  std::mutex mutex_;
  std::map<std::string, CoverageMask> cache_;
};

}  // namespace

std::unique_ptr<FontRasterizer> OpenGdiFont() {
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return nullptr;
  return std::make_unique<GdiFont>(dc);
}

}  // namespace lumox::gfx
