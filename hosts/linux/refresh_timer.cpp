#include "refresh_timer.h"

#include <cmath>
#include <utility>

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

void RefreshTimer::Advance(Clock::time_point now) {
  deadline_ += period_;
  if (now >= deadline_) deadline_ = now + period_;
}

void PresentBeat::Beat() {
  {
    std::lock_guard lock(mutex_);
    ++beats_;
  }
  beaten_.notify_all();
}

void PresentBeat::WaitForBeat(std::chrono::nanoseconds limit) {
  std::unique_lock lock(mutex_);
  const uint64_t seen = beats_;
  beaten_.wait_for(lock, limit, [&] { return beats_ != seen; });
}

RefreshPacer::RefreshPacer(std::shared_ptr<PresentBeat> beat, std::chrono::nanoseconds period)
    : beat_(std::move(beat)),
      period_(period),
      refreshRate_(static_cast<uint32_t>(std::lround(1e9 / static_cast<double>(period.count())))) {}

void RefreshPacer::FrameDone(uint32_t pauseMs) {
  const auto yieldsEnd = RefreshTimer::Clock::now() + std::exchange(owed_, {});
  do {
    beat_->WaitForBeat(2 * period_);
  } while (RefreshTimer::Clock::now() < yieldsEnd);
  for (uint32_t n = RefreshesPerFrame(refreshRate_, pauseMs) - 1; n > 0; --n) {
    beat_->WaitForBeat(2 * period_);
  }
}

}  // namespace lumox::host
