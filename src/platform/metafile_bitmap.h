// The bitmap a graphics import filter hands back: a Windows metafile in a
// memory block, whose first bitmap record carries a packed device-
// independent bitmap (information header, colour table, pixel rows).
//
// Both steps are plain byte parsing, so they live here, away from the
// Windows calls, and take any bytes at all: sizes that point past the end of
// the block, truncated records and lying headers give "nothing found" or
// false, never a read outside the block.
//
// Metafile layout as read here: a header whose 16-bit word at byte 2 is its
// own size in 16-bit words and whose 32-bit value at byte 6 is the whole
// metafile's size in 16-bit words; then records, each a 32-bit size in
// 16-bit words and a 16-bit function number. The bitmap starts at byte 22
// of META_DIBBITBLT (0x0940), 26 of META_DIBSTRETCHBLT (0x0B41), 24 of
// META_SETDIBTODEV (0x0D33) and 28 of META_STRETCHDIB (0x0F43).
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/picture_import.h"

namespace lumox {

// The packed bitmap of the first bitmap record, from its start to the end
// of its record; empty when the walk reaches the end, a record of size 0,
// or a record that runs past the metafile or the block, before finding one.
// The walk ends at the smaller of the block's size and the metafile's own.
std::span<const uint8_t> FindMetafileBitmap(std::span<const uint8_t> metafile);

// Reads a packed bitmap with a 12-byte core header or an information header
// of 40 bytes or more, uncompressed or with bit-field masks, of 1, 4, 8, 16,
// 24 or 32 bits per pixel, into `picture`. False with a message for the user
// when the header is not one of those, a side is 0 or over kMaxPictureSide,
// the colour table holds over 256 entries, or the rows run past the end.
bool UnpackDib(std::span<const uint8_t> dib, DibPicture& picture, std::string& error);

}  // namespace lumox
