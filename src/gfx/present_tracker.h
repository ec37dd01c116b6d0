// Decides what a presenter converts and sends at a display refresh, so that
// the window shows the latest published frame through the latest palette
// while doing as little as that allows:
//   - nothing changed: nothing;
//   - the palette changed (an entry's colour, at the palette's step rate):
//     the whole frame, since any pixel may show that entry;
//   - only drawing was published: the changed rectangles, through the
//     palette the rest of the window already shows;
//   - the window lost its contents (exposed, resized, shown again): the
//     whole frame.
// A presenter that looks colours up itself (on the GPU) asks for the two
// kinds of change apart instead: the published area to upload and whether
// the palette moved.
// One tracker per screen and window: taking the published area clears it
// for every other taker.
#pragma once

#include <array>
#include <cstdint>

#include "gfx/color.h"
#include "gfx/surface.h"

namespace lumox::gfx {

class Screen;

struct ScreenChanges {
  ChangedArea area;      // published since the last take (all after Invalidate)
  bool palette = false;  // palette() holds new words
};

class PresentTracker {
 public:
  // What to present now (empty: the window is up to date), taken as
  // presented. Convert it with palette().
  ChangedArea Take(Screen& screen);
  // The changes since the last take, taken as presented.
  ScreenChanges TakeChanges(Screen& screen);
  // The palette words the last Take chose.
  const uint32_t* palette() const { return palette_.data(); }
  // The window's contents are gone: the next Take presents everything.
  void Invalidate() { valid_ = false; }

 private:
  bool valid_ = false;
  uint32_t paletteGeneration_ = 0;
  std::array<uint32_t, kPaletteSize> palette_{};
};

}  // namespace lumox::gfx
