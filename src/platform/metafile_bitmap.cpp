#include "platform/metafile_bitmap.h"

#include <algorithm>
#include <cstring>

namespace lumox {
namespace {

uint16_t Word(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

uint32_t Dword(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint32_t>(Word(bytes, at)) | static_cast<uint32_t>(Word(bytes, at + 2)) << 16;
}

// Where the packed bitmap starts in a record with this function number, or
// 0 for a record that carries none.
size_t BitmapOffset(uint16_t function) {
  switch (function) {
    case 0x0940: return 22;  // META_DIBBITBLT
    case 0x0B41: return 26;  // META_DIBSTRETCHBLT
    case 0x0D33: return 24;  // META_SETDIBTODEV
    case 0x0F43: return 28;  // META_STRETCHDIB
    default: return 0;
  }
}

constexpr size_t kCoreHeaderSize = 12;
constexpr size_t kInfoHeaderSize = 40;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

bool Fail(std::string& error, const char* message) {
  error = message;
  return false;
}

}  // namespace

std::span<const uint8_t> FindMetafileBitmap(std::span<const uint8_t> metafile) {
  if (metafile.size() < 10) return {};
  const uint64_t end = std::min<uint64_t>(metafile.size(), uint64_t{Dword(metafile, 6)} * 2);
  uint64_t at = uint64_t{Word(metafile, 2)} * 2;
  while (at + 6 <= end) {
    const uint64_t recordSize = uint64_t{Dword(metafile, at)} * 2;
    if (recordSize == 0 || recordSize > end - at) return {};
    const size_t offset = BitmapOffset(Word(metafile, at + 4));
    // A bitmap record too short for even a core header carries no bitmap
    // (META_DIBBITBLT has such a form, for pattern-only operations).
    if (offset != 0 && recordSize >= offset + kCoreHeaderSize) {
      return metafile.subspan(at + offset, recordSize - offset);
    }
    at += recordSize;
  }
  return {};
}

bool UnpackDib(std::span<const uint8_t> dib, DibPicture& picture, std::string& error) {
  if (dib.size() < 4) return Fail(error, "The bitmap has no header.");
  const uint32_t headerSize = Dword(dib, 0);
  int64_t width = 0, height = 0;
  uint32_t planes = 0, bits = 0, compression = kBiRgb, colorsUsed = 0;
  size_t entrySize = 4;
  if (headerSize == kCoreHeaderSize && dib.size() >= kCoreHeaderSize) {
    width = Word(dib, 4);
    height = Word(dib, 6);
    planes = Word(dib, 8);
    bits = Word(dib, 10);
    entrySize = 3;
  } else if (headerSize >= kInfoHeaderSize && headerSize <= dib.size()) {
    width = static_cast<int32_t>(Dword(dib, 4));
    height = static_cast<int32_t>(Dword(dib, 8));
    planes = Word(dib, 12);
    bits = Word(dib, 14);
    compression = Dword(dib, 16);
    colorsUsed = Dword(dib, 32);
  } else {
    return Fail(error, "The bitmap header is damaged.");
  }
  if (compression != kBiRgb && compression != kBiBitfields) {
    return Fail(error, "Compressed bitmaps are not read from import filters.");
  }
  if (planes != 1 || (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 &&
                      bits != 32)) {
    return Fail(error, "The bitmap has a colour depth that cannot be read.");
  }
  if (compression == kBiBitfields && bits != 16 && bits != 32) {
    return Fail(error, "The bitmap's colour masks do not fit its depth.");
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0) return Fail(error, "The bitmap is empty.");
  if (width > kMaxPictureSide || height > kMaxPictureSide) {
    return Fail(error, "The picture is larger than 16384 pixels on a side.");
  }
  if (colorsUsed > 256) return Fail(error, "The bitmap's colour table is damaged.");

  // The masks sit right after a 40-byte header (and inside the larger
  // ones, at the same place); the colour table follows both.
  size_t tableStart = headerSize;
  uint32_t masks[3] = {};
  if (compression == kBiBitfields) {
    if (dib.size() < kInfoHeaderSize + 12) return Fail(error, "The bitmap is cut short.");
    for (int i = 0; i < 3; ++i) masks[i] = Dword(dib, kInfoHeaderSize + 4 * i);
    if (headerSize == kInfoHeaderSize) tableStart += 12;
  } else if (bits == 16) {
    masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
  } else if (bits == 32) {
    masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
  }
  const size_t tableEntries = colorsUsed != 0 ? colorsUsed : (bits <= 8 ? size_t{1} << bits : 0);
  const size_t pixelStart = tableStart + tableEntries * entrySize;

  picture.width = static_cast<int32_t>(width);
  picture.height = static_cast<int32_t>(height);
  picture.bitsPerPixel = static_cast<int32_t>(bits);
  const uint64_t stride = picture.Stride();
  if (pixelStart > dib.size() || stride * static_cast<uint64_t>(height) > dib.size() - pixelStart) {
    return Fail(error, "The bitmap is cut short.");
  }

  picture.colors.clear();
  if (bits <= 8) {
    const size_t kept = std::min(tableEntries, size_t{1} << bits);
    for (size_t i = 0; i < kept; ++i) {
      const size_t at = tableStart + i * entrySize;
      picture.colors.push_back(uint32_t{dib[at]} | uint32_t{dib[at + 1]} << 8 |
                               uint32_t{dib[at + 2]} << 16);
    }
  }
  picture.redMask = masks[0];
  picture.greenMask = masks[1];
  picture.blueMask = masks[2];
  picture.pixels.resize(stride * static_cast<size_t>(height));
  for (int64_t row = 0; row < height; ++row) {
    const int64_t sourceRow = topDown ? row : height - 1 - row;
    std::memcpy(picture.pixels.data() + row * stride,
                dib.data() + pixelStart + sourceRow * stride, stride);
  }
  return true;
}

}  // namespace lumox
