// The Linux picture importer: SDL2_image reads PNG, JPEG, GIF, TIFF, WebP
// and the other formats it was built with.
//
// Palette pictures (GIF, palette PNGs) stay palette pictures, so the slide
// show keeps their pixel values; everything else arrives as 24-bit blue,
// green, red. For PNG, JPEG and GIF the size is read from the file's header
// first, so a picture over kMaxPictureSide is refused before the library
// allocates it; other formats are checked once decoded.
#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <mutex>
#include <new>

#include "platform/picture_import.h"
#include "platform/platform_defaults.h"

namespace lumox {
namespace {

struct PictureSize {
  int64_t width = 0, height = 0;
};

uint32_t BigEndian(const uint8_t* p, int bytes) {
  uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) value = value << 8 | p[i];
  return value;
}

// The size in a JPEG's first frame header: markers are walked by their
// lengths until a start-of-frame (0xC0..0xCF less DHT, JPG and DAC).
bool JpegSize(std::ifstream& file, PictureSize& size) {
  file.seekg(2);
  uint8_t b[9];
  for (int markers = 0; markers < 10000 && file.read(reinterpret_cast<char*>(b), 4); ++markers) {
    if (b[0] != 0xFF) return false;
    const uint8_t marker = b[1];
    const uint32_t length = BigEndian(b + 2, 2);
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      if (!file.read(reinterpret_cast<char*>(b), 5)) return false;
      size = {BigEndian(b + 3, 2), BigEndian(b + 1, 2)};
      return true;
    }
    if (length < 2) return false;
    file.seekg(length - 2, std::ios::cur);
  }
  return false;
}

// The size a PNG, JPEG or GIF header gives, when the file is one of them.
bool HeaderSize(const std::string& path, PictureSize& size) {
  std::ifstream file(path, std::ios::binary);
  uint8_t head[24] = {};
  if (!file.read(reinterpret_cast<char*>(head), sizeof head)) return false;
  if (std::memcmp(head, "\x89PNG\r\n\x1a\n", 8) == 0 && std::memcmp(head + 12, "IHDR", 4) == 0) {
    size = {BigEndian(head + 16, 4), BigEndian(head + 20, 4)};
    return true;
  }
  if (std::memcmp(head, "GIF8", 4) == 0) {
    size = {head[6] | head[7] << 8, head[8] | head[9] << 8};
    return true;
  }
  if (head[0] == 0xFF && head[1] == 0xD8) return JpegSize(file, size);
  return false;
}

std::string TooLarge(const std::string& path, int64_t width, int64_t height) {
  return path + ": the picture is " + std::to_string(width) + " x " + std::to_string(height) +
         " pixels; pictures over " + std::to_string(kMaxPictureSide) +
         " in either direction are refused";
}

bool CopyPalette(const SDL_Surface* surface, DibPicture& picture) {
  const SDL_Palette* palette = surface->format->palette;
  if (palette == nullptr) return false;
  const int count = std::min(palette->ncolors, 1 << picture.bitsPerPixel);
  for (int i = 0; i < count; ++i) {
    const SDL_Color c = palette->colors[i];
    picture.colors.push_back(static_cast<uint32_t>(c.r) << 16 | c.g << 8 | c.b);
  }
  return true;
}

// Copies the surface's rows (top-down, `pitch` apart) into the picture.
void CopyRows(const SDL_Surface* surface, DibPicture& picture) {
  const size_t stride = picture.Stride();
  const size_t used = (static_cast<size_t>(picture.width) * picture.bitsPerPixel + 7) / 8;
  picture.pixels.assign(stride * picture.height, 0);
  const auto* source = static_cast<const uint8_t*>(surface->pixels);
  for (int32_t y = 0; y < picture.height; ++y) {
    std::memcpy(picture.pixels.data() + y * stride, source + static_cast<size_t>(y) * surface->pitch,
                std::min<size_t>(used, static_cast<size_t>(surface->pitch)));
  }
}

bool SurfaceToPicture(SDL_Surface* surface, DibPicture& picture, std::string& error) {
  picture = DibPicture{};
  picture.width = surface->w;
  picture.height = surface->h;
  const uint32_t format = surface->format->format;
  const int paletteBits = format == SDL_PIXELFORMAT_INDEX8      ? 8
                          : format == SDL_PIXELFORMAT_INDEX4MSB ? 4
                          : format == SDL_PIXELFORMAT_INDEX1MSB ? 1
                                                                : 0;
  picture.bitsPerPixel = paletteBits;
  if (paletteBits != 0 && CopyPalette(surface, picture)) {
    if (SDL_LockSurface(surface) != 0) return error = SDL_GetError(), false;
    CopyRows(surface, picture);
    SDL_UnlockSurface(surface);
    return true;
  }
  picture.colors.clear();
  picture.bitsPerPixel = 24;
  SDL_Surface* converted = SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_BGR24, 0);
  if (converted == nullptr) return error = SDL_GetError(), false;
  const bool locked = SDL_LockSurface(converted) == 0;
  if (locked) {
    CopyRows(converted, picture);
    SDL_UnlockSurface(converted);
  } else {
    error = SDL_GetError();
  }
  SDL_FreeSurface(converted);
  return locked;
}

// The formats SDL2_image reads without a helper library, and those that
// need one (present when IMG_Init reports them).
struct Format {
  const char* name;
  const char* extension;
  int initFlag;  // 0: built in
};
constexpr Format kFormats[] = {
    {"PNG", "png", IMG_INIT_PNG},         {"JPEG", "jpg", IMG_INIT_JPG},
    {"JPEG", "jpeg", IMG_INIT_JPG},       {"JPEG", "jpe", IMG_INIT_JPG},
    {"GIF", "gif", 0},                    {"TIFF", "tif", IMG_INIT_TIF},
    {"TIFF", "tiff", IMG_INIT_TIF},       {"WebP", "webp", IMG_INIT_WEBP},
    {"AVIF", "avif", IMG_INIT_AVIF},      {"JPEG XL", "jxl", IMG_INIT_JXL},
    {"Targa", "tga", 0},                  {"PCX", "pcx", 0},
    {"Portable anymap", "pnm", 0},        {"Portable bitmap", "pbm", 0},
    {"Portable graymap", "pgm", 0},       {"Portable pixmap", "ppm", 0},
    {"Interchange File Format", "lbm", 0}, {"Interchange File Format", "iff", 0},
    {"GIMP image", "xcf", 0},             {"X pixmap", "xpm", 0},
    {"QOI", "qoi", 0},                    {"SVG", "svg", 0},
    {"Windows icon", "ico", 0},           {"Windows cursor", "cur", 0},
};

class SdlPictureImporter final : public PictureImporter {
 public:
  std::vector<ImportFilter> Filters() override {
    const int available = InitFlags();
    std::vector<ImportFilter> filters;
    for (const Format& f : kFormats) {
      if (f.initFlag == 0 || (available & f.initFlag) != 0) {
        filters.push_back({f.name, f.extension, ""});
      }
    }
    return filters;
  }

  bool Import(const std::string& path, DibPicture& picture, std::string& error) override {
    InitFlags();
    PictureSize size;
    if (HeaderSize(path, size) &&
        (size.width > kMaxPictureSide || size.height > kMaxPictureSide)) {
      error = TooLarge(path, size.width, size.height);
      return false;
    }
    SDL_Surface* surface = IMG_Load(path.c_str());
    if (surface == nullptr) {
      error = path + ": " + IMG_GetError();
      return false;
    }
    bool ok = false;
    if (surface->w < 1 || surface->h < 1) {
      error = path + ": the picture has no pixels";
    } else if (surface->w > kMaxPictureSide || surface->h > kMaxPictureSide) {
      error = TooLarge(path, surface->w, surface->h);
    } else {
      try {
        ok = SurfaceToPicture(surface, picture, error);
      } catch (const std::bad_alloc&) {
        error = path + ": not enough memory for the picture";
      }
      if (!ok && error.find(path) != 0) error = path + ": " + error;
    }
    SDL_FreeSurface(surface);
    return ok;
  }

 private:
  // The helper libraries are loaded once, on first use.
  static int InitFlags() {
    static std::once_flag once;
    static int flags = 0;
    std::call_once(once, [] {
      flags = IMG_Init(IMG_INIT_JPG | IMG_INIT_PNG | IMG_INIT_TIF | IMG_INIT_WEBP |
                       IMG_INIT_JXL | IMG_INIT_AVIF);
    });
    return flags;
  }
};

}  // namespace

PictureImporter& PlatformPictureImporter() {
  static SdlPictureImporter importer;
  return importer;
}

}  // namespace lumox
