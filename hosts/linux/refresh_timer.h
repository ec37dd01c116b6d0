// One tick per display refresh.
//
// Deadlines are absolute (start + n periods), so small oversleeps do not
// add up; a loop that falls more than a period behind starts counting
// afresh instead of racing to catch up. RefreshPacer puts the render loop
// on the same beat: the frame is published, then the thread waits for the
// next refresh.
#pragma once

#include <chrono>

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
  // Sleeps until the current deadline, then starts the next period.
  void Wait();
  // Starts the next period without sleeping (the caller waited elsewhere).
  void Advance(Clock::time_point now);

 private:
  std::chrono::nanoseconds period_;
  Clock::time_point deadline_;
};

// The rate to pace with: the reported rate, or 60 Hz when the display does
// not say (0) or says something implausible.
double RefreshRateOrDefault(int reportedHz);

class RefreshPacer final : public FramePacer {
 public:
  explicit RefreshPacer(double hz) : timer_(hz) {}
  void FrameDone() override { timer_.Wait(); }

 private:
  RefreshTimer timer_;
};

}  // namespace lumox::host
