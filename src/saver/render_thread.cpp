#include "saver/render_thread.h"

#include <thread>

#include "base/caught_failure.h"
#include "platform/clock.h"
#include "platform/system.h"
#include "saver/frame_pacer.h"
#include "state/saver_state.h"

namespace lumox {

namespace {

// The palette thread ends on a fault too; the run cannot go on without it.
bool StartPaletteThread(RenderSession& session, TimedThread& thread) {
  SaverState& saver = session.saver;
  if (!session.palette || !session.services.paletteThreadMain) {
    saver.paletteReady = 1;
    return false;
  }
  saver.paletteReady = 0;
  PaletteState* palette = session.palette;
  std::shared_ptr<gfx::Screen> screen = session.screen;
  auto body = session.services.paletteThreadMain;
  bool started = thread.Start(
      "palette", [body, palette, screen, &saver] { body(*palette, *screen, saver); },
      [&saver] { saver.runFlag = 0; });
  if (!started) saver.paletteReady = 1;
  return started;
}

// Waits until the palette thread says it is ready. Gives up when the run
// ends first (the window closed, or the palette thread failed).
void WaitForPalette(SaverState& saver) {
  while (!saver.paletteReady && saver.runFlag) std::this_thread::yield();
}

void RunSession(RenderSession& session, TimedThread& paletteThread) {
  SaverState& saver = session.saver;
  RenderBegin(session);
  StartPaletteThread(session, paletteThread);
  if (session.services.lowerRenderThreadPriority) session.services.lowerRenderThreadPriority();
  WaitForPalette(saver);
  if (saver.paletteReady && saver.runFlag) RenderStartModules(session);
  while (saver.runFlag) {
    // A paused render thread keeps watching the run flag.
    if (!RenderFrame(session)) SleepMs(kYieldSleepMs);
  }
  RenderStopModules(session);
  if (paletteThread.Join(kThreadJoinTimeoutMs)) {
    RenderReleasePalette(session);
  } else {
    // The abandoned palette thread may still read the palette and the
    // shared block: keep both.
    saver.runFlag = 0;
    session.paletteAbandoned = true;
  }
}

}  // namespace

void RenderThreadMain(RenderSession& session) noexcept {
  TimedThread paletteThread;
  try {
    RunSession(session, paletteThread);
  } catch (...) {
    session.saver.runFlag = 0;
    System().DebugOutput("Render thread failed" + CaughtFailureDetail());
    if (!paletteThread.Join(kThreadJoinTimeoutMs)) session.paletteAbandoned = true;
  }
}

bool RenderThread::Start(SaverState& saver, std::shared_ptr<gfx::Screen> screen,
                         SoundShare* share, const RuntimeServices& services,
                         bool fullScreenWindow, std::shared_ptr<FramePacer> pacer) {
  auto session = std::make_shared<RenderSession>(saver, std::move(screen), share, services,
                                                 fullScreenWindow, pacer.get());
  // Raised here, before the thread exists: a window destroyed at once
  // clears it for good, and the thread then ends without drawing.
  session->raiseRunFlag = false;
  saver.runFlag = 1;
  if (thread_.Start("render", [session, pacer] { RenderThreadMain(*session); })) {
    session_ = std::move(session);
    return true;
  }
  saver.runFlag = 0;
  return false;
}

bool RenderThread::Join(uint32_t timeoutMs) {
  // The thread's end orders its last write of the flag before this read.
  return thread_.Join(timeoutMs) && !(session_ && session_->paletteAbandoned);
}

HeadlessRun::HeadlessRun(RenderSession& session, ManualClock& clock)
    : session_(session), clock_(clock) {
  if (!session_.pacer) {
    ownPacer_ = std::make_unique<VirtualClockPacer>(clock_);
    session_.pacer = ownPacer_.get();
  }
}

HeadlessRun::~HeadlessRun() {
  if (begun_) End();
  if (ownPacer_) session_.pacer = nullptr;
}

void HeadlessRun::Begin() {
  RenderBegin(session_);
  begun_ = true;
  const RuntimeServices& services = session_.services;
  if (session_.palette && services.paletteThreadBegin) services.paletteThreadBegin(*session_.palette);
  session_.saver.paletteReady = 1;
  nextPaletteStep_ = clock_.TickCount();
  RenderStartModules(session_);
}

void HeadlessRun::StepPalette() {
  const RuntimeServices& services = session_.services;
  if (!session_.palette || !services.paletteThreadStep) return;
  uint32_t interval = services.paletteStepInterval ? services.paletteStepInterval(*session_.palette)
                                                   : 30;
  if (interval == 0) interval = 1;
  // Steps are due at nextPaletteStep_, +interval, ...; the difference is
  // compared as a signed number so the clock may wrap.
  while (static_cast<int32_t>(clock_.TickCount() - nextPaletteStep_) >= 0) {
    if (session_.saver.palettePaused == 0) services.paletteThreadStep(*session_.palette);
    nextPaletteStep_ += interval;
  }
}

void HeadlessRun::Frame() {
  if (!begun_) return;
  StepPalette();
  if (!RenderFrame(session_)) session_.pacer->FrameDone(0);
}

void HeadlessRun::End() {
  if (!begun_) return;
  begun_ = false;
  RenderEnd(session_);
}

}  // namespace lumox
