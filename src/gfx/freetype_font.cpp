#include "gfx/freetype_font.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

namespace lumox::gfx {
namespace {

// Windows-1252 bytes 0x80-0x9F; the rest of the code page is Latin-1.
constexpr std::array<char32_t, 32> kCp1252High{
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

char32_t DecodeCp1252(uint8_t byte) {
  if (byte >= 0x80 && byte < 0xA0) return kCp1252High[byte - 0x80];
  return byte;
}

struct Glyph {
  int32_t left = 0, top = 0;  // bitmap offset from the pen position and baseline
  int32_t width = 0, rows = 0;
  int32_t advance = 0;
  std::vector<uint8_t> coverage;  // rows x width
};

class FreeTypeFont final : public FontRasterizer {
 public:
  FreeTypeFont(FT_Library library, FT_Face face) : library_(library), face_(face) {
    const FT_Size_Metrics& metrics = face_->size->metrics;
    ascent_ = static_cast<int32_t>((metrics.ascender + 63) >> 6);
    const int32_t descent = static_cast<int32_t>((-metrics.descender + 63) >> 6);
    lineHeight_ =
        std::max<int32_t>(ascent_ + descent, static_cast<int32_t>((metrics.height + 32) >> 6));
  }
  ~FreeTypeFont() override {
    FT_Done_Face(face_);
    FT_Done_FreeType(library_);
  }
  FreeTypeFont(const FreeTypeFont&) = delete;
  FreeTypeFont& operator=(const FreeTypeFont&) = delete;

  int32_t LineHeight() const override { return lineHeight_; }

  int32_t TextWidth(std::string_view line) override {
    int32_t width = 0;
    for (char c : line) width += GlyphOf(static_cast<uint8_t>(c)).advance;
    return width;
  }

  void RasterizeLine(std::string_view line, CoverageMask& mask) override {
    mask.width = TextWidth(line);
    mask.height = lineHeight_;
    mask.coverage.assign(static_cast<size_t>(mask.width) * mask.height, 0);
    int32_t penX = 0;
    for (char c : line) {
      const Glyph& g = GlyphOf(static_cast<uint8_t>(c));
      for (int32_t row = 0; row < g.rows; ++row) {
        const int32_t y = ascent_ - g.top + row;
        if (y < 0 || y >= mask.height) continue;
        for (int32_t col = 0; col < g.width; ++col) {
          const int32_t x = penX + g.left + col;
          if (x < 0 || x >= mask.width) continue;
          uint8_t& out = mask.coverage[static_cast<size_t>(y) * mask.width + x];
          out = std::max(out, g.coverage[static_cast<size_t>(row) * g.width + col]);
        }
      }
      penX += g.advance;
    }
  }

 private:
  const Glyph& GlyphOf(uint8_t byte) {
    std::optional<Glyph>& slot = cache_[byte];
    if (!slot) slot = Render(DecodeCp1252(byte));
    return *slot;
  }

  Glyph Render(char32_t codePoint) {
    Glyph glyph;
    const FT_UInt index = FT_Get_Char_Index(face_, codePoint);
    if (FT_Load_Glyph(face_, index, FT_LOAD_DEFAULT) != 0) return glyph;
    if (FT_Render_Glyph(face_->glyph, FT_RENDER_MODE_NORMAL) != 0) return glyph;
    const FT_GlyphSlot slot = face_->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.advance = static_cast<int32_t>((slot->advance.x + 32) >> 6);
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return glyph;
    glyph.width = static_cast<int32_t>(bitmap.width);
    glyph.rows = static_cast<int32_t>(bitmap.rows);
    glyph.coverage.resize(static_cast<size_t>(glyph.width) * glyph.rows);
    for (int32_t row = 0; row < glyph.rows; ++row)
      std::memcpy(glyph.coverage.data() + static_cast<size_t>(row) * glyph.width,
                  bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch,
                  static_cast<size_t>(glyph.width));
    return glyph;
  }

  FT_Library library_;
  FT_Face face_;
  int32_t ascent_ = 0, lineHeight_ = 0;
  std::array<std::optional<Glyph>, 256> cache_;
};

}  // namespace

std::unique_ptr<FontRasterizer> OpenFreeTypeFont(const std::string& path, int pixelHeight) {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) return nullptr;
  FT_Face face = nullptr;
  if (FT_New_Face(library, path.c_str(), 0, &face) != 0) {
    FT_Done_FreeType(library);
    return nullptr;
  }
  if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(std::max(pixelHeight, 1))) != 0) {
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return nullptr;
  }
  return std::make_unique<FreeTypeFont>(library, face);
}

}  // namespace lumox::gfx
