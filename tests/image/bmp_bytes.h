// BMP files built byte by byte for the tests, so that every depth, header
// and compression is made here and nothing comes from elsewhere.
#pragma once

#include <cstdint>
#include <vector>

namespace lumox::testing {

struct BmpFile {
  int32_t width = 0, height = 0;  // height < 0: rows top-down
  int bits = 8;
  uint32_t compression = 0;       // 0 none, 1 RLE8, 2 RLE4, 3 bit fields
  uint32_t header = 40;           // 12: the core header (3-byte colours); longer ones hold the masks
  std::vector<uint32_t> colors;   // 0x00RRGGBB
  uint32_t masks[3] = {};         // bit fields: red, green, blue
  std::vector<uint8_t> data;      // pixel data exactly as stored in the file
  int32_t colorsUsedField = -1;   // -1: colors.size()

  std::vector<uint8_t> Bytes() const {
    std::vector<uint8_t> out{'B', 'M'};
    auto put = [&](uint32_t v, int n) {
      for (int i = 0; i < n; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    const bool core = header == 12;
    const uint32_t offset = 14 + header + static_cast<uint32_t>(colors.size()) * (core ? 3 : 4) +
                            (compression == 3 && header == 40 ? 12 : 0);
    put(offset + static_cast<uint32_t>(data.size()), 4), put(0, 4), put(offset, 4), put(header, 4);
    if (core) {
      put(width, 2), put(height, 2), put(1, 2), put(bits, 2);
    } else {
      put(width, 4), put(height, 4), put(1, 2), put(bits, 2), put(compression, 4);
      put(compression == 1 || compression == 2 ? data.size() : 0, 4), put(0, 4), put(0, 4);
      put(colorsUsedField >= 0 ? colorsUsedField : colors.size(), 4), put(0, 4);
    }
    if (compression == 3) put(masks[0], 4), put(masks[1], 4), put(masks[2], 4);
    if (header > 40) out.resize(14 + header, 0);
    for (uint32_t c : colors) put(c, core ? 3 : 4);  // blue, green, red (, 0)
    out.insert(out.end(), data.begin(), data.end());
    return out;
  }
};

// Rows given without padding, each padded to 4 bytes.
inline std::vector<uint8_t> PadRows(const std::vector<std::vector<uint8_t>>& rows) {
  std::vector<uint8_t> out;
  for (const auto& row : rows) {
    out.insert(out.end(), row.begin(), row.end());
    out.resize((out.size() + 3) & ~size_t{3}, 0);
  }
  return out;
}

}  // namespace lumox::testing
