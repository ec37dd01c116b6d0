#include "refresh_timer.h"

#include <thread>

namespace lumox::host {

double RefreshRateOrDefault(int reportedHz) {
  return reportedHz >= 20 && reportedHz <= 1000 ? reportedHz : 60.0;
}

RefreshTimer::RefreshTimer(double hz)
    : period_(std::chrono::nanoseconds(
          static_cast<long long>(1e9 / (hz >= 1 && hz <= 1000 ? hz : 60.0)))),
      deadline_(Clock::now() + period_) {}

int RefreshTimer::MillisecondsLeft() const {
  auto left = deadline_ - Clock::now();
  if (left <= Clock::duration::zero()) return 0;
  return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}

void RefreshTimer::Wait() {
  std::this_thread::sleep_until(deadline_);
  Advance(Clock::now());
}

void RefreshTimer::Advance(Clock::time_point now) {
  deadline_ += period_;
  if (now >= deadline_) deadline_ = now + period_;
}

}  // namespace lumox::host
