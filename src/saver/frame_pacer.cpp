#include "saver/frame_pacer.h"

#include "platform/clock.h"

namespace lumox {

VirtualClockPacer::VirtualClockPacer(ManualClock& clock, uint32_t refreshRate)
    : clock_(clock), refreshRate_(refreshRate == 0 ? 60 : refreshRate) {}

void VirtualClockPacer::FrameDone() {
  ++frames_;
  uint64_t target = frames_ * 1000 / refreshRate_;
  clock_.Advance(static_cast<uint32_t>(target - elapsedMs_));
  elapsedMs_ = target;
}

}  // namespace lumox
