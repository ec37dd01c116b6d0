// Headless runs: frames rendered on one thread against a virtual clock and
// written as PNG files.
//
// The virtual clock starts at the seed (the render thread seeds the random
// generator from it) and moves one 60 Hz refresh per frame, further if
// drawing code sleeps; the palette steps that fall due by each frame run
// before it. No thread and no real time is involved, so the same arguments
// give byte-identical files.
#pragma once

#include <memory>
#include <string>

#include "command_line.h"

namespace lumox {
class ManualClock;
namespace gfx {
class Screen;
}
}  // namespace lumox

namespace lumox::host {

// The drawing side of a headless run, driven frame by frame.
class HeadlessScene {
 public:
  virtual ~HeadlessScene() = default;
  // Sets the run up on the screen; false with a message if it cannot run.
  virtual bool Begin(std::shared_ptr<gfx::Screen> screen, ManualClock& clock,
                     std::string& error) = 0;
  // The palette steps now due, one frame of the render loop ending with the
  // screen's publication, and the clock moved on to the next frame.
  virtual void Frame() = 0;
  virtual void End() = 0;
};

// Renders command.frames frames into command.outDir with the process
// clock replaced by a virtual one. Returns the exit code.
int RunHeadless(const HostCommand& command, HeadlessScene& scene);

// The saver's own render loop and palette, stepped on this thread.
std::unique_ptr<HeadlessScene> MakeSaverScene();

}  // namespace lumox::host
