#include "fft.h"

#include <cassert>
#include <cmath>
#include <utility>

namespace soundfeed {

Fft::Fft(int size) : reversed_(size), twiddles_(size / 2) {
  assert(size > 1 && (size & (size - 1)) == 0);
  int bits = 0;
  while ((1 << bits) < size) ++bits;
  for (int i = 0; i < size; ++i) {
    int reversed = 0;
    for (int bit = 0; bit < bits; ++bit) reversed |= ((i >> bit) & 1) << (bits - 1 - bit);
    reversed_[i] = reversed;
  }
  for (int k = 0; k < size / 2; ++k) {
    const double angle = -2.0 * M_PI * k / size;
    twiddles_[k] = {static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle))};
  }
}

void Fft::Transform(std::complex<float>* data) const {
  const int n = size();
  for (int i = 0; i < n; ++i)
    if (i < reversed_[i]) std::swap(data[i], data[reversed_[i]]);
  for (int length = 2; length <= n; length *= 2) {
    const int half = length / 2;
    const int step = n / length;
    for (int start = 0; start < n; start += length) {
      for (int k = 0; k < half; ++k) {
        const std::complex<float> w = twiddles_[k * step];
        const std::complex<float> b = data[start + k + half];
        // Written out: the library's complex product checks for infinities.
        const std::complex<float> v(b.real() * w.real() - b.imag() * w.imag(),
                                    b.real() * w.imag() + b.imag() * w.real());
        const std::complex<float> a = data[start + k];
        data[start + k] = a + v;
        data[start + k + half] = a - v;
      }
    }
  }
}

}  // namespace soundfeed
