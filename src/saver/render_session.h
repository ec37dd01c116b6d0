// The render thread's work, in pieces.
//
// A run goes: RenderBegin (seed, render context, table wipe, run flag,
// palette, overlays, table set-up, sound-player launch, priority, clear),
// then the palette thread is started and becomes ready, RenderStartModules
// (ValidateControls, Init, Start of each active module), RenderFrame while
// the run flag is set, and RenderEnd (Stop of each active module, the
// palette thread is stopped, the palette released).
//
// The pieces let a headless host drive a whole run on one thread with a
// manual clock and step the palette itself (HeadlessRun), and let
// RenderThreadMain run them on the real render thread with a real palette
// thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "gfx/canvas.h"
#include "saver/runtime_services.h"

namespace lumox {

class FramePacer;
struct PaletteState;
struct SaverState;
class SoundShare;

namespace gfx {
class Screen;
}

// A module that has nothing to draw gives the processor away this long.
constexpr uint32_t kYieldSleepMs = 10;
// The "Speed" option lengthens each frame by this much per unit (rounded
// up to whole refreshes when the loop is paced).
constexpr uint32_t kSpeedUnitMs = 10;
constexpr int32_t kMaxSpeedOption = 10;

struct RenderSession {
  RenderSession(SaverState& saver, std::shared_ptr<gfx::Screen> screen, SoundShare* share,
                RuntimeServices services, bool fullScreenWindow, FramePacer* pacer = nullptr);

  SaverState& saver;
  std::shared_ptr<gfx::Screen> screen;
  // The render context: every module draws through it.
  gfx::Canvas dc;
  // The shared block with the sound player (requests, player state); may
  // be null when there is none.
  SoundShare* share;
  RuntimeServices services;
  // Only a window that covers the screen may launch the sound player.
  bool fullScreenWindow;
  FramePacer* pacer;
  PaletteState* palette = nullptr;
  // RenderBegin raises the run flag. A render thread's owner raises it
  // before the thread starts instead, so that a window destroyed before the
  // thread gets going still stops it.
  bool raiseRunFlag = true;
  // Init and Start have run; only then does the end call Stop.
  bool modulesStarted = false;
  // The palette thread did not end in time and was left running.
  std::atomic<bool> paletteAbandoned{false};
};

// Prepares a run, up to (not including) the palette thread.
void RenderBegin(RenderSession& session);
// ValidateControls, Init and Start of each active module, in table order.
// Call once the palette thread is ready.
void RenderStartModules(RenderSession& session);
// One pass of the frame loop. Returns false without drawing while the
// render thread is paused (hot keys F5, F6).
bool RenderFrame(RenderSession& session);
// Stop of each active module, in table order.
void RenderStopModules(RenderSession& session);
// Clears the run flag and releases the palette. Call after the palette
// thread has ended; not at all if it could not be stopped.
void RenderReleasePalette(RenderSession& session);
// RenderStopModules then RenderReleasePalette, for a run without a palette
// thread of its own.
void RenderEnd(RenderSession& session);

}  // namespace lumox
