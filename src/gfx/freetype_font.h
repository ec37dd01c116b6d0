// A FontRasterizer on FreeType (Linux and other non-Windows systems).
//
// Glyphs are rendered once, on first use, and kept: drawing a line is then
// a copy of cached glyph masks.
#pragma once

#include <memory>
#include <string>

#include "gfx/font_rasterizer.h"

namespace lumox::gfx {

// The font the saver uses for its overlays when nothing else is asked for.
constexpr const char* kDefaultFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr int kDefaultFontPixels = 13;

// Opens a TrueType/OpenType font at a pixel height; null when the file cannot
// be opened or is not a font.
std::unique_ptr<FontRasterizer> OpenFreeTypeFont(const std::string& path, int pixelHeight);

}  // namespace lumox::gfx
