#include "gfx/present_tracker.h"

#include "gfx/screen.h"

namespace lumox::gfx {

RowBand PresentTracker::Take(Screen& screen) {
  // The generation first: words read after it are of that generation or
  // newer, and newer ones bring a newer generation to the next Take.
  const uint32_t generation = screen.PaletteGeneration();
  RowBand rows = screen.TakePublishedRows();
  if (!valid_ || generation != paletteGeneration_) {
    palette_ = screen.PaletteWords();
    paletteGeneration_ = generation;
    valid_ = true;
    return {0, screen.height()};
  }
  return rows;
}

}  // namespace lumox::gfx
