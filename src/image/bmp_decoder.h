// Our own reader of the BMP family (".bmp", ".dib", ".rle"): the files the
// system loads by itself on Windows and that nothing loads on Linux.
//
// It reads a file with or without the 14-byte file header (a packed DIB),
// the 12-byte core header and the 40-, 52-, 56-, 108- and 124-byte info
// headers; 1, 4, 8, 16, 24 and 32 bits per pixel; uncompressed rows
// bottom-up or top-down, RLE8, RLE4 and 16/32-bit bit fields. It hands the
// picture on at its own depth, uncompressed, rows top-down (DibPicture).
//
// Every bad file is refused with a message and nothing is read or written
// outside a buffer: truncated data, sizes the file cannot hold, colour
// tables over 256 entries, RLE runs past the row or the image, zero sizes,
// and pictures over kMaxPictureSide in either dimension (refused before
// anything is allocated).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platform/picture_import.h"

namespace lumox {

// Decodes a BMP held in memory. maxSide lowers the size limit (the fuzz
// target keeps its pictures small); false with a message in `error`.
bool DecodeBmp(std::span<const uint8_t> bytes, DibPicture& picture, std::string& error,
               int32_t maxSide = kMaxPictureSide);

// Reads and decodes a BMP file.
bool ReadBmpFile(const std::string& path, DibPicture& picture, std::string& error);

// The size in bytes of the colour table (and colour masks) that follows a
// bitmap information header of `headerSize` bytes.
size_t ColourTableSize(uint32_t headerSize, uint32_t bitCount, uint32_t compression,
                       uint32_t colorsUsed);

}  // namespace lumox
