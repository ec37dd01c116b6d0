#include "gfx/present_tracker.h"

#include "gfx/screen.h"

namespace lumox::gfx {

RowBand PresentTracker::Take(Screen& screen) {
  const ScreenChanges changes = TakeChanges(screen);
  return changes.palette ? RowBand{0, screen.height()} : changes.rows;
}

ScreenChanges PresentTracker::TakeChanges(Screen& screen) {
  // The generation first: words read after it are of that generation or
  // newer, and newer ones bring a newer generation to the next take.
  const uint32_t generation = screen.PaletteGeneration();
  ScreenChanges changes{screen.TakePublishedRows(), false};
  if (!valid_) changes.rows = {0, screen.height()};
  if (!valid_ || generation != paletteGeneration_) {
    palette_ = screen.PaletteWords();
    paletteGeneration_ = generation;
    changes.palette = true;
  }
  valid_ = true;
  return changes;
}

}  // namespace lumox::gfx
