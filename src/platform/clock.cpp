// The system clock (milliseconds since an arbitrary start, wrapping at 2^32
// like the Windows tick count) and the process-wide clock accessor.
#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

namespace lumox {
namespace {

class RealClock final : public Clock {
 public:
  uint32_t TickCount() override {
#ifdef _WIN32
    return GetTickCount();
#else
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u +
                        static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);  // wraps at 2^32 as the tick count does
#endif
  }

  void Sleep(uint32_t milliseconds) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
};

std::atomic<Clock*> installedClock{nullptr};

}  // namespace

Clock& SystemClock() {
  static RealClock clock;
  return clock;
}

void InstallClock(Clock* clock) { installedClock.store(clock); }

Clock& CurrentClock() {
  Clock* clock = installedClock.load();
  return clock != nullptr ? *clock : SystemClock();
}

}  // namespace lumox
