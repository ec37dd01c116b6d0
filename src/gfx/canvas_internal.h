// Helpers shared by the canvas's source files.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "gfx/canvas.h"

namespace lumox::gfx {

// Span fills go through a call to the library memset: inlined `rep stos`
// sequences are several times slower for the short spans shapes are made of.
[[gnu::noinline]] void FillBytes(uint8_t* destination, uint8_t value, size_t count);
void InvertBytes(uint8_t* destination, size_t count);

// A blit extent: a negative length runs leftwards (upwards) from its origin,
// which it includes, so (x, -w) covers x - w + 1 ... x.
struct Extent {
  int64_t start, length;
  bool reversed;
};
inline Extent NormalizeExtent(int64_t origin, int64_t length) {
  if (length < 0) return {origin + length + 1, -length, true};
  return {origin, length, false};
}

template <typename Write>
void Canvas::ForEachClipped(int64_t y, int64_t left, int64_t right, Write&& write) const {
  left = std::max<int64_t>(left, clipBox_.left);
  right = std::min<int64_t>(right, clipBox_.right);
  if (left >= right) return;
  if (!clip_) {
    write(static_cast<int32_t>(y), static_cast<int32_t>(left), static_cast<int32_t>(right));
    return;
  }
  const auto& spans = clip_->spans();
  for (uint32_t i = clipRows_[y], end = clipRows_[y + 1]; i < end; ++i) {
    const Region::Span& s = spans[i];
    if (s.left >= right) break;
    const int64_t l = std::max<int64_t>(left, s.left);
    const int64_t r = std::min<int64_t>(right, s.right);
    if (l < r) write(static_cast<int32_t>(y), static_cast<int32_t>(l), static_cast<int32_t>(r));
  }
}

}  // namespace lumox::gfx
