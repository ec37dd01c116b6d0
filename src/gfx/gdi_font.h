// A FontRasterizer on GDI (Windows): the system's variable-pitch ANSI font
// drawn into a memory bitmap. Lines are rendered once and kept: the
// overlays draw the same few strings many times.
#pragma once

#include <memory>

#include "gfx/font_rasterizer.h"

namespace lumox::gfx {

// The stock ANSI_VAR_FONT; null when no memory device context can be made.
std::unique_ptr<FontRasterizer> OpenGdiFont();

}  // namespace lumox::gfx
