// Paces a loop to a fixed rate: one frame per display refresh.
//
// Deadlines are absolute (start + n periods), so small oversleeps do not
// add up; a loop that falls more than a frame behind starts counting afresh
// instead of racing to catch up.
#pragma once

#include <chrono>

namespace lumox::host {

class FramePacer {
 public:
  using Clock = std::chrono::steady_clock;

  // hz <= 0 or absurd values fall back to 60.
  explicit FramePacer(double hz);

  std::chrono::nanoseconds period() const { return period_; }
  // The moment the current frame ends.
  Clock::time_point deadline() const { return deadline_; }
  // Sleeps until the current frame's deadline and starts the next frame.
  void Wait();
  // Starts the next frame without sleeping (the caller waited elsewhere).
  void Advance(Clock::time_point now);

 private:
  std::chrono::nanoseconds period_;
  Clock::time_point deadline_;
};

// The refresh rate to pace with: the reported rate, or 60 Hz when the
// display does not say (0) or says something implausible.
double RefreshRateOrDefault(int reportedHz);

}  // namespace lumox::host
