// Counts presents and their cost, for --stats.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>

namespace lumox::host {

class PresentStats {
 public:
  void Record(std::chrono::nanoseconds cost) {
    ++count_;
    total_ += cost;
  }
  void Print(const char* path, int width, int height) const {
    double ms = count_ ? std::chrono::duration<double, std::milli>(total_).count() / count_ : 0;
    std::fprintf(stderr, "lumox: %s path, %dx%d, %llu presents, %.2f ms each\n", path, width,
                 height, static_cast<unsigned long long>(count_), ms);
  }

 private:
  uint64_t count_ = 0;
  std::chrono::nanoseconds total_{0};
};

}  // namespace lumox::host
