// The millisecond tick count and sleeping.
//
// All of the saver's timing (effect durations, hot-key bursts, module
// restarts) reads one process-wide clock. The real clock wraps at 2^32 like
// the system tick count (after 49.7 days), so deadlines are compared through
// TickDelta, never with a plain < or >.
// Tests and headless runs install a ManualClock, whose time moves only when
// told to, so the same inputs give the same frames.
#pragma once

#include <cstdint>

#include "base/relaxed.h"

namespace lumox {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual uint32_t TickCount() = 0;
  virtual void Sleep(uint32_t milliseconds) = 0;
};

// The platform's real clock (monotonic milliseconds, real sleeps).
Clock& SystemClock();

// A clock whose time only moves when advanced. Sleep advances it by the
// requested time, so code that sleeps in a loop still sees time pass.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(uint32_t start = 0) : now_(start) {}
  uint32_t TickCount() override { return now_; }
  void Sleep(uint32_t milliseconds) override { now_ += milliseconds; }
  void Advance(uint32_t milliseconds) { now_ += milliseconds; }
  void Set(uint32_t now) { now_ = now; }

 private:
  Relaxed<uint32_t> now_;
};

// The process-wide clock: the system clock unless another was installed.
// Installing null restores the system clock.
void InstallClock(Clock* clock);
Clock& CurrentClock();

// How many milliseconds `later` lies after `earlier` (negative when it lies
// before), right across the wrap of the tick count while the two are less
// than 24.8 days apart. `TickDelta(TickCount(), deadline) > 0`: the deadline
// has passed.
constexpr int32_t TickDelta(uint32_t later, uint32_t earlier) {
  return static_cast<int32_t>(later - earlier);
}

inline uint32_t TickCount() { return CurrentClock().TickCount(); }
inline void SleepMs(uint32_t milliseconds) { CurrentClock().Sleep(milliseconds); }

}  // namespace lumox
