// One tick per display refresh.
//
// Deadlines are absolute (start + n periods), so small oversleeps do not
// add up; a loop that falls more than a period behind starts counting
// afresh instead of racing to catch up.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

#include "saver/frame_pacer.h"

namespace lumox::host {

class RefreshTimer {
 public:
  using Clock = std::chrono::steady_clock;

  // A rate outside 1..1000 Hz falls back to 60.
  explicit RefreshTimer(double hz);

  std::chrono::nanoseconds period() const { return period_; }
  // When the current period ends.
  Clock::time_point deadline() const { return deadline_; }
  // Whole milliseconds until the deadline, rounded up; 0 once it passed.
  int MillisecondsLeft() const;
  // Starts the next period (the caller waited for this one).
  void Advance(Clock::time_point now);

 private:
  std::chrono::nanoseconds period_;
  Clock::time_point deadline_;
};

// The rate to pace with: the reported rate, or 60 Hz when the display does
// not say (0) or says something implausible.
double RefreshRateOrDefault(int reportedHz);

// The beat of the present loop, shared with the render thread: the window's
// thread beats once per refresh, after presenting; the render thread, once
// it has published a frame, waits for the next beat. So each frame of the
// render loop is one display refresh and reaches the screen exactly once,
// instead of two free-running timers beating against each other.
class PresentBeat {
 public:
  void Beat();
  // Waits for the next beat, but never longer than `limit`: the window's
  // thread stops beating while it tears the run down.
  void WaitForBeat(std::chrono::nanoseconds limit);

 private:
  std::mutex mutex_;
  std::condition_variable beaten_;
  uint64_t beats_ = 0;
};

// Ends each frame on a beat: the first one after the frame's yields would
// have slept, or a later one when the "Speed" option's pause asks for
// more refreshes.
class RefreshPacer final : public FramePacer {
 public:
  RefreshPacer(std::shared_ptr<PresentBeat> beat, std::chrono::nanoseconds period);
  // Each wait is limited to two periods: a missed beat costs one refresh,
  // a stopped present loop no more.
  void FrameDone(uint32_t pauseMs) override;
  // Owed, and served by FrameDone's wait for the beat.
  void YieldFor(uint32_t ms) override { owed_ += std::chrono::milliseconds(ms); }

 private:
  std::shared_ptr<PresentBeat> beat_;
  std::chrono::nanoseconds period_;
  uint32_t refreshRate_;
  std::chrono::nanoseconds owed_{0};
};

}  // namespace lumox::host
