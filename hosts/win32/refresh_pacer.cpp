#include "refresh_pacer.h"

#include <thread>
#include <utility>

namespace lumox::win32 {

RefreshPacer::RefreshPacer(uint32_t refreshRate)
    : refreshRate_(refreshRate ? refreshRate : 60),
      period_(std::chrono::nanoseconds(1'000'000'000LL / refreshRate_)),
      deadline_(Clock::now() + period_) {}

void RefreshPacer::FrameDone(uint32_t pauseMs) {
  // deadline_ is the end of the frame's first refresh; a pause adds more.
  deadline_ += period_ * (RefreshesPerFrame(refreshRate_, pauseMs) - 1);
  // The owed yields count as time already spent.
  const std::chrono::nanoseconds owed = std::exchange(owed_, {});
  const Clock::time_point now = Clock::now() + owed;
  if (now < deadline_) {
    std::this_thread::sleep_until(deadline_);
    deadline_ += period_;
    return;
  }
  if (owed.count() > 0) std::this_thread::sleep_until(now);
  if (now - deadline_ < period_) {
    deadline_ += period_;
  } else {
    deadline_ = now + period_;
  }
}

}  // namespace lumox::win32
