// How fast the frame loop runs.
//
// Left alone the loop draws as fast as the processor allows, which on a
// modern machine runs every module many times faster than it was meant to
// and keeps a core busy. A pacer is called once per frame, right after the
// frame is published: a real display waits for its next refresh, a
// headless run advances its virtual clock by one refresh, and an unpaced
// run (benchmarks) does nothing.
#pragma once

#include <cstdint>

namespace lumox {

class ManualClock;

class FramePacer {
 public:
  virtual ~FramePacer() = default;
  virtual void FrameDone() = 0;
};

// Advances a manual clock by one refresh per frame: frame n ends at
// start + n * 1000 / rate milliseconds, so 60 Hz alternates 16 and 17 ms.
class VirtualClockPacer final : public FramePacer {
 public:
  explicit VirtualClockPacer(ManualClock& clock, uint32_t refreshRate = 60);
  void FrameDone() override;

 private:
  ManualClock& clock_;
  uint32_t refreshRate_;
  uint64_t frames_ = 0;
  uint64_t elapsedMs_ = 0;
};

}  // namespace lumox
