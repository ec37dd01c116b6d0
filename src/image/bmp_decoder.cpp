#include "image/bmp_decoder.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <fstream>
#include <new>
#include <vector>

namespace lumox {
namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;

// Little-endian reads that know the end of the data: a read past it gives
// false and leaves the value alone.
class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  size_t size() const { return bytes_.size(); }
  bool Has(size_t offset, size_t count) const {
    return offset <= bytes_.size() && count <= bytes_.size() - offset;
  }
  bool U16(size_t offset, uint32_t& value) const {
    if (!Has(offset, 2)) return false;
    value = bytes_[offset] | bytes_[offset + 1] << 8;
    return true;
  }
  bool U32(size_t offset, uint32_t& value) const {
    if (!Has(offset, 4)) return false;
    value = static_cast<uint32_t>(bytes_[offset]) | bytes_[offset + 1] << 8 |
            bytes_[offset + 2] << 16 | static_cast<uint32_t>(bytes_[offset + 3]) << 24;
    return true;
  }
  const uint8_t* At(size_t offset) const { return bytes_.data() + offset; }

 private:
  std::span<const uint8_t> bytes_;
};

struct BmpHeader {
  uint32_t headerSize = 0;
  int64_t width = 0, height = 0;  // height negative: rows top-down
  uint32_t bitCount = 0;
  uint32_t compression = kBiRgb;
  uint32_t sizeImage = 0;
  uint32_t colorsUsed = 0;
};

bool Fail(std::string& error, std::string message) {
  error = std::move(message);
  return false;
}

bool ReadHeader(const ByteReader& in, size_t at, BmpHeader& h, std::string& error) {
  if (!in.U32(at, h.headerSize)) return Fail(error, "the file is too short for a BMP header");
  if (h.headerSize == kCoreHeaderSize) {
    uint32_t width = 0, height = 0;
    if (!in.U16(at + 4, width) || !in.U16(at + 6, height) || !in.U16(at + 10, h.bitCount)) {
      return Fail(error, "the BMP header is cut short");
    }
    h.width = width;
    h.height = height;
    return true;
  }
  if (h.headerSize != 40 && h.headerSize != 52 && h.headerSize != 56 && h.headerSize != 108 &&
      h.headerSize != 124) {
    return Fail(error, "unknown BMP header size " + std::to_string(h.headerSize));
  }
  uint32_t width = 0, height = 0;
  if (!in.Has(at, h.headerSize) || !in.U32(at + 4, width) || !in.U32(at + 8, height) ||
      !in.U16(at + 14, h.bitCount) || !in.U32(at + 16, h.compression) ||
      !in.U32(at + 20, h.sizeImage) || !in.U32(at + 32, h.colorsUsed)) {
    return Fail(error, "the BMP header is cut short");
  }
  h.width = static_cast<int32_t>(width);
  h.height = static_cast<int32_t>(height);
  return true;
}

bool CheckHeader(const BmpHeader& h, int32_t maxSide, std::string& error) {
  const int64_t height = h.height < 0 ? -h.height : h.height;
  if (h.width <= 0 || height == 0) {
    return Fail(error, "the picture has no pixels (" + std::to_string(h.width) + " x " +
                           std::to_string(h.height) + ")");
  }
  if (h.width > maxSide || height > maxSide) {
    return Fail(error, "the picture is " + std::to_string(h.width) + " x " +
                           std::to_string(height) + " pixels; pictures over " +
                           std::to_string(maxSide) + " in either direction are refused");
  }
  switch (h.bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return Fail(error, "unsupported depth of " + std::to_string(h.bitCount) + " bits");
  }
  if (h.headerSize == kCoreHeaderSize && (h.bitCount == 16 || h.bitCount == 32)) {
    return Fail(error, "a core header cannot have " + std::to_string(h.bitCount) + " bits");
  }
  const bool rle = h.compression == kBiRle8 || h.compression == kBiRle4;
  if ((h.compression == kBiRle8 && h.bitCount != 8) ||
      (h.compression == kBiRle4 && h.bitCount != 4) ||
      (h.compression == kBiBitfields && h.bitCount != 16 && h.bitCount != 32)) {
    return Fail(error, "compression " + std::to_string(h.compression) + " does not go with " +
                           std::to_string(h.bitCount) + " bits");
  }
  if (h.compression > kBiBitfields) {
    return Fail(error, "unsupported compression " + std::to_string(h.compression));
  }
  if (rle && h.height < 0) return Fail(error, "a compressed picture cannot be top-down");
  if (h.colorsUsed > 256) {
    return Fail(error, "a colour table of " + std::to_string(h.colorsUsed) +
                           " entries (at most 256)");
  }
  return true;
}

// A mask is usable when its bits are contiguous (or it is empty).
bool Contiguous(uint32_t mask) {
  if (mask == 0) return true;
  const uint32_t shifted = mask >> std::countr_zero(mask);
  return (shifted & (shifted + 1)) == 0;
}

bool ReadMasks(const ByteReader& in, size_t at, const BmpHeader& h, DibPicture& picture,
               std::string& error) {
  if (h.compression != kBiBitfields) {
    if (h.bitCount == 16) {
      picture.redMask = 0x7C00, picture.greenMask = 0x03E0, picture.blueMask = 0x001F;
    } else if (h.bitCount == 32) {
      picture.redMask = 0xFF0000, picture.greenMask = 0x00FF00, picture.blueMask = 0x0000FF;
    }
    return true;
  }
  // The masks follow a 40-byte header, or are its continuation in the longer ones.
  const size_t masks = at + kInfoHeaderSize;
  if (!in.U32(masks, picture.redMask) || !in.U32(masks + 4, picture.greenMask) ||
      !in.U32(masks + 8, picture.blueMask)) {
    return Fail(error, "the colour masks are cut short");
  }
  if (!Contiguous(picture.redMask) || !Contiguous(picture.greenMask) ||
      !Contiguous(picture.blueMask)) {
    return Fail(error, "a colour mask has gaps between its bits");
  }
  return true;
}

bool ReadColorTable(const ByteReader& in, size_t at, const BmpHeader& h, DibPicture& picture,
                    std::string& error) {
  if (h.bitCount > 8) return true;
  const uint32_t full = 1u << h.bitCount;
  const uint32_t count = h.colorsUsed != 0 && h.colorsUsed < full ? h.colorsUsed : full;
  const size_t entrySize = h.headerSize == kCoreHeaderSize ? 3 : 4;
  if (!in.Has(at, count * entrySize)) return Fail(error, "the colour table is cut short");
  picture.colors.resize(count);
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* e = in.At(at + i * entrySize);
    picture.colors[i] = static_cast<uint32_t>(e[2]) << 16 | e[1] << 8 | e[0];
  }
  return true;
}

bool CopyRows(const ByteReader& in, size_t at, bool topDown, DibPicture& picture,
              std::string& error) {
  const size_t stride = picture.Stride();
  const size_t rows = static_cast<size_t>(picture.height);
  if (!in.Has(at, stride * rows)) {
    return Fail(error, "the pixel rows are cut short (" + std::to_string(stride * rows) +
                           " bytes needed, " + std::to_string(in.size() - at) + " there)");
  }
  for (size_t r = 0; r < rows; ++r) {
    const size_t source = topDown ? r : rows - 1 - r;
    std::copy_n(in.At(at + source * stride), stride, picture.pixels.data() + r * stride);
  }
  return true;
}

// Writes pixel x of a decoded row (4 or 8 bits a pixel).
void PutPixel(uint8_t* row, int64_t x, uint8_t value, uint32_t bitCount) {
  if (bitCount == 8) {
    row[x] = value;
  } else if (x % 2 == 0) {
    row[x / 2] = static_cast<uint8_t>((row[x / 2] & 0x0F) | value << 4);
  } else {
    row[x / 2] = static_cast<uint8_t>((row[x / 2] & 0xF0) | (value & 0x0F));
  }
}

// RLE8 and RLE4: pairs (count, value) repeat a value (RLE4: two alternating
// nibbles); (0, 0) ends the row, (0, 1) the picture, (0, 2, dx, dy) moves
// right and up, (0, n >= 3) copies n literal pixels padded to a 16-bit
// boundary. Rows run bottom-up; pixels never written stay 0.
bool DecodeRle(std::span<const uint8_t> data, uint32_t bitCount, DibPicture& picture,
               std::string& error) {
  const int64_t width = picture.width, height = picture.height;
  const size_t stride = picture.Stride();
  int64_t x = 0, y = 0;
  size_t pos = 0;
  auto row = [&]() { return picture.pixels.data() + static_cast<size_t>(height - 1 - y) * stride; };
  auto fits = [&](int64_t count) { return y < height && x + count <= width; };
  for (;;) {
    if (data.size() - pos < 2) return Fail(error, "the compressed data ends before the picture");
    const uint8_t count = data[pos], value = data[pos + 1];
    pos += 2;
    if (count > 0) {
      if (!fits(count)) return Fail(error, "a compressed run goes past the row or the picture");
      for (int k = 0; k < count; ++k) {
        const uint8_t v = bitCount == 8 ? value : k % 2 == 0 ? value >> 4 : value & 0x0F;
        PutPixel(row(), x++, v, bitCount);
      }
    } else if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      return true;
    } else if (value == 2) {
      if (data.size() - pos < 2) return Fail(error, "the compressed data ends before the picture");
      x += data[pos];
      y += data[pos + 1];
      pos += 2;
      if (x > width || y > height) return Fail(error, "a compressed move goes past the picture");
    } else {
      const size_t bytes = bitCount == 8 ? value : (value + 1u) / 2;
      const size_t padded = bytes + (bytes & 1);
      if (data.size() - pos < padded) {
        return Fail(error, "the compressed data ends before the picture");
      }
      if (!fits(value)) return Fail(error, "a compressed run goes past the row or the picture");
      for (int k = 0; k < value; ++k) {
        const uint8_t b = data[pos + (bitCount == 8 ? k : k / 2)];
        const uint8_t v = bitCount == 8 ? b : k % 2 == 0 ? b >> 4 : b & 0x0F;
        PutPixel(row(), x++, v, bitCount);
      }
      pos += padded;
    }
  }
}

}  // namespace

size_t ColourTableSize(uint32_t headerSize, uint32_t bitCount, uint32_t compression,
                       uint32_t colorsUsed) {
  const size_t full = bitCount <= 8 ? size_t{1} << bitCount : 0;
  if (headerSize == kCoreHeaderSize) return 3 * full;
  const size_t entries = colorsUsed != 0 ? colorsUsed : full;
  return 4 * entries + (compression == kBiBitfields ? 12 : 0);
}

bool DecodeBmp(std::span<const uint8_t> bytes, DibPicture& picture, std::string& error,
               int32_t maxSide) {
  picture = DibPicture{};
  const ByteReader in(bytes);
  // With a file header the pixels lie where it says; a packed DIB has them
  // right after its colour table.
  const bool fileHeader = bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
  const size_t headerAt = fileHeader ? 14 : 0;
  uint32_t pixelOffset = 0;
  if (fileHeader && !in.U32(10, pixelOffset)) return Fail(error, "the file header is cut short");

  BmpHeader h;
  if (!ReadHeader(in, headerAt, h, error) || !CheckHeader(h, maxSide, error)) return false;
  picture.width = static_cast<int32_t>(h.width);
  picture.height = static_cast<int32_t>(h.height < 0 ? -h.height : h.height);
  picture.bitsPerPixel = static_cast<int32_t>(h.bitCount);
  if (!ReadMasks(in, headerAt, h, picture, error)) return false;

  const size_t tableAt =
      headerAt + h.headerSize + (h.compression == kBiBitfields && h.headerSize == 40 ? 12 : 0);
  if (!ReadColorTable(in, tableAt, h, picture, error)) return false;
  const size_t tableSize =
      h.bitCount <= 8 ? picture.colors.size() * (h.headerSize == kCoreHeaderSize ? 3 : 4) : 0;
  const size_t pixelsAt = pixelOffset != 0 ? pixelOffset : tableAt + tableSize;
  if (pixelsAt > bytes.size()) return Fail(error, "the pixels lie past the end of the file");

  const size_t stride = picture.Stride();
  // Uncompressed rows must all be there before anything is allocated.
  if (h.compression != kBiRle8 && h.compression != kBiRle4 &&
      !in.Has(pixelsAt, stride * static_cast<size_t>(picture.height))) {
    return Fail(error, "the pixel rows are cut short (" +
                           std::to_string(stride * static_cast<size_t>(picture.height)) +
                           " bytes needed, " + std::to_string(bytes.size() - pixelsAt) +
                           " there)");
  }
  try {
    picture.pixels.assign(stride * static_cast<size_t>(picture.height), 0);
  } catch (const std::bad_alloc&) {
    return Fail(error, "not enough memory for a picture of " + std::to_string(picture.width) +
                           " x " + std::to_string(picture.height));
  }
  if (h.compression == kBiRle8 || h.compression == kBiRle4) {
    size_t dataSize = bytes.size() - pixelsAt;
    if (h.sizeImage != 0 && h.sizeImage < dataSize) dataSize = h.sizeImage;
    return DecodeRle(bytes.subspan(pixelsAt, dataSize), h.bitCount, picture, error);
  }
  return CopyRows(in, pixelsAt, h.height < 0, picture, error);
}

bool ReadBmpFile(const std::string& path, DibPicture& picture, std::string& error) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) return Fail(error, "cannot open " + path);
  const std::streamoff length = file.tellg();
  // The largest picture allowed: 16384 x 16384 at 32 bits, with its headers.
  constexpr std::streamoff kLargestFile =
      std::streamoff{kMaxPictureSide} * kMaxPictureSide * 4 + 65536;
  if (length < 0 || length > kLargestFile) return Fail(error, path + " is too large for a BMP");
  std::vector<uint8_t> bytes;
  try {
    bytes.resize(static_cast<size_t>(length));
  } catch (const std::bad_alloc&) {
    return Fail(error, "not enough memory to read " + path);
  }
  file.seekg(0);
  if (!file.read(reinterpret_cast<char*>(bytes.data()), length)) {
    return Fail(error, "cannot read " + path);
  }
  if (!DecodeBmp(bytes, picture, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

}  // namespace lumox
