// Block transfers: surface to surface (BitBlt, StretchBlt) and palette-index
// DIBs to the surface (StretchDIBits, SetDIBitsToDevice).
//
// Everything goes through one stretch copy with GDI's COLORONCOLOR mapping.
// Stretching an extent of n source pixels over d > n destination pixels,
// destination pixel j takes source pixel ceil((2j + 1) n / 2d) - 1 (the one
// under its centre, an exact tie going to the earlier one); shrinking, a
// column takes floor((j + 1) n / d - 1/2), which keeps the last source
// column, and a row takes floor(j n / d + 1/2), which keeps the first source
// row (GDI's own mapping, measured against it); equal extents copy one to
// one. Each extent is counted from its origin, so a
// negative one runs backwards and different signs mirror the copy (with
// both negative the copy is upright, but sampled from the other ends).
// Destination pixels whose source pixel lies outside the source image are
// left alone.
#include <algorithm>
#include <utility>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include "gfx/canvas.h"
#include "gfx/canvas_internal.h"
#include "gfx/scan_convert.h"
#include "gfx/wide_math.h"

namespace lumox::gfx {
namespace {

// Source positions for destination positions [first, end) of an extent,
// trimmed to the ones that fall inside [0, limit). Returns the trimmed
// destination range in `first` / `end`.
std::vector<int32_t> MapAxis(const Extent& destination, const Extent& source, bool vertical,
                             int64_t limit, int64_t& first, int64_t& end) {
  std::vector<int32_t> map;
  const int64_t d = destination.length, n = source.length;
  const bool small = d < (int64_t{1} << 30) && n < (int64_t{1} << 30);
  auto sourceAt = [&](int64_t i) {
    // Both extents are walked from their origins, so a reversed one counts
    // from its far end.
    const int64_t j = destination.reversed ? d - 1 - i : i;
    int64_t k;
    if (n == d) {
      k = j;
    } else if (d > n) {  // stretching: ceil((2j + 1) n / 2d) - 1
      k = small ? CeilDiv((2 * j + 1) * n, 2 * d) - 1
                : CeilDivWide(static_cast<Wide>(2 * j + 1) * n, 2 * d) - 1;
    } else if (!vertical) {  // shrinking columns: floor((j + 1) n / d - 1/2)
      k = small ? FloorDiv(2 * (j + 1) * n - d, 2 * d)
                : FloorDivWide(static_cast<Wide>(2 * (j + 1)) * n - d, 2 * d);
    } else {  // shrinking rows: floor(j n / d + 1/2)
      k = small ? FloorDiv(2 * j * n + d, 2 * d)
                : FloorDivWide(static_cast<Wide>(2 * j) * n + d, 2 * d);
    }
    return source.start + (source.reversed ? n - 1 - k : k);
  };
  // Source positions move monotonically with i, so the valid ones form one
  // run: trim both ends.
  while (first < end && (sourceAt(first) < 0 || sourceAt(first) >= limit)) ++first;
  while (end > first && (sourceAt(end - 1) < 0 || sourceAt(end - 1) >= limit)) --end;
  if (first >= end) return map;
  map.reserve(static_cast<size_t>(end - first));
  for (int64_t i = first; i < end; ++i)
    map.push_back(static_cast<int32_t>(std::clamp<int64_t>(sourceAt(i), 0, limit - 1)));
  return map;
}

void CopyForward(uint8_t* destination, const uint8_t* source, size_t count, const uint8_t* lut) {
  if (lut == nullptr) {
    std::memmove(destination, source, count);
    return;
  }
  for (size_t i = 0; i < count; ++i) destination[i] = lut[source[i]];
}

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
// destination[i] = source[-i] for 32-byte blocks: reverse the bytes within
// each 128-bit lane, then swap the lanes.
__attribute__((target("avx2"))) size_t CopyReversedAvx2(uint8_t* destination, const uint8_t* source,
                                                        size_t count) {
  const __m256i reverse = _mm256_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 15,
                                           14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
  size_t i = 0;
  for (; i + 32 <= count; i += 32) {
    const __m256i block = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source - i - 31));
    const __m256i lanes = _mm256_shuffle_epi8(block, reverse);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(destination + i),
                        _mm256_permute4x64_epi64(lanes, 0x4E));
  }
  return i;
}

bool HasAvx2() {
  static const bool avx2 = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return avx2;
}
#define LUMOX_REVERSE_AVX2 1
#endif

// destination[i] = source[-i]: a mirrored row, 32 bytes at a time where the
// CPU allows, else eight at a time with a byte swap.
void CopyReversed(uint8_t* destination, const uint8_t* source, size_t count, const uint8_t* lut) {
  size_t i = 0;
  if (lut == nullptr) {
#ifdef LUMOX_REVERSE_AVX2
    if (HasAvx2()) i = CopyReversedAvx2(destination, source, count);
#endif
    for (; i + 8 <= count; i += 8) {
      uint64_t word;
      std::memcpy(&word, source - i - 7, 8);
      word = __builtin_bswap64(word);
      std::memcpy(destination + i, &word, 8);
    }
    for (; i < count; ++i) destination[i] = *(source - i);
    return;
  }
  for (; i < count; ++i) destination[i] = lut[*(source - i)];
}

}  // namespace

void Canvas::StretchImage(int64_t x, int64_t y, int64_t width, int64_t height,
                          const SourceImage& source, int64_t sourceX, int64_t sourceY,
                          int64_t sourceWidth, int64_t sourceHeight) {
  if (width == 0 || height == 0 || sourceWidth == 0 || sourceHeight == 0) return;
  if (source.pixels == nullptr || source.width <= 0 || source.height <= 0) return;
  const Extent dh = NormalizeExtent(x, width), dv = NormalizeExtent(y, height);
  const Extent sh = NormalizeExtent(sourceX, sourceWidth),
               sv = NormalizeExtent(sourceY, sourceHeight);
  const bool mirrorX = dh.reversed != sh.reversed;

  int64_t colFirst = std::max<int64_t>(0, clipBox_.left - dh.start);
  int64_t colEnd = std::min<int64_t>(dh.length, clipBox_.right - dh.start);
  int64_t rowFirst = std::max<int64_t>(0, clipBox_.top - dv.start);
  int64_t rowEnd = std::min<int64_t>(dv.length, clipBox_.bottom - dv.start);
  if (colFirst >= colEnd || rowFirst >= rowEnd) return;
  const std::vector<int32_t> cols = MapAxis(dh, sh, false, source.width, colFirst, colEnd);
  const std::vector<int32_t> rows = MapAxis(dv, sv, true, source.height, rowFirst, rowEnd);
  if (cols.empty() || rows.empty()) return;

  const bool unitScale = dh.length == sh.length;
  for (int64_t r = rowFirst; r < rowEnd; ++r) {
    const int64_t y = dv.start + r;
    const uint8_t* sourceRow = source.pixels + source.stride * rows[r - rowFirst];
    const int64_t from = dh.start + colFirst, to = dh.start + colEnd;
    ForEachClipped(y, from, to, [&](int32_t line, int32_t l, int32_t rr) {
      uint8_t* destinationRow = surface_.RowToWrite(line, l, rr);
      const size_t first = static_cast<size_t>(l - dh.start - colFirst);
      const size_t count = static_cast<size_t>(rr - l);
      const uint8_t* from = sourceRow + cols[first];
      if (unitScale && !mirrorX) {
        CopyForward(destinationRow + l, from, count, source.lut);
      } else if (unitScale) {
        CopyReversed(destinationRow + l, from, count, source.lut);
      } else if (source.lut == nullptr) {
        for (size_t i = 0; i < count; ++i) destinationRow[l + i] = sourceRow[cols[first + i]];
      } else {
        for (size_t i = 0; i < count; ++i)
          destinationRow[l + i] = source.lut[sourceRow[cols[first + i]]];
      }
    });
  }
}

void Canvas::BitBlt(int32_t x, int32_t y, int32_t width, int32_t height, const Canvas& source,
                    int32_t sourceX, int32_t sourceY, RasterOp op) {
  StretchBlt(x, y, width, height, source, sourceX, sourceY, width, height, op);
}

void Canvas::StretchBlt(int32_t x, int32_t y, int32_t width, int32_t height, const Canvas& source,
                        int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight,
                        RasterOp op) {
  if (!PrepareClip()) return;
  if (op != RasterOp::SrcCopy) {
    const Extent h = NormalizeExtent(x, width), v = NormalizeExtent(y, height);
    InvertOrFill(h.start, v.start, h.start + h.length, v.start + v.length, op);
    return;
  }
  const Surface& from = source.surface_;
  SourceImage image{from.data(), from.width(), from.width(), from.height(), nullptr};
  if (from.data() != std::as_const(surface_).data() || from.size() == 0) {
    StretchImage(x, y, width, height, image, sourceX, sourceY, sourceWidth, sourceHeight);
    return;
  }
  // Copying within one surface: read the source rectangle first, so that
  // overlapping copies behave as if the whole source were read before
  // anything is written.
  const Extent sh = NormalizeExtent(sourceX, sourceWidth),
               sv = NormalizeExtent(sourceY, sourceHeight);
  const int64_t left = std::max<int64_t>(sh.start, 0);
  const int64_t right = std::min<int64_t>(sh.start + sh.length, from.width());
  const int64_t top = std::max<int64_t>(sv.start, 0);
  const int64_t bottom = std::min<int64_t>(sv.start + sv.length, from.height());
  if (left >= right || top >= bottom) return;
  const int64_t w = right - left, h = bottom - top;
  std::vector<uint8_t> copy(static_cast<size_t>(w * h));
  for (int64_t row = 0; row < h; ++row)
    std::memcpy(copy.data() + row * w, from.row(static_cast<int>(top + row)) + left,
                static_cast<size_t>(w));
  image = {copy.data(), static_cast<ptrdiff_t>(w), static_cast<int32_t>(w), static_cast<int32_t>(h),
           nullptr};
  StretchImage(x, y, width, height, image, int64_t{sourceX} - left, int64_t{sourceY} - top,
               sourceWidth, sourceHeight);
}

namespace {

// Colour table entries are indices into the saver's palette; a pixel value
// past the table (or any value without a table) is taken as the saver index
// itself.
void BuildDibLut(const DibView& dib, uint8_t (&lut)[256]) {
  for (int v = 0; v < 256; ++v) {
    const uint32_t index = (dib.colorTable != nullptr && v < dib.colorCount)
                               ? dib.colorTable[v]
                               : static_cast<uint32_t>(v);
    lut[v] = ToPhysical(PaletteIndex(index));
  }
}

}  // namespace

void Canvas::StretchDIBits(int32_t x, int32_t y, int32_t width, int32_t height, int32_t sourceX,
                           int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight,
                           const DibView& dib, RasterOp op) {
  if (!PrepareClip()) return;
  if (op != RasterOp::SrcCopy) {
    const Extent h = NormalizeExtent(x, width), v = NormalizeExtent(y, height);
    InvertOrFill(h.start, v.start, h.start + h.length, v.start + v.length, op);
    return;
  }
  if (dib.bits == nullptr || dib.width <= 0 || dib.height == 0) return;
  uint8_t lut[256];
  BuildDibLut(dib, lut);
  const int64_t rows = dib.height < 0 ? -int64_t{dib.height} : dib.height;
  const ptrdiff_t stride = dib.Stride();
  // Read the picture top down: a bottom-up DIB (memory row 0 at the bottom)
  // with a negative stride.
  SourceImage image{dib.bits, stride, dib.width, static_cast<int32_t>(rows), lut};
  if (dib.height > 0) {
    image.pixels = dib.bits + (rows - 1) * stride;
    image.stride = -stride;
  }
  // Source rows count from the bottom of the picture, for top-down DIBs too
  // (as GDI does): turn them into rows from the top.
  const Extent sv = NormalizeExtent(sourceY, sourceHeight);
  const int64_t visualStart = rows - (sv.start + sv.length);
  const int64_t top = sv.reversed ? visualStart + sv.length - 1 : visualStart;
  StretchImage(x, y, width, height, image, sourceX, top, sourceWidth, sourceHeight);
}

void Canvas::SetDIBitsToDevice(int32_t x, int32_t y, int32_t width, int32_t height, int32_t sourceX,
                               int32_t sourceY, int32_t startScan, int32_t scanCount,
                               const DibView& dib) {
  if (!PrepareClip()) return;
  if (dib.bits == nullptr || dib.width <= 0 || dib.height == 0 || width <= 0 || height <= 0 ||
      scanCount <= 0 || startScan < 0)
    return;
  uint8_t lut[256];
  BuildDibLut(dib, lut);
  const int64_t rows = dib.height < 0 ? -int64_t{dib.height} : dib.height;
  const ptrdiff_t stride = dib.Stride();
  // Scan lines and source rows count from the bottom of the picture, for
  // top-down DIBs too (as GDI does). The buffer holds scan lines
  // [startScan, startScan + scanCount): bottom-up, or top-down for a
  // top-down DIB. Read as an image top down, band row j is scan line
  // startScan + scanCount - 1 - j.
  const int64_t bandEnd = int64_t{startScan} + scanCount;
  SourceImage band{dib.bits, stride, dib.width, scanCount, lut};
  if (dib.height > 0) {
    band.pixels = dib.bits + static_cast<ptrdiff_t>(scanCount - 1) * stride;
    band.stride = -stride;
  }
  // Scan line r lands on row y + sourceY + height - 1 - r.
  const int64_t first = std::max<int64_t>({sourceY, startScan, 0});
  const int64_t end = std::min<int64_t>({int64_t{sourceY} + height, bandEnd, rows});
  if (first >= end) return;
  const int64_t count = end - first;
  StretchImage(x, int64_t{y} + sourceY + height - end, width, count, band, sourceX, bandEnd - end,
               width, count);
}

}  // namespace lumox::gfx
