#include "image/image_effects.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "base/random.h"

namespace lumox {
namespace {

// (i, j) is row i, column j in memory order.
class Pixels {
 public:
  Pixels(uint8_t* base, int32_t stride) : base_(base), stride_(stride) {}
  uint8_t& operator()(int32_t i, int32_t j) const {
    return base_[static_cast<size_t>(i) * stride_ + j];
  }

 private:
  uint8_t* base_;
  int32_t stride_;
};

// The checkered selection: a flag inverted at the start of every row and
// before every position; a position is taken when the flag is then set.
// The flag carries over from row to row.
template <typename Act>
void Checkered(int32_t lastRow, int32_t lastColumn, Act&& act) {
  bool flag = false;
  for (int32_t i = 0; i <= lastRow; ++i) {
    flag = !flag;
    for (int32_t j = 0; j <= lastColumn; ++j) {
      flag = !flag;
      if (flag) act(i, j);
    }
  }
}

void CheckeredEffect(const PixelBuffer& b, int effect) {
  const Pixels p(b.pixels, b.stride);
  const int32_t X = b.width - 1, Y = b.height - 1;
  switch (effect) {
    case 1:  // half turn
      Checkered(Y - 1, X / 2, [&](int32_t i, int32_t j) { std::swap(p(i, j), p(Y - i, X - j)); });
      break;
    case 2:  // left-right mirror
      Checkered(Y - 1, X / 2, [&](int32_t i, int32_t j) { std::swap(p(i, j), p(i, X - j)); });
      break;
    case 3:  // top-bottom mirror
      if (Y < 2) return;
      Checkered(Y / 2 - 1, X - 2, [&](int32_t i, int32_t j) { std::swap(p(i, j), p(Y - i, j)); });
      break;
  }
}

// Effects 4..6: a pixel of 128 or more takes the copy's pixel from the
// mirrored or turned position.
void BrightEffect(const PixelBuffer& b, int effect, const uint8_t* copy) {
  const Pixels p(b.pixels, b.stride);
  const Pixels c(const_cast<uint8_t*>(copy), b.stride);
  const int32_t X = b.width - 1, Y = b.height - 1;
  for (int32_t i = 0; i < Y; ++i) {
    for (int32_t j = 0; j < X; ++j) {
      if (p(i, j) < 128) continue;
      const int32_t row = effect == 5 ? i : Y - i;
      const int32_t column = effect == 6 ? j : X - j;
      p(i, j) = c(row, column);
    }
  }
}

}  // namespace

void SmoothImage(const PixelBuffer& buffer, int32_t width, int32_t height) {
  width = std::min(width, buffer.width);
  height = std::min(height, buffer.height);
  if (buffer.pixels == nullptr || width <= 3 || height <= 3) return;
  const Pixels p(buffer.pixels, buffer.stride);
  for (int32_t x = 1; x <= width - 3; ++x) {
    for (int32_t y = 1; y <= height - 3; ++y) {
      uint32_t sum = 0;
      for (int32_t dy = -1; dy <= 1; ++dy) {
        sum += p(y + dy, x - 1) + p(y + dy, x) + p(y + dy, x + 1);
      }
      p(y, x) = static_cast<uint8_t>(sum / 9);
    }
  }
}

void ApplyImageEffect(const PixelBuffer& buffer, int32_t effect, std::vector<uint8_t>& scratch) {
  if (buffer.pixels == nullptr || buffer.width < 1 || buffer.height < 1) return;
  if (effect == 0) effect = Rand() % 20;
  if (effect < 1 || effect > 20) return;
  if (effect > 10) {
    SmoothImage(buffer, buffer.width - 1, buffer.height - 1);
    effect -= 10;
  }
  if (effect == 10) {
    SmoothImage(buffer, buffer.width - 1, buffer.height - 1);
    return;
  }
  if (effect >= 4) {
    const size_t size = static_cast<size_t>(buffer.height) * buffer.stride;
    try {
      if (scratch.size() < size) scratch.resize(size);
    } catch (const std::bad_alloc&) {
      return;
    }
    std::memcpy(scratch.data(), buffer.pixels, size);
    BrightEffect(buffer, effect <= 6 ? effect : effect - 3, scratch.data());
    if (effect <= 6) return;
    effect = 1;
  }
  CheckeredEffect(buffer, effect);
}

}  // namespace lumox
