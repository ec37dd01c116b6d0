// The block of shared memory exchanged with the sound player.
//
// A wire format between two programs: 782 bytes, every offset fixed,
// little-endian integers, no gaps, several 32-bit fields on unaligned
// offsets. Fields are reached through accessors that read and write each
// field whole (the other program reads it at any moment), and fields this
// program does not own are never touched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace lumox {

namespace share_offset {
constexpr size_t BlockSize = 0x000;
constexpr size_t LayoutVersion = 0x004;
constexpr size_t LeftLevel = 0x00C;
constexpr size_t RightLevel = 0x010;
constexpr size_t LevelFullScale = 0x014;
constexpr size_t LevelDivisor = 0x018;
constexpr size_t KeyLevel = 0x01C;
constexpr size_t BandFullScale = 0x020;
constexpr size_t LeftBands = 0x064;
constexpr size_t RightBands = 0x0A4;
constexpr size_t InfoText1 = 0x0EC;
constexpr size_t InfoText2 = 0x12C;
constexpr size_t InfoText3 = 0x16C;
constexpr size_t InfoSerial = 0x1AC;
constexpr size_t PlayerVersionMajor = 0x1B8;
constexpr size_t PlayerVersionMinor = 0x1BA;
constexpr size_t SaverVersionMajor = 0x1BC;
constexpr size_t SaverVersionMinor = 0x1BE;
constexpr size_t LayoutMismatchCode = 0x1C8;
constexpr size_t LayoutMismatch = 0x1CC;
constexpr size_t SaverWindows = 0x1D0;
constexpr size_t PaletteUsesSound = 0x1D4;
constexpr size_t SaverUsesSound = 0x1D8;
constexpr size_t PaletteSoundEnabled = 0x1DC;
constexpr size_t ModuleSoundEnabled = 0x1E0;
constexpr size_t FullScreenSaver = 0x1E4;
constexpr size_t AutoGain = 0x1E8;
constexpr size_t SlowCPU = 0x1F2;
constexpr size_t PlayerActive = 0x1F6;
constexpr size_t SaverClients = 0x1FA;
constexpr size_t DisplayName = 0x1FE;
constexpr size_t RestartRequest = 0x302;
constexpr size_t CaptureRequest = 0x306;
constexpr size_t LauncherClosed = 0x30A;
}  // namespace share_offset

constexpr size_t kSoundShareSize = 782;
constexpr uint32_t kSoundShareLayout = 4;
constexpr size_t kInfoTextSize = 64;
constexpr size_t kShareDisplayNameSize = 260;
constexpr const char* kSoundShareName = "LMXKAURSharedFileMappingQRZT";
// Tests give each process a block of its own through this variable, so a
// test run never touches the block of a saver or player running beside it.
constexpr const char* kSoundShareNameVariable = "LUMOX_SOUND_BLOCK";

// The block's name: $LUMOX_SOUND_BLOCK when set and not empty, otherwise
// kSoundShareName.
std::string SoundShareName();

// Storage for a block outside shared memory (the private stand-in used
// while no block is attached, tests). Aligned like the start of a shared
// mapping, so every field lies within one cache line as it does there.
struct alignas(64) SoundShareBytes {
  uint8_t bytes[kSoundShareSize] = {};
};

// A view of the block's bytes (in shared memory, or a SoundShareBytes).
// The view must start on a 64-byte boundary (a mapping starts on a page):
// the accessors rely on it for whole access to the unaligned fields.
class SoundShare {
 public:
  constexpr explicit SoundShare(uint8_t* bytes) : bytes_(bytes) {}
  uint8_t* bytes() const { return bytes_; }

  // Whole-field access. Every field lies within one cache line of a
  // page-aligned block, so one relaxed atomic access is whole even where
  // the offset is unaligned. An offset whose field would not fit in the
  // block reads as 0 and is not written.
  uint32_t U32(size_t offset) const;
  void SetU32(size_t offset, uint32_t value);
  uint16_t U16(size_t offset) const;
  void SetU16(size_t offset, uint16_t value);
  float F32(size_t offset) const;
  void SetF32(size_t offset, float value);

  // Counters that several programs change (SaverWindows, SaverClients):
  // one indivisible read-modify-write; Decrement stops at 0.
  void Increment(size_t offset);
  void Decrement(size_t offset);

  // Bands 0..15; another band number reads as 0.
  float LeftBand(int band) const { return BandLevel(share_offset::LeftBands, band); }
  float RightBand(int band) const { return BandLevel(share_offset::RightBands, band); }
  void SetLeftBand(int band, float level) { SetBandLevel(share_offset::LeftBands, band, level); }
  void SetRightBand(int band, float level) { SetBandLevel(share_offset::RightBands, band, level); }

  // Texts are copied byte by byte; a text without its terminating zero is
  // cut at the field's end. SetText always leaves the field zero-terminated
  // and zero-filled after the text.
  std::string Text(size_t offset, size_t size) const;
  void SetText(size_t offset, size_t size, const std::string& text);

 private:
  float BandLevel(size_t first, int band) const;
  void SetBandLevel(size_t first, int band, float level);

  uint8_t* bytes_;
};

}  // namespace lumox
