// Writes 32-bit 0x00RRGGBB pixels as an 8-bit RGB PNG file.
//
// The files carry no time stamp or other varying chunk, so the same pixels
// always give the same bytes: headless runs compare files directly.
#pragma once

#include <cstdint>
#include <string>

namespace lumox::host {

// pitchBytes is the distance between rows. Returns false (and leaves no
// partial file behind) when the file cannot be written; error says why.
bool WritePng(const std::string& path, const uint32_t* pixels, int width, int height,
              int pitchBytes, std::string& error);

}  // namespace lumox::host
