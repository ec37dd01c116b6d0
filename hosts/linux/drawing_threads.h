// The drawing side of a real (threaded) run, as the window side sees it.
//
// A window run starts the drawing once its window exists and stops it
// before the window goes: Stop clears the run flag and joins. Between the
// two, the threads draw into the screen and publish frames; the window side
// only presents.
#pragma once

#include <chrono>
#include <memory>

namespace lumox::gfx {
class Screen;
}

namespace lumox::host {

class DrawingThreads {
 public:
  virtual ~DrawingThreads() = default;
  // framePeriod: one render-loop frame per display refresh; zero runs the
  // loop flat out.
  virtual bool Start(gfx::Screen& screen, std::chrono::nanoseconds framePeriod) = 0;
  virtual void Stop() = 0;
};

// The test picture on two threads: frames paced to the display, palette
// steps on their own timer.
std::unique_ptr<DrawingThreads> MakeTestPictureThreads();

}  // namespace lumox::host
