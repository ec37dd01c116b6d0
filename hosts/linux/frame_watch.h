// Tells the present loop when the picture on screen is out of date: a new
// frame was published, the palette moved, or the window asked to be
// redrawn. Converting a 4K frame costs milliseconds; an unchanged one is
// not converted again.
#pragma once

#include <array>
#include <cstdint>

#include "gfx/screen.h"

namespace lumox::host {

class FrameWatch {
 public:
  // True when the screen must be presented now; the state seen is taken as
  // presented.
  bool Changed(const gfx::Screen& screen) {
    std::array<uint32_t, gfx::kPaletteSize> palette = screen.PaletteWords();
    uint32_t serial = screen.PublishedSerial();
    bool changed = invalid_ || serial != serial_ || palette != palette_;
    invalid_ = false;
    serial_ = serial;
    palette_ = palette;
    return changed;
  }
  // The window lost its contents (exposed, resized).
  void Invalidate() { invalid_ = true; }

 private:
  bool invalid_ = true;
  uint32_t serial_ = 0;
  std::array<uint32_t, gfx::kPaletteSize> palette_{};
};

}  // namespace lumox::host
