#include "control/sound_share.h"

#include <cstdlib>

namespace lumox {
namespace {

namespace off = share_offset;

// The wire layout, checked where it is used: fixed offsets, no gaps, 782
// bytes in all.
static_assert(kSoundShareSize == 782);
static_assert(off::LeftBands + 16 * 4 == off::RightBands);
static_assert(off::RightBands + 16 * 4 == 0x0E4);
static_assert(off::InfoText1 + kInfoTextSize == off::InfoText2);
static_assert(off::InfoText2 + kInfoTextSize == off::InfoText3);
static_assert(off::InfoText3 + kInfoTextSize == off::InfoSerial);
static_assert(off::SaverVersionMinor + 2 + 8 == off::LayoutMismatchCode);
static_assert(off::AutoGain + 4 + 6 == off::SlowCPU);
static_assert(off::SaverClients + 4 == off::DisplayName);
static_assert(off::DisplayName + kShareDisplayNameSize == off::RestartRequest);
static_assert(off::LauncherClosed + 4 == kSoundShareSize);

// A whole access to a field is one machine load or store. On x86 an
// unaligned access is indivisible as long as it stays within one cache
// line; the block starts on a cache-line boundary, so it is enough that no
// field straddles a 64-byte boundary of the block.
constexpr size_t kCacheLine = 64;
constexpr bool WithinOneLine(size_t offset, size_t size) {
  return offset / kCacheLine == (offset + size - 1) / kCacheLine;
}
constexpr size_t kWordFields[] = {
    off::BlockSize,        off::LayoutVersion,      off::LeftLevel,        off::RightLevel,
    off::LevelFullScale,   off::LevelDivisor,       off::KeyLevel,         off::BandFullScale,
    off::InfoSerial,       off::LayoutMismatchCode, off::LayoutMismatch,   off::SaverWindows,
    off::PaletteUsesSound, off::SaverUsesSound,     off::PaletteSoundEnabled,
    off::ModuleSoundEnabled, off::FullScreenSaver,  off::AutoGain,         off::SlowCPU,
    off::PlayerActive,     off::SaverClients,       off::RestartRequest,   off::CaptureRequest,
    off::LauncherClosed};
constexpr size_t kHalfWordFields[] = {off::PlayerVersionMajor, off::PlayerVersionMinor,
                                      off::SaverVersionMajor, off::SaverVersionMinor};

constexpr bool AllWithinOneLine() {
  for (size_t offset : kWordFields)
    if (!WithinOneLine(offset, 4) || offset + 4 > kSoundShareSize) return false;
  for (size_t offset : kHalfWordFields)
    if (!WithinOneLine(offset, 2) || offset % 2 != 0) return false;
  // The band arrays are naturally aligned.
  return off::LeftBands % 4 == 0 && off::RightBands % 4 == 0;
}
static_assert(AllWithinOneLine(), "a field straddles a cache line");
static_assert(alignof(SoundShareBytes) >= kCacheLine);

#if defined(__x86_64__) || defined(__i386__)
constexpr bool kUnalignedWordsAreWhole = true;
#else
constexpr bool kUnalignedWordsAreWhole = false;
#endif

template <typename T>
T LoadWhole(const uint8_t* at) {
  if (kUnalignedWordsAreWhole || reinterpret_cast<uintptr_t>(at) % sizeof(T) == 0)
    return __atomic_load_n(reinterpret_cast<const T*>(at), __ATOMIC_RELAXED);
  T value;  // elsewhere an unaligned word can only be copied
  std::memcpy(&value, at, sizeof value);
  return value;
}

template <typename T>
void StoreWhole(uint8_t* at, T value) {
  if (kUnalignedWordsAreWhole || reinterpret_cast<uintptr_t>(at) % sizeof(T) == 0)
    __atomic_store_n(reinterpret_cast<T*>(at), value, __ATOMIC_RELAXED);
  else
    std::memcpy(at, &value, sizeof value);
}

constexpr bool Fits(size_t offset, size_t size) {
  return offset <= kSoundShareSize && size <= kSoundShareSize - offset;
}

}  // namespace

uint32_t SoundShare::U32(size_t offset) const {
  return Fits(offset, 4) ? LoadWhole<uint32_t>(bytes_ + offset) : 0;
}

void SoundShare::SetU32(size_t offset, uint32_t value) {
  if (Fits(offset, 4)) StoreWhole<uint32_t>(bytes_ + offset, value);
}

uint16_t SoundShare::U16(size_t offset) const {
  return Fits(offset, 2) ? LoadWhole<uint16_t>(bytes_ + offset) : 0;
}

void SoundShare::SetU16(size_t offset, uint16_t value) {
  if (Fits(offset, 2)) StoreWhole<uint16_t>(bytes_ + offset, value);
}

void SoundShare::Increment(size_t offset) {
  if (!Fits(offset, 4)) return;
  uint8_t* at = bytes_ + offset;
  if (kUnalignedWordsAreWhole || reinterpret_cast<uintptr_t>(at) % 4 == 0)
    __atomic_fetch_add(reinterpret_cast<uint32_t*>(at), 1u, __ATOMIC_RELAXED);
  else
    SetU32(offset, U32(offset) + 1);
}

void SoundShare::Decrement(size_t offset) {
  if (!Fits(offset, 4)) return;
  uint8_t* at = bytes_ + offset;
  if (kUnalignedWordsAreWhole || reinterpret_cast<uintptr_t>(at) % 4 == 0) {
    auto* word = reinterpret_cast<uint32_t*>(at);
    uint32_t seen = __atomic_load_n(word, __ATOMIC_RELAXED);
    while (seen != 0 && !__atomic_compare_exchange_n(word, &seen, seen - 1, true,
                                                     __ATOMIC_RELAXED, __ATOMIC_RELAXED)) {
    }
  } else if (const uint32_t seen = U32(offset); seen != 0) {
    SetU32(offset, seen - 1);
  }
}

// Floats travel as their bit patterns, so a float field is as whole as a
// word field.
float SoundShare::F32(size_t offset) const {
  const uint32_t bits = U32(offset);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

void SoundShare::SetF32(size_t offset, float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  SetU32(offset, bits);
}

float SoundShare::BandLevel(size_t first, int band) const {
  if (band < 0 || band >= 16) return 0.0f;
  return F32(first + 4 * static_cast<size_t>(band));
}

void SoundShare::SetBandLevel(size_t first, int band, float level) {
  if (band >= 0 && band < 16) SetF32(first + 4 * static_cast<size_t>(band), level);
}

std::string SoundShare::Text(size_t offset, size_t size) const {
  std::string text;
  if (!Fits(offset, size)) return text;
  for (size_t i = 0; i < size; ++i) {
    const char c = static_cast<char>(__atomic_load_n(bytes_ + offset + i, __ATOMIC_RELAXED));
    if (c == '\0') break;
    text.push_back(c);
  }
  return text;
}

void SoundShare::SetText(size_t offset, size_t size, const std::string& text) {
  if (size == 0 || !Fits(offset, size)) return;
  const size_t length = text.size() < size - 1 ? text.size() : size - 1;
  for (size_t i = 0; i < size; ++i) {
    const uint8_t c = i < length ? static_cast<uint8_t>(text[i]) : 0;
    __atomic_store_n(bytes_ + offset + i, c, __ATOMIC_RELAXED);
  }
}

std::string SoundShareName() {
  const char* name = std::getenv(kSoundShareNameVariable);
  return name && *name ? name : kSoundShareName;
}

}  // namespace lumox
