// The stored display mode ("DisplayMode"): a 156-byte Win32 display-mode
// record written by the configuration's Display page. The core only needs
// the mode's size; the host hands the whole record to the system.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

namespace lumox {

constexpr size_t kDisplayModeSize = 156;

struct DisplayModeRecord {
  std::array<uint8_t, kDisplayModeSize> bytes{};

  uint32_t Width() const { return Field(kPelsWidthOffset); }
  uint32_t Height() const { return Field(kPelsHeightOffset); }

 private:
  // Offsets of the pixel width and height in the record.
  static constexpr size_t kPelsWidthOffset = 108;
  static constexpr size_t kPelsHeightOffset = 112;

  uint32_t Field(size_t offset) const {
    return static_cast<uint32_t>(bytes[offset]) | (static_cast<uint32_t>(bytes[offset + 1]) << 8) |
           (static_cast<uint32_t>(bytes[offset + 2]) << 16) |
           (static_cast<uint32_t>(bytes[offset + 3]) << 24);
  }
};

}  // namespace lumox
