// Headless runs: frames rendered on one thread against a virtual clock and
// written as PNG files.
//
// The virtual clock starts at the seed and moves 1/60 s per frame (further
// if drawing code sleeps); the palette steps that fall due by each frame's
// time run before it. No thread and no real time is involved, so the same
// arguments always give byte-identical files.
#pragma once

#include <cstdint>
#include <string>

#include "command_line.h"

namespace lumox::gfx {
class Screen;
}

namespace lumox::host {

// The drawing side of a headless run, driven step by step.
class HeadlessScene {
 public:
  virtual ~HeadlessScene() = default;
  // Sets the run up on the screen; false with a message if it cannot run.
  virtual bool Begin(gfx::Screen& screen, std::string& error) = 0;
  // One frame of the render loop, ending with the screen's publication.
  virtual void Frame() = 0;
  // Milliseconds until the next palette step, and the step itself.
  virtual uint32_t PaletteInterval() = 0;
  virtual void PaletteStep() = 0;
  virtual void End() = 0;
};

// Virtual time of frame n (n = 0 is the start) at 60 frames a second.
uint32_t VirtualFrameTime(uint32_t start, uint32_t frame);

// Renders command.frames frames into command.outDir. Returns the exit code.
int RunHeadless(const HostCommand& command, HeadlessScene& scene);

}  // namespace lumox::host
