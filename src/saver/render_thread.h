// Running a whole render session: on real threads, or headless on one.
#pragma once

#include <cstdint>
#include <memory>

#include "saver/render_session.h"
#include "saver/timed_thread.h"

namespace lumox {

class ManualClock;

// The render thread's body: RenderBegin, the palette thread (waited for
// until ready), RenderStartModules, frames while the run flag is set (the
// session's pacer runs after each flush; a paused thread sleeps), then Stop
// of the modules, up to 2000 ms for the palette thread, and the palette
// released (kept, with paletteAbandoned set, when that thread overran). Never throws: a failure clears the run flag, is logged and
// ends the thread with the modules left as they are.
void RenderThreadMain(RenderSession& session) noexcept;

// The render thread of one saver window.
class RenderThread {
 public:
  // Raises the run flag and starts RenderThreadMain on a thread of its
  // own. The thread holds its session, screen and pacer, so they outlive an
  // abandoned thread.
  bool Start(SaverState& saver, std::shared_ptr<gfx::Screen> screen, SoundShare* share,
             const RuntimeServices& services, bool fullScreenWindow,
             std::shared_ptr<FramePacer> pacer);
  // Waits up to `timeoutMs` for the thread to end. False when it did not
  // and was abandoned, or when it ended but had to abandon its palette
  // thread: either way a drawing thread may still read the shared block.
  bool Join(uint32_t timeoutMs = kThreadJoinTimeoutMs);
  bool started() const { return thread_.started(); }

 private:
  TimedThread thread_;
  std::shared_ptr<RenderSession> session_;
};

// A whole run on the calling thread, with a manual clock: the palette is
// stepped whenever its interval has passed on the clock, and each frame
// advances the clock by one 60 Hz refresh unless the session has a pacer
// of its own. The same seed, clock start and settings give the same frames.
class HeadlessRun {
 public:
  HeadlessRun(RenderSession& session, ManualClock& clock);
  ~HeadlessRun();
  HeadlessRun(const HeadlessRun&) = delete;
  HeadlessRun& operator=(const HeadlessRun&) = delete;

  // RenderBegin, the palette thread's first steps, RenderStartModules.
  void Begin();
  // The palette steps now due, then one frame.
  void Frame();
  // RenderEnd. Also run by the destructor if Begin ran and End did not.
  void End();

 private:
  void StepPalette();

  RenderSession& session_;
  ManualClock& clock_;
  std::unique_ptr<FramePacer> ownPacer_;
  uint32_t nextPaletteStep_ = 0;
  bool begun_ = false;
};

}  // namespace lumox
