#include "saver/frame_pacer.h"

#include "platform/clock.h"

namespace lumox {

void FramePacer::YieldFor(uint32_t ms) { SleepMs(ms); }

VirtualClockPacer::VirtualClockPacer(ManualClock& clock, uint32_t refreshRate)
    : clock_(clock), refreshRate_(refreshRate == 0 ? 60 : refreshRate) {}

void VirtualClockPacer::FrameDone(uint32_t pauseMs) {
  refreshes_ += RefreshesPerFrame(refreshRate_, pauseMs);
  uint64_t target = refreshes_ * 1000 / refreshRate_;
  clock_.Advance(static_cast<uint32_t>(target - elapsedMs_));
  elapsedMs_ = target;
}

}  // namespace lumox
