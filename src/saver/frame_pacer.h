// How fast the frame loop runs.
//
// Left alone the loop draws as fast as the processor allows, which on a
// modern machine runs every module many times faster than it was meant to
// and keeps a core busy. A pacer is called once per frame, right after the
// frame is published: a real display waits for its next refresh, a
// headless run advances its virtual clock by one refresh, and an unpaced
// run (benchmarks) does nothing.
//
// The "Speed" option's pause is part of the frame: a paced frame lasts one
// refresh plus the pause, rounded up to whole refreshes, so even the
// smallest pause (10 ms) costs a refresh at 60 Hz instead of vanishing in
// the wait for the next one.
//
// A module that yields gives the processor away for a while. A pacer may
// owe that sleep and serve it in the frame's wait instead: the frame ends
// on the first refresh after the sleep would have ended, as before, but
// the thread wakes once per frame instead of twice.
#pragma once

#include <cstdint>

namespace lumox {

class ManualClock;

// Refreshes one frame takes: one, plus `pauseMs` rounded up to whole
// refreshes at `refreshRate` Hz.
constexpr uint32_t RefreshesPerFrame(uint32_t refreshRate, uint32_t pauseMs) {
  return 1 + static_cast<uint32_t>((uint64_t{pauseMs} * refreshRate + 999) / 1000);
}

class FramePacer {
 public:
  virtual ~FramePacer() = default;
  // Ends the frame after one refresh plus `pauseMs`, rounded up to whole
  // refreshes.
  virtual void FrameDone(uint32_t pauseMs) = 0;
  // Gives the processor away for `ms` within the frame. Sleeps at once
  // unless the pacer serves the sleep in FrameDone's wait.
  virtual void YieldFor(uint32_t ms);
};

// Advances a manual clock by whole refreshes: refresh n ends at
// start + n * 1000 / rate milliseconds, so 60 Hz alternates 16 and 17 ms.
class VirtualClockPacer final : public FramePacer {
 public:
  explicit VirtualClockPacer(ManualClock& clock, uint32_t refreshRate = 60);
  void FrameDone(uint32_t pauseMs) override;

 private:
  ManualClock& clock_;
  uint32_t refreshRate_;
  uint64_t refreshes_ = 0;
  uint64_t elapsedMs_ = 0;
};

}  // namespace lumox
