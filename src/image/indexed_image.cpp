#include "image/indexed_image.h"

#include <algorithm>
#include <bit>
#include <new>

namespace lumox {
namespace {

struct ChannelMask {
  uint32_t mask = 0;
  int shift = 0;      // position of the lowest set bit
  int widen = 8;      // 8 - number of bits
};

// A mask of more than 8 bits loses its lowest bits until 8 remain.
ChannelMask MakeChannel(uint32_t mask) {
  while (std::popcount(mask) > 8) mask &= mask - 1;
  ChannelMask c;
  c.mask = mask;
  if (mask != 0) {
    c.shift = std::countr_zero(mask);
    c.widen = 8 - std::popcount(mask);
  }
  return c;
}

uint32_t ChannelValue(uint32_t pixel, const ChannelMask& c) {
  if (c.mask == 0) return 0;
  return std::min<uint32_t>(((pixel & c.mask) >> c.shift) << c.widen, 255);
}

// Pixel x of a row of 1, 4 or 8 bits.
uint8_t IndexAt(const uint8_t* row, int32_t x, int32_t bitsPerPixel) {
  switch (bitsPerPixel) {
    case 1: return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4: return x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F;
    default: return row[x];
  }
}

int Distance(uint32_t a, uint32_t b) {
  int sum = 0;
  for (int shift : {0, 8, 16}) {
    const int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    sum += d * d;
  }
  return sum;
}

// The grey-table entry nearest a colour (the first of equals).
uint8_t NearestGrey(uint32_t color) {
  int best = 0;
  int bestDistance = Distance(color, GreyTableEntry(0));
  for (int i = 1; i < 256; ++i) {
    const int d = Distance(color, GreyTableEntry(i));
    if (d < bestDistance) best = i, bestDistance = d;
  }
  return static_cast<uint8_t>(best);
}

}  // namespace

uint32_t GreyTableEntry(int i) {
  const uint32_t level = static_cast<uint32_t>(i + 1) & 0xFF;
  return level << 16 | level << 8 | level;
}

bool CreateIndexedImage(bool grey, int32_t width, int32_t height,
                        const std::vector<uint32_t>& sourceColors, IndexedImage& image) {
  if (width < 1 || height < 1 || width > kMaxPictureSide || height > kMaxPictureSide) return false;
  image.width = width;
  image.height = height;
  image.colors.fill(0);
  for (int i = 0; i < 256; ++i) {
    if (grey) {
      image.colors[i] = GreyTableEntry(i);
    } else if (static_cast<size_t>(i) < sourceColors.size()) {
      image.colors[i] = sourceColors[i];
    }
  }
  try {
    image.pixels.assign(static_cast<size_t>(image.Stride()) * height, 0);
  } catch (const std::bad_alloc&) {
    image.pixels.clear();
    return false;
  }
  return true;
}

void ConvertToGrey(const DibPicture& picture, IndexedImage& image) {
  const int32_t bits = picture.bitsPerPixel;
  if ((bits != 16 && bits != 24 && bits != 32) || image.width != picture.width ||
      image.height != picture.height || picture.pixels.size() < picture.Stride() * picture.height) {
    return;
  }
  uint32_t red = picture.redMask, green = picture.greenMask, blue = picture.blueMask;
  if ((red | green | blue) == 0) {
    red = bits == 16 ? 0x7C00 : 0xFF0000;
    green = bits == 16 ? 0x03E0 : 0x00FF00;
    blue = bits == 16 ? 0x001F : 0x0000FF;
  }
  const ChannelMask r = MakeChannel(red), g = MakeChannel(green), b = MakeChannel(blue);
  for (int32_t y = 0; y < picture.height; ++y) {
    const uint8_t* source = picture.pixels.data() + y * picture.Stride();
    uint8_t* target = image.Row(image.height - 1 - y);
    for (int32_t x = 0; x < picture.width; ++x) {
      uint32_t sum = 0;
      if (bits == 24) {
        const uint8_t* p = source + 3 * x;
        sum = p[0] + p[1] + p[2];
      } else {
        const uint8_t* p = source + (bits / 8) * x;
        const uint32_t pixel = bits == 16 ? p[0] | p[1] << 8
                                          : p[0] | p[1] << 8 | p[2] << 16 |
                                                static_cast<uint32_t>(p[3]) << 24;
        sum = ChannelValue(pixel, r) + ChannelValue(pixel, g) + ChannelValue(pixel, b);
      }
      target[x] = static_cast<uint8_t>(sum / 3);
    }
  }
}

bool MakeWorkingImage(const DibPicture& picture, bool forceGrey, IndexedImage& image) {
  const int32_t bits = picture.bitsPerPixel;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  const bool grey = forceGrey || bits > 8;
  if (!CreateIndexedImage(grey, picture.width, picture.height, picture.colors, image)) return false;
  if (picture.pixels.size() < picture.Stride() * picture.height) return false;
  if (bits > 8) {
    ConvertToGrey(picture, image);
    return true;
  }
  // Index -> working pixel: the same value, or with grey forced the nearest
  // grey of its colour (an index past the table is black).
  std::array<uint8_t, 256> map{};
  for (int i = 0; i < 256; ++i) {
    if (!grey) {
      map[i] = static_cast<uint8_t>(i);
    } else {
      map[i] = NearestGrey(static_cast<size_t>(i) < picture.colors.size() ? picture.colors[i] : 0);
    }
  }
  for (int32_t y = 0; y < picture.height; ++y) {
    const uint8_t* source = picture.pixels.data() + y * picture.Stride();
    uint8_t* target = image.Row(image.height - 1 - y);
    for (int32_t x = 0; x < picture.width; ++x) target[x] = map[IndexAt(source, x, bits)];
  }
  return true;
}

}  // namespace lumox
