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

// 5 x 3 cells of `cell` pixels: a red diagonal on blue with one green cell
// at the top right, so that a channel swap, a flip or a mirror shows.
SDL_Surface* RedOnBlue(int cell) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 5 * cell, 3 * cell, 24, SDL_PIXELFORMAT_RGB24);
  for (int y = 0; y < 3 * cell; ++y) {
    for (int x = 0; x < 5 * cell; ++x) {
      auto* p = static_cast<uint8_t*>(s->pixels) + y * s->pitch + 3 * x;
      const bool red = x / cell == y / cell, green = x / cell == 4 && y / cell == 0;
      p[0] = red ? 255 : 0, p[1] = green ? 255 : 0, p[2] = red || green ? 0 : 255;
    }
  }
  return s;
}

// The picture's pixel as 0xRRGGBB (24-bit rows are blue, green, red).
uint32_t PixelOf(const DibPicture& p, int x, int y) {
  const uint8_t* q = p.pixels.data() + y * p.Stride() + 3 * x;
  return q[2] << 16 | q[1] << 8 | q[0];
}

TEST(SdlPictureImporter, PngExactJpegClose) {
  TempDir dir;
  SDL_Surface* s = RedOnBlue(1);
  ASSERT_EQ(IMG_SavePNG(s, dir.File("p.png").c_str()), 0);
  SDL_FreeSurface(s);
  s = RedOnBlue(16);  // JPEG blurs colours across its 16-pixel blocks
  ASSERT_EQ(IMG_SaveJPG(s, dir.File("p.jpg").c_str(), 95), 0);
  SDL_FreeSurface(s);
  for (const char* name : {"p.png", "p.jpg"}) {
    const bool png = std::string(name) == "p.png";
    const int cell = png ? 1 : 16;
    DibPicture p;
    std::string error;
    ASSERT_TRUE(CurrentPictureImporter().Import(dir.File(name), p, error)) << error;
    EXPECT_EQ(p.width, 5 * cell);
    EXPECT_EQ(p.height, 3 * cell);
    EXPECT_EQ(p.bitsPerPixel, 24);
    const uint32_t expected[3][5] = {{0xFF0000, 0xFF, 0xFF, 0xFF, 0xFF00},
                                     {0xFF, 0xFF0000, 0xFF, 0xFF, 0xFF},
                                     {0xFF, 0xFF, 0xFF0000, 0xFF, 0xFF}};
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < 5; ++x) {
        const uint32_t got = PixelOf(p, x * cell + cell / 2, y * cell + cell / 2), want = expected[y][x];
        if (png) {
          EXPECT_EQ(got, want) << x << "," << y;
        } else {  // each channel on the right side of the middle
          for (int shift : {0, 8, 16}) EXPECT_EQ((got >> shift & 0xFF) > 128, (want >> shift & 0xFF) > 128) << x << "," << y;
        }
      }
    }
  }
}

TEST(SdlPictureImporter, PalettePngStaysAPalettePicture) {
  TempDir dir;
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 3, 2, 8, SDL_PIXELFORMAT_INDEX8);
  const SDL_Color colors[3] = {{10, 20, 30, 255}, {200, 0, 0, 255}, {0, 0, 250, 255}};
  SDL_SetPaletteColors(s->format->palette, colors, 0, 3);
  const uint8_t values[2][3] = {{0, 1, 2}, {2, 2, 1}};
  for (int y = 0; y < 2; ++y) std::memcpy(static_cast<uint8_t*>(s->pixels) + y * s->pitch, values[y], 3);
  ASSERT_EQ(IMG_SavePNG(s, dir.File("i.png").c_str()), 0);
  SDL_FreeSurface(s);
  DibPicture p;
  std::string error;
  ASSERT_TRUE(CurrentPictureImporter().Import(dir.File("i.png"), p, error)) << error;
  ASSERT_EQ(p.bitsPerPixel, 8);
  EXPECT_EQ(p.colors[1], 0xC80000u);
  EXPECT_EQ(p.colors[2], 0x0000FAu);
  EXPECT_EQ(p.pixels, (std::vector<uint8_t>{0, 1, 2, 0, 2, 2, 1, 0}));
}

TEST(SdlPictureImporter, RefusesHugeAndForeignFiles) {
  TempDir dir;
  // A PNG signature and a header claiming 20000 x 10, and nothing after it.
  WriteFile(dir.File("huge.png"), std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x4e\x20\0\0\0\x0a", 24));
  WriteFile(dir.File("text.png"), "not a picture at all");
  for (const char* name : {"huge.png", "text.png", "missing.jpg"}) {
    DibPicture p;
    std::string error;
    EXPECT_FALSE(CurrentPictureImporter().Import(dir.File(name), p, error)) << name;
    EXPECT_NE(error.find(name), std::string::npos) << error;
  }
  std::string error;
  DibPicture p;
  CurrentPictureImporter().Import(dir.File("huge.png"), p, error);
  EXPECT_NE(error.find("20000 x 10"), std::string::npos) << error;
  std::vector<std::string> extensions;
  for (const ImportFilter& f : CurrentPictureImporter().Filters()) extensions.push_back(f.extension);
  for (const char* wanted : {"png", "jpg", "gif", "tif", "webp"}) {
    EXPECT_NE(std::find(extensions.begin(), extensions.end(), wanted), extensions.end()) << wanted;
  }
  EXPECT_EQ(std::find(extensions.begin(), extensions.end(), "bmp"), extensions.end());
}

}  // namespace
}  // namespace lumox::testing
