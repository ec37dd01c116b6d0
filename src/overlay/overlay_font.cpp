#include "overlay/overlay_font.h"

#include <memory>

#include "gfx/font_rasterizer.h"

#if defined(_WIN32)
#include "gfx/gdi_font.h"
#elif defined(LUMOX_HAS_FREETYPE)
#include "gfx/freetype_font.h"
#endif

namespace lumox {
namespace {

std::unique_ptr<gfx::FontRasterizer> OpenPlatformFont() {
#if defined(_WIN32)
  return gfx::OpenGdiFont();
#elif defined(LUMOX_HAS_FREETYPE)
  return gfx::OpenFreeTypeFont(gfx::kDefaultFontPath, gfx::kDefaultFontPixels);
#else
  return nullptr;
#endif
}

}  // namespace

gfx::FontRasterizer* OverlayFont() {
  static const std::unique_ptr<gfx::FontRasterizer> font = OpenPlatformFont();
  return font.get();
}

}  // namespace lumox
