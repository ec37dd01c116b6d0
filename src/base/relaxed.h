// A 32-bit word shared between threads without a lock.
//
// The saver's threads share a handful of plain words (run flags, palette
// parameters, hot-key requests): one side writes, the other polls, and a
// stale value for one step is harmless. Every access must still be whole,
// so each such word is a relaxed atomic. The wrapper keeps the code that
// uses them reading like plain assignments.
#pragma once

#include <atomic>

namespace lumox {

template <typename T>
class Relaxed {
 public:
  constexpr Relaxed(T value = T{}) noexcept : value_(value) {}
  Relaxed(const Relaxed& other) noexcept : value_(other.load()) {}
  Relaxed& operator=(const Relaxed& other) noexcept {
    store(other.load());
    return *this;
  }
  Relaxed& operator=(T value) noexcept {
    store(value);
    return *this;
  }

  operator T() const noexcept { return load(); }
  T load() const noexcept { return value_.load(std::memory_order_relaxed); }
  void store(T value) noexcept { value_.store(value, std::memory_order_relaxed); }

  // Read-modify-write by the word's single writer: not atomic as a whole,
  // which is fine because no other thread writes the word at the same time.
  Relaxed& operator+=(T delta) noexcept {
    store(load() + delta);
    return *this;
  }
  Relaxed& operator-=(T delta) noexcept {
    store(load() - delta);
    return *this;
  }

 private:
  std::atomic<T> value_;
};

}  // namespace lumox
