#include "saver/render_session.h"

#include <algorithm>

#include "base/random.h"
#include "control/sound_share.h"
#include "gfx/screen.h"
#include "state/palette_state.h"
#include "platform/clock.h"
#include "saver/frame_pacer.h"
#include "saver/module_table.h"
#include "state/saver_state.h"
#include "state/saver_options.h"

namespace lumox {

namespace {

int32_t Call(ModuleEntryPoint entry, ModuleDescriptor& module) {
  return entry ? entry(module) : 0;
}

bool IsActive(const SaverState& saver, int module) { return saver.options.Active[module] != 0; }

uint32_t ShareWord(const RenderSession& session, size_t offset) {
  return session.share ? session.share->U32(offset) : 0;
}

void YieldTimeSlice(RenderSession& session) {
  if (session.pacer)
    session.pacer->YieldFor(kYieldSleepMs);
  else
    SleepMs(kYieldSleepMs);
}

// Draws one module for one frame, as often as its control 9 says:
// negative n draws in every n-th frame, 0 draws once whatever Draw
// returns, positive n draws up to n times until Draw yields.
void DrawModule(RenderSession& session, ModuleDescriptor& module) {
  int32_t speed = module.controls[kStrengthSlot].Value;
  if (speed < 0) {
    uint32_t every = 0u - static_cast<uint32_t>(speed);
    if (session.saver.frameCounter % every == 0) {
      if (Call(module.Draw, module) == kYield) YieldTimeSlice(session);
    }
  } else if (speed == 0) {
    Call(module.Draw, module);
  } else {
    for (int32_t n = 0; n < speed; ++n) {
      if (Call(module.Draw, module) == kYield) {
        YieldTimeSlice(session);
        break;
      }
    }
  }
}

void RestartModules(RenderSession& session) {
  ModuleTable& table = session.saver.table;
  for (int i = 0; i < kModuleCount; ++i) {
    if (!IsActive(session.saver, i)) continue;
    Call(table[i].Stop, table[i]);
    Call(table[i].Init, table[i]);
    Call(table[i].Start, table[i]);
  }
}

}  // namespace

RenderSession::RenderSession(SaverState& saverState, std::shared_ptr<gfx::Screen> renderScreen,
                             SoundShare* soundShare, RuntimeServices runtimeServices,
                             bool coversScreen, FramePacer* framePacer)
    : saver(saverState),
      screen(std::move(renderScreen)),
      dc(*screen),
      share(soundShare),
      services(std::move(runtimeServices)),
      fullScreenWindow(coversScreen),
      pacer(framePacer) {}

void RenderBegin(RenderSession& session) {
  SaverState& saver = session.saver;
  SeedRandom(TickCount());

  int32_t width = session.dc.width();
  int32_t height = session.dc.height();
  for (ModuleDescriptor& record : saver.table) {
    record = ModuleDescriptor{};
    record.width = width;
    record.height = height;
    record.dc = &session.dc;
  }

  if (session.raiseRunFlag) saver.runFlag = 1;

  if (session.services.createPalette) session.palette = session.services.createPalette(&session.dc);
  saver.palette = session.palette;
  saver.livePalette.store(session.palette, std::memory_order_release);

  if (session.services.setUpOverlays)
    session.services.setUpOverlays(session.dc, saver, session.fullScreenWindow);

  SetUpModuleTable(saver, session.services);

  saver.autoStarted = 0;
  if (saver.options.AutoRun && ShareWord(session, share_offset::PlayerActive) == 0) {
    if (session.services.launchPlayer) session.services.launchPlayer(true, session.fullScreenWindow);
    // The player may have changed the stored settings: read them anew.
    SetUpModuleTable(saver, session.services);
    saver.autoStarted = 1;
  }

  if (session.services.setProcessPriority) {
    bool playerActive = ShareWord(session, share_offset::PlayerActive) != 0;
    session.services.setProcessPriority(playerActive ? kPriorityNormal : saver.options.Priority);
  }

  if (saver.options.ClearFirst) session.dc.PatBlt(0, 0, width, height, gfx::RasterOp::Blackness);
}

void RenderStartModules(RenderSession& session) {
  ModuleTable& table = session.saver.table;
  session.modulesStarted = true;
  for (int i = 0; i < kModuleCount; ++i) {
    if (!IsActive(session.saver, i)) continue;
    if (session.services.validateControls) session.services.validateControls(table[i]);
    Call(table[i].Init, table[i]);
    Call(table[i].Start, table[i]);
  }
}

bool RenderFrame(RenderSession& session) {
  SaverState& saver = session.saver;
  if (saver.renderPaused) return false;

  saver.frameCounter += 1;

  if (session.services.drawOverlays) session.services.drawOverlays(session.dc, saver);

  for (int i = 0; i < kModuleCount; ++i) {
    if (IsActive(saver, i)) DrawModule(session, saver.table[i]);
  }

  session.dc.Flush();
  // A stored Speed beyond its range would stall the loop: keep it to the
  // option's own range.
  uint32_t pauseMs =
      static_cast<uint32_t>(std::clamp(saver.options.Speed, 0, kMaxSpeedOption)) * kSpeedUnitMs;
  if (session.pacer) {
    session.pacer->FrameDone(pauseMs);
  } else if (pauseMs > 0) {
    SleepMs(pauseMs);
  }

  if (ShareWord(session, share_offset::CaptureRequest) != 0) {
    if (session.services.capture) session.services.capture(saver);
    session.share->SetU32(share_offset::CaptureRequest, 0);
  }
  if (ShareWord(session, share_offset::RestartRequest) != 0) {
    RestartModules(session);
    session.share->SetU32(share_offset::RestartRequest, 0);
  }
  return true;
}

void RenderStopModules(RenderSession& session) {
  if (!session.modulesStarted) return;
  session.modulesStarted = false;
  ModuleTable& table = session.saver.table;
  for (int i = 0; i < kModuleCount; ++i) {
    if (IsActive(session.saver, i)) Call(table[i].Stop, table[i]);
  }
}

void RenderReleasePalette(RenderSession& session) {
  SaverState& saver = session.saver;
  saver.runFlag = 0;
  if (!session.palette) return;
  saver.livePalette.store(nullptr, std::memory_order_release);
  saver.palette = nullptr;
  for (ModuleDescriptor& record : saver.table) record.palette = nullptr;
  if (session.services.releasePalette) session.services.releasePalette(session.palette);
  session.palette = nullptr;
}

void RenderEnd(RenderSession& session) {
  RenderStopModules(session);
  RenderReleasePalette(session);
}

}  // namespace lumox
