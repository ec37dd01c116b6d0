// Paces the render loop at the display's refresh: one loop frame per
// refresh, or whole refreshes more for the "Speed" option's pause. A
// module's yield is owed and slept in the same wait: the frame ends on the
// first refresh after that sleep would have ended. Deadlines are absolute
// (start + n periods) so small oversleeps do not add up; a loop that falls
// a whole period behind starts afresh rather than racing to catch up.
#pragma once

#include <chrono>
#include <cstdint>

#include "saver/frame_pacer.h"

namespace lumox::win32 {

class RefreshPacer final : public FramePacer {
 public:
  explicit RefreshPacer(uint32_t refreshRate);
  void FrameDone(uint32_t pauseMs) override;
  void YieldFor(uint32_t ms) override { owed_ += std::chrono::milliseconds(ms); }

 private:
  using Clock = std::chrono::steady_clock;
  uint32_t refreshRate_;
  std::chrono::nanoseconds period_;
  Clock::time_point deadline_;
  std::chrono::nanoseconds owed_{0};
};

}  // namespace lumox::win32
