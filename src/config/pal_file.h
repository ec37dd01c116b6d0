// Palette files (.PAL): the custom palette's 236 colours exchanged as a
// file.
//
//   offset 0  4 bytes  magic 00 42 00 42 (the settings files' magic too)
//   offset 4  4 bytes  N, little-endian: the number of entry bytes that follow
//   offset 8  N bytes  entries of red, green, blue and a flag byte (written 1)
//
// Writing always gives 952 bytes: N = 944, all 236 entries. Reading is
// forgiving about the length and strict about the header:
//   - fewer than 8 bytes, or another magic: not a palette file, nothing read;
//   - otherwise min(N, 944, bytes present) entry bytes are read, whole
//     entries only; entries not covered keep their colours, and bytes past
//     them (a longer file, a larger N) are ignored.
// The flag byte read is not kept: a custom colour's flag is always 1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "state/palette_state.h"

namespace lumox {

constexpr size_t kPalHeaderSize = 8;
constexpr size_t kPalEntryBytes = 4 * kPaletteEntries;            // 944
constexpr size_t kPalFileSize = kPalHeaderSize + kPalEntryBytes;  // 952

struct PalReadResult {
  bool isPalFile = false;  // the header was there and had the magic
  int entriesRead = 0;     // whole entries taken into the palette
};

PalReadResult ReadPalBytes(std::span<const uint8_t> bytes, CustomPalette& palette);
std::vector<uint8_t> WritePalBytes(const CustomPalette& palette);

// The same on a file. Reading opens the file and reads at most the 952
// bytes it can use; a file that cannot be opened is no palette file.
// Writing replaces the file as a whole; on failure `error` says why.
PalReadResult ReadPalFile(const std::string& path, CustomPalette& palette);
bool WritePalFile(const std::string& path, const CustomPalette& palette, std::string& error);

}  // namespace lumox
