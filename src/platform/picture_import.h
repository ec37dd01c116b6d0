// Pictures in the formats the system's importers read, handed on as a
// device-independent bitmap at the picture's own depth.
//
// The BMP family (".bmp", ".dib", ".rle") is decoded by the core itself
// (image/); every other extension goes through the platform's importer:
// on Windows the graphics import filters registered on the machine, then
// the Windows Imaging Component; on Linux an image library. Importers never
// throw: a file they cannot read gives false and a message for the user.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lumox {

// Pictures larger than this in either dimension are refused, not allocated.
constexpr int32_t kMaxPictureSide = 16384;

// A picture as every loader hands it on: uncompressed, rows top-down.
struct DibPicture {
  int32_t width = 0, height = 0;  // 1..kMaxPictureSide each
  int32_t bitsPerPixel = 0;       // 1, 4, 8, 16, 24 or 32
  // 1, 4 and 8 bits: the colour table as 0x00RRGGBB, at most 2^bits entries.
  std::vector<uint32_t> colors;
  // 16 and 32 bits: where each channel lies within a pixel (16 bits
  // without masks in the file: 5-5-5; 32 bits: 8-8-8 from bit 16 down).
  uint32_t redMask = 0, greenMask = 0, blueMask = 0;
  // Rows of Stride() bytes, top row first; 24 bits are blue, green, red.
  std::vector<uint8_t> pixels;

  size_t Stride() const { return (static_cast<size_t>(width) * bitsPerPixel + 31) / 32 * 4; }
};

// One format an importer reads: its display name and its extension without
// the dot ("png"); on Windows also the filter library's path.
struct ImportFilter {
  std::string name;
  std::string extension;
  std::string path;
};

class PictureImporter {
 public:
  virtual ~PictureImporter() = default;
  // The formats this importer reads, for the file dialogs and the settings
  // pages, in a stable order.
  virtual std::vector<ImportFilter> Filters() = 0;
  // Reads the picture at `path`; false with a message in `error` when the
  // file is missing, damaged, too large or of a format no importer takes.
  virtual bool Import(const std::string& path, DibPicture& picture, std::string& error) = 0;
};

// The platform's importer (created on first use, lives until the process
// ends), unless a test installed another; installing null restores it.
PictureImporter& CurrentPictureImporter();
void InstallPictureImporter(PictureImporter* importer);

}  // namespace lumox
