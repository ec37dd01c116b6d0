#include "config/pal_file.h"

#include <algorithm>
#include <fstream>
#include <string_view>

#include "platform/atomic_file.h"

namespace lumox {

namespace {

constexpr uint8_t kPalMagic[4] = {0x00, 0x42, 0x00, 0x42};

uint32_t ReadLittleEndian32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
         (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

}  // namespace

PalReadResult ReadPalBytes(std::span<const uint8_t> bytes, CustomPalette& palette) {
  PalReadResult result;
  if (bytes.size() < kPalHeaderSize || !std::equal(kPalMagic, kPalMagic + 4, bytes.begin())) {
    return result;
  }
  result.isPalFile = true;
  const size_t claimed = ReadLittleEndian32(bytes.data() + 4);
  const size_t usable = std::min({claimed, kPalEntryBytes, bytes.size() - kPalHeaderSize});
  result.entriesRead = static_cast<int>(usable / 4);
  const uint8_t* entry = bytes.data() + kPalHeaderSize;
  for (int i = 0; i < result.entriesRead; ++i, entry += 4) {
    palette[i].Set({entry[0], entry[1], entry[2]});
  }
  return result;
}

std::vector<uint8_t> WritePalBytes(const CustomPalette& palette) {
  std::vector<uint8_t> bytes(kPalMagic, kPalMagic + 4);
  for (int shift = 0; shift < 32; shift += 8) {
    bytes.push_back(static_cast<uint8_t>(kPalEntryBytes >> shift));
  }
  for (const CustomColor& color : palette) {
    bytes.insert(bytes.end(), {color.red, color.green, color.blue, kPcReserved});
  }
  return bytes;
}

PalReadResult ReadPalFile(const std::string& path, CustomPalette& palette) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::vector<uint8_t> bytes(kPalFileSize);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(in.gcount()));
  return ReadPalBytes(bytes, palette);
}

bool WritePalFile(const std::string& path, const CustomPalette& palette, std::string& error) {
  const std::vector<uint8_t> bytes = WritePalBytes(palette);
  const std::string_view content(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return ReplaceFileAtomically(path, content, FileAccess::Everyone, error);
}

}  // namespace lumox
