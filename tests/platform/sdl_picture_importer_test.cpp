// The Linux importer reading pictures that SDL2_image itself wrote: colours
// and orientation exact for PNG, close for JPEG, palette pictures kept as
// palette pictures; oversized and non-picture files refused.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "platform/picture_import.h"
#include "platform/temp_dir.h"

namespace lumox::testing {
namespace {

DibPicture Import(const std::string& path) {
  DibPicture p;
  std::string error;
  EXPECT_TRUE(CurrentPictureImporter().Import(path, p, error)) << error;
  return p;
}

// 5 x 3 cells of `cell` pixels: a red diagonal on blue with one green cell
// at the top right, so that a channel swap, a flip or a mirror shows. JPEG
// blurs colours within its 16-pixel blocks: it gets cells of 16 and is
// checked at their centres, each channel on the right side of the middle.
TEST(SdlPictureImporter, PngExactJpegClose) {
  TempDir dir;
  for (int cell : {1, 16}) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 5 * cell, 3 * cell, 24, SDL_PIXELFORMAT_RGB24);
    auto colour = [](int cx, int cy) { return cx == cy ? 0xFF0000u : cx == 4 && cy == 0 ? 0xFF00u : 0xFFu; };
    for (int y = 0; y < s->h; ++y)
      for (int x = 0; x < s->w; ++x) {
        const uint32_t c = colour(x / cell, y / cell);
        uint8_t* p = static_cast<uint8_t*>(s->pixels) + y * s->pitch + 3 * x;
        p[0] = c >> 16, p[1] = c >> 8 & 0xFF, p[2] = c & 0xFF;
      }
    const std::string path = dir.File(cell == 1 ? "p.png" : "p.jpg");
    ASSERT_EQ(cell == 1 ? IMG_SavePNG(s, path.c_str()) : IMG_SaveJPG(s, path.c_str(), 95), 0);
    SDL_FreeSurface(s);
    const DibPicture p = Import(path);
    ASSERT_EQ(p.width, 5 * cell);
    ASSERT_EQ(p.height, 3 * cell);
    ASSERT_EQ(p.bitsPerPixel, 24);
    for (int cy = 0; cy < 3; ++cy)
      for (int cx = 0; cx < 5; ++cx) {
        const uint8_t* q = p.pixels.data() + (cy * cell + cell / 2) * p.Stride() + 3 * (cx * cell + cell / 2);
        const uint32_t got = q[2] << 16 | q[1] << 8 | q[0], want = colour(cx, cy);
        for (int shift : {0, 8, 16}) {
          const int a = got >> shift & 0xFF, b = want >> shift & 0xFF;
          EXPECT_TRUE(cell == 1 ? a == b : (a > 128) == (b > 128)) << path << " " << cx << "," << cy;
        }
      }
  }
}

// A single row, as thin as a picture gets.
TEST(SdlPictureImporter, PalettePngStaysAPalettePicture) {
  TempDir dir;
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 3, 1, 8, SDL_PIXELFORMAT_INDEX8);
  const SDL_Color colors[3] = {{10, 20, 30, 255}, {200, 0, 0, 255}, {0, 0, 250, 255}};
  SDL_SetPaletteColors(s->format->palette, colors, 0, 3);
  std::memcpy(s->pixels, "\2\0\1", 3);
  ASSERT_EQ(IMG_SavePNG(s, dir.File("i.png").c_str()), 0);
  SDL_FreeSurface(s);
  const DibPicture p = Import(dir.File("i.png"));
  ASSERT_EQ(p.bitsPerPixel, 8);
  EXPECT_EQ(p.colors[1], 0xC80000u);
  EXPECT_EQ(p.colors[2], 0x0000FAu);
  EXPECT_EQ(p.pixels, (std::vector<uint8_t>{2, 0, 1, 0}));
}

TEST(SdlPictureImporter, RefusesHugeAndForeignFiles) {
  TempDir dir;
  // Headers claiming 20000 x 10 and nothing after them: a PNG, a GIF, and
  // a JPEG whose frame header follows another segment.
  WriteFile(dir.File("huge.png"), std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x4e\x20\0\0\0\x0a", 24));
  WriteFile(dir.File("huge.gif"), std::string("GIF89a\x20\x4e\x0a\0", 10) + std::string(14, '\0'));
  WriteFile(dir.File("huge.jpg"), std::string("\xff\xd8\xff\xe0\0\x10", 6) + std::string(14, '\0') +
                                      std::string("\xff\xc0\0\x11\x08\0\x0a\x4e\x20", 9));
  WriteFile(dir.File("text.png"), "not a picture at all");
  for (const char* name : {"huge.png", "huge.gif", "huge.jpg", "text.png", "missing.jpg"}) {
    DibPicture p;
    std::string error;
    EXPECT_FALSE(CurrentPictureImporter().Import(dir.File(name), p, error)) << name;
    EXPECT_NE(error.find(name), std::string::npos) << error;
    const bool huge = std::string(name).starts_with("huge");
    EXPECT_TRUE(!huge || error.find("20000 x 10") != std::string::npos) << error;
  }
  std::vector<std::string> extensions;
  for (const ImportFilter& f : CurrentPictureImporter().Filters()) extensions.push_back(f.extension);
  for (const char* wanted : {"png", "jpg", "gif", "tif", "webp"})
    EXPECT_NE(std::find(extensions.begin(), extensions.end(), wanted), extensions.end()) << wanted;
}

}  // namespace
}  // namespace lumox::testing
