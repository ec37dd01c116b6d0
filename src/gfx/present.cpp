// The present step: 8-bit physical indices to 32-bit 0x00RRGGBB pixels.
//
// This runs once per displayed frame over the whole screen, so it is written
// to be limited by memory bandwidth. Where the CPU has AVX-512 VBMI the 256
// palette words are split into three 256-byte planes (blue, green, red) and
// each plane is looked up 64 pixels at a time with byte permutes (vpermi2b
// covers 128 entries; two of them and a blend on the index's top bit cover
// 256). The three looked-up planes are then interleaved into pixels with byte
// and word unpacks. With AVX2 alone there is no byte permute wide enough
// for 256 entries, and gathers lose to scalar loads; that path reads eight
// indices as one word, looks each up with a scalar load straight into a
// vector lane and stores eight pixels at once, which saves most of the
// portable loop's index loads and stores. Elsewhere an unrolled table loop
// is the fallback.
//
// A large image (kStreamingBytes of pixels or more, like the whole frame
// at every palette step) is written with streaming stores by both SIMD
// paths. An ordinary store reads each destination line into the cache
// before overwriting it, and an image this size leaves the converting
// core's cache before the display server reads it anyway; streaming stores
// write whole lines without reading them. Small images, the changed
// rectangles between palette steps, keep ordinary stores, which leave them
// cached for the server.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "gfx/screen.h"

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define LUMOX_X86_DISPATCH 1
#include <immintrin.h>
#endif

namespace lumox::gfx {
namespace {

// Row y of an image whose rows are pitchBytes apart.
uint32_t* ImageRow(uint32_t* image, int pitchBytes, int y) {
  return reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(image) +
                                     static_cast<ptrdiff_t>(y) * pitchBytes);
}

}  // namespace

void ConvertIndexedRowPortable(const uint8_t* source, uint32_t* destination, int count,
                               const uint32_t* table) {
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    const uint32_t p0 = table[source[i + 0]], p1 = table[source[i + 1]];
    const uint32_t p2 = table[source[i + 2]], p3 = table[source[i + 3]];
    const uint32_t p4 = table[source[i + 4]], p5 = table[source[i + 5]];
    const uint32_t p6 = table[source[i + 6]], p7 = table[source[i + 7]];
    destination[i + 0] = p0;
    destination[i + 1] = p1;
    destination[i + 2] = p2;
    destination[i + 3] = p3;
    destination[i + 4] = p4;
    destination[i + 5] = p5;
    destination[i + 6] = p6;
    destination[i + 7] = p7;
  }
  for (; i < count; ++i) destination[i] = table[source[i]];
}

#ifdef LUMOX_X86_DISPATCH
namespace {

// Larger than a core's second-level cache on common processors.
constexpr int64_t kStreamingBytes = int64_t{2} << 20;

#define LUMOX_TARGET_VBMI __attribute__((target("avx512f,avx512bw,avx512vbmi")))

// The unpack instructions work within 128-bit lanes, so pixel order would
// come out lane-interleaved. Permuting the 64 indices first puts every
// pixel where the unpacks will leave it in order: source byte
// 16 * lane + 4 * group + j holds pixel 16 * group + 4 * lane + j.
// clang-format off
alignas(64) constexpr uint8_t kLaneOrder[64] = {
    0,  1,  2,  3,  16, 17, 18, 19, 32, 33, 34, 35, 48, 49, 50, 51,
    4,  5,  6,  7,  20, 21, 22, 23, 36, 37, 38, 39, 52, 53, 54, 55,
    8,  9,  10, 11, 24, 25, 26, 27, 40, 41, 42, 43, 56, 57, 58, 59,
    12, 13, 14, 15, 28, 29, 30, 31, 44, 45, 46, 47, 60, 61, 62, 63,
};
// clang-format on

LUMOX_TARGET_VBMI inline __m512i LookUpPlane(__m512i indices, __mmask64 upperHalf,
                                             const __m512i& t0, const __m512i& t1,
                                             const __m512i& t2, const __m512i& t3) {
  const __m512i lower = _mm512_permutex2var_epi8(t0, indices, t1);
  const __m512i upper = _mm512_permutex2var_epi8(t2, indices, t3);
  return _mm512_mask_blend_epi8(upperHalf, lower, upper);
}

// The palette split into byte planes, each as four 64-entry registers.
struct PalettePlanes {
  __m512i blue[4], green[4], red[4];
};

LUMOX_TARGET_VBMI PalettePlanes SplitPalette(const uint32_t* table) {
  alignas(64) uint8_t planes[3][256];
  for (int entry = 0; entry < 256; ++entry) {
    planes[0][entry] = static_cast<uint8_t>(table[entry]);
    planes[1][entry] = static_cast<uint8_t>(table[entry] >> 8);
    planes[2][entry] = static_cast<uint8_t>(table[entry] >> 16);
  }
  PalettePlanes result;
  for (int q = 0; q < 4; ++q) {
    result.blue[q] = _mm512_load_si512(planes[0] + 64 * q);
    result.green[q] = _mm512_load_si512(planes[1] + 64 * q);
    result.red[q] = _mm512_load_si512(planes[2] + 64 * q);
  }
  return result;
}

// The pixels before destination's first 64-byte boundary (at most count).
int PixelsBeforeLine(const uint32_t* destination, int count) {
  const auto misalignment = static_cast<int>(reinterpret_cast<uintptr_t>(destination) & 63);
  return std::min(count, ((64 - misalignment) & 63) / 4);
}

// Converts up to 64 pixels: the first count (1..64) of source's into
// destination; bytes past them are neither read nor written. Stream: a
// whole block of 64 goes to a 64-byte aligned destination with streaming
// stores.
template <bool Stream>
LUMOX_TARGET_VBMI inline void ConvertBlockVbmi(const uint8_t* source, uint32_t* destination,
                                               int count, const PalettePlanes& p) {
  const __mmask64 used = ~__mmask64{0} >> (64 - count);
  const __m512i raw = _mm512_maskz_loadu_epi8(used, source);
  // The zero-masking form: the plain one trips a false uninitialised-value
  // warning in GCC's own header.
  const __m512i indices =
      _mm512_maskz_permutexvar_epi8(~__mmask64{0}, _mm512_load_si512(kLaneOrder), raw);
  const __mmask64 upperHalf = _mm512_movepi8_mask(indices);
  const __m512i blue = LookUpPlane(indices, upperHalf, p.blue[0], p.blue[1], p.blue[2], p.blue[3]);
  const __m512i green =
      LookUpPlane(indices, upperHalf, p.green[0], p.green[1], p.green[2], p.green[3]);
  const __m512i red = LookUpPlane(indices, upperHalf, p.red[0], p.red[1], p.red[2], p.red[3]);
  const __m512i zero = _mm512_setzero_si512();
  const __m512i blueGreenLow = _mm512_unpacklo_epi8(blue, green);
  const __m512i blueGreenHigh = _mm512_unpackhi_epi8(blue, green);
  const __m512i redLow = _mm512_unpacklo_epi8(red, zero);
  const __m512i redHigh = _mm512_unpackhi_epi8(red, zero);
  const __m512i pixels[4] = {
      _mm512_unpacklo_epi16(blueGreenLow, redLow), _mm512_unpackhi_epi16(blueGreenLow, redLow),
      _mm512_unpacklo_epi16(blueGreenHigh, redHigh), _mm512_unpackhi_epi16(blueGreenHigh, redHigh)};
  if (count == 64) {
    for (int q = 0; q < 4; ++q) {
      if constexpr (Stream)
        _mm512_stream_si512(reinterpret_cast<__m512i*>(destination + 16 * q), pixels[q]);
      else
        _mm512_storeu_si512(destination + 16 * q, pixels[q]);
    }
    return;
  }
  // A row's last few pixels: masked stores, which skip (and never fault on)
  // the pixels past the row.
  for (int q = 0; q < 4; ++q)
    _mm512_mask_storeu_epi32(destination + 16 * q, static_cast<__mmask16>(used >> (16 * q)),
                             pixels[q]);
}

LUMOX_TARGET_VBMI void ConvertRowVbmi(const uint8_t* source, uint32_t* destination, int count,
                                      const PalettePlanes& p, bool stream) {
  int i = 0;
  if (stream) {
    // Ordinary stores up to the first line boundary, whole lines after it.
    i = PixelsBeforeLine(destination, count);
    if (i > 0) ConvertBlockVbmi<false>(source, destination, i, p);
    if ((reinterpret_cast<uintptr_t>(destination + i) & 63) == 0)
      for (; i + 64 <= count; i += 64) ConvertBlockVbmi<true>(source + i, destination + i, 64, p);
  }
  for (; i + 64 <= count; i += 64) ConvertBlockVbmi<false>(source + i, destination + i, 64, p);
  if (i < count) ConvertBlockVbmi<false>(source + i, destination + i, count - i, p);
}

LUMOX_TARGET_VBMI void ConvertImageVbmi(const uint8_t* source, int sourcePitch,
                                        uint32_t* destination, int destinationPitchBytes, int width,
                                        int height, const uint32_t* table, bool stream) {
  const PalettePlanes planes = SplitPalette(table);
  for (int y = 0; y < height; ++y) {
    ConvertRowVbmi(source + static_cast<ptrdiff_t>(y) * sourcePitch,
                   ImageRow(destination, destinationPitchBytes, y), width, planes, stream);
  }
  // Streamed lines are complete in memory before the image is handed on.
  if (stream) _mm_sfence();
}

#define LUMOX_TARGET_AVX2 __attribute__((target("avx2")))

// Eight pixels looked up into one vector.
LUMOX_TARGET_AVX2 inline __m256i LookUpEightAvx2(const uint8_t* source, const uint32_t* table) {
  uint64_t indices;
  std::memcpy(&indices, source, 8);
  auto entry = [&](int k) { return static_cast<int>(table[(indices >> (8 * k)) & 0xFF]); };
  __m128i low = _mm_cvtsi32_si128(entry(0));
  low = _mm_insert_epi32(low, entry(1), 1);
  low = _mm_insert_epi32(low, entry(2), 2);
  low = _mm_insert_epi32(low, entry(3), 3);
  __m128i high = _mm_cvtsi32_si128(entry(4));
  high = _mm_insert_epi32(high, entry(5), 1);
  high = _mm_insert_epi32(high, entry(6), 2);
  high = _mm_insert_epi32(high, entry(7), 3);
  return _mm256_set_m128i(high, low);
}

LUMOX_TARGET_AVX2 void ConvertRowAvx2(const uint8_t* source, uint32_t* destination, int count,
                                      const uint32_t* table, bool stream) {
  int i = 0;
  if (stream) {
    // Ordinary stores up to the first line boundary, whole lines after it.
    i = PixelsBeforeLine(destination, count);
    ConvertIndexedRowPortable(source, destination, i, table);
    if ((reinterpret_cast<uintptr_t>(destination + i) & 63) == 0)
      for (; i + 16 <= count; i += 16) {
        auto* line = reinterpret_cast<__m256i*>(destination + i);
        _mm256_stream_si256(line, LookUpEightAvx2(source + i, table));
        _mm256_stream_si256(line + 1, LookUpEightAvx2(source + i + 8, table));
      }
  }
  for (; i + 8 <= count; i += 8)
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(destination + i),
                        LookUpEightAvx2(source + i, table));
  ConvertIndexedRowPortable(source + i, destination + i, count - i, table);
}

LUMOX_TARGET_AVX2 void ConvertImageAvx2(const uint8_t* source, int sourcePitch,
                                        uint32_t* destination, int destinationPitchBytes, int width,
                                        int height, const uint32_t* table, bool stream) {
  for (int y = 0; y < height; ++y) {
    ConvertRowAvx2(source + static_cast<ptrdiff_t>(y) * sourcePitch,
                   ImageRow(destination, destinationPitchBytes, y), width, table, stream);
  }
  if (stream) _mm_sfence();
}

bool HasAvx2() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}

bool HasVbmi() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
         __builtin_cpu_supports("avx512vbmi");
}

}  // namespace
#endif

PresentPath ActivePresentPath() {
#ifdef LUMOX_X86_DISPATCH
  static const bool vbmi = HasVbmi();
  static const bool avx2 = HasAvx2();
  if (vbmi) return PresentPath::BytePermute;
  if (avx2) return PresentPath::Avx2;
#endif
  return PresentPath::Portable;
}

bool PresentPathAvailable(PresentPath path) {
  switch (path) {
    case PresentPath::Portable:
      return true;
#ifdef LUMOX_X86_DISPATCH
    case PresentPath::Avx2:
      return HasAvx2();
    case PresentPath::BytePermute:
      return HasVbmi();
#endif
    default:
      return false;
  }
}

void ConvertIndexedImage(PresentPath path, const uint8_t* source, int sourcePitch,
                         uint32_t* destination, int destinationPitchBytes, int width, int height,
                         const uint32_t* table) {
  if (width <= 0 || height <= 0 || source == nullptr || destination == nullptr) return;
#ifdef LUMOX_X86_DISPATCH
  const bool stream = int64_t{width} * height * 4 >= kStreamingBytes;
  if (path == PresentPath::BytePermute && PresentPathAvailable(path)) {
    ConvertImageVbmi(source, sourcePitch, destination, destinationPitchBytes, width, height, table,
                     stream);
    return;
  }
  if (path == PresentPath::Avx2 && PresentPathAvailable(path)) {
    ConvertImageAvx2(source, sourcePitch, destination, destinationPitchBytes, width, height, table,
                     stream);
    return;
  }
#endif
  (void)path;
  for (int y = 0; y < height; ++y) {
    ConvertIndexedRowPortable(source + static_cast<ptrdiff_t>(y) * sourcePitch,
                              ImageRow(destination, destinationPitchBytes, y), width, table);
  }
}

void ConvertIndexedRow(const uint8_t* source, uint32_t* destination, int count,
                       const uint32_t* table) {
  ConvertIndexedImage(ActivePresentPath(), source, count, destination, count * 4, count, 1, table);
}

}  // namespace lumox::gfx
