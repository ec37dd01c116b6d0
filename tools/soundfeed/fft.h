// A radix-2 fast Fourier transform of one power-of-two size, in place.
// Small and free of libraries, so every platform's build analyses alike.
#pragma once

#include <complex>
#include <vector>

namespace soundfeed {

class Fft {
 public:
  // `size` must be a power of two.
  explicit Fft(int size);
  int size() const { return static_cast<int>(reversed_.size()); }
  // The forward transform of data[0 .. size-1]: X[k] = sum x[n] e^(-2 pi i k n / size).
  void Transform(std::complex<float>* data) const;

 private:
  std::vector<int> reversed_;                  // bit-reversed index of each slot
  std::vector<std::complex<float>> twiddles_;  // e^(-2 pi i k / size), k < size / 2
};

}  // namespace soundfeed
