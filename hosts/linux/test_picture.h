// A picture for checking the host on its own: diagonal bands of all 236
// saver colours with a bar that moves each frame, and a palette that turns
// the colour wheel one entry per step. It shows at a glance that frames
// arrive (the bar moves), that the palette reaches the screen (the bands
// flow) and that channels are not swapped (red at the top left corner).
#pragma once

#include <cstdint>

#include "gfx/screen.h"

namespace lumox::host {

class TestPicture {
 public:
  static constexpr uint32_t kPaletteInterval = 40;  // ms between palette steps

  explicit TestPicture(gfx::Screen& screen) : screen_(screen) {}

  // Draws frame number `frame` (1, 2, ...) and publishes it.
  void DrawFrame(uint32_t frame);
  // Turns the colour wheel by one entry.
  void PaletteStep();

 private:
  gfx::Screen& screen_;
  uint32_t phase_ = 0;
};

}  // namespace lumox::host
