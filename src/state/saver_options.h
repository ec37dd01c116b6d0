// The run options of the saver.
#pragma once

#include <array>
#include <cstdint>

#include "base/relaxed.h"
#include "state/module.h"

namespace lumox {

// Process priority classes as the "Priority" option stores them.
constexpr int32_t kPriorityHigh = 128;
constexpr int32_t kPriorityNormal = 32;
constexpr int32_t kPriorityIdle = 64;

struct SaverOptions {
  // Which modules run; written by the loader (and the Random module on the
  // render thread), read at every entry-point call.
  std::array<Relaxed<int32_t>, kModuleCount> Active = MakeActive();
  int32_t Priority = kPriorityIdle;
  int32_t ClearFirst = 1;
  int32_t ShowInfo = 1;
  int32_t ShowName = 0;
  int32_t AutoRun = 0;
  int32_t Speed = 0;
  // SlowCPU and AutoGain live in the shared block.

 private:
  static std::array<Relaxed<int32_t>, kModuleCount> MakeActive() {
    std::array<Relaxed<int32_t>, kModuleCount> active{};
    active[kPattern] = 1;
    return active;
  }
};

}  // namespace lumox
