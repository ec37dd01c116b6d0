#include "gfx/present_tracker.h"

#include "gfx/screen.h"

namespace lumox::gfx {

ChangedArea PresentTracker::Take(Screen& screen) {
  ScreenChanges changes = TakeChanges(screen);
  if (changes.palette) changes.area.MarkAll();
  return changes.area;
}

ScreenChanges PresentTracker::TakeChanges(Screen& screen) {
  // The generation first: words read after it are of that generation or
  // newer, and newer ones bring a newer generation to the next take.
  const uint32_t generation = screen.PaletteGeneration();
  ScreenChanges changes{screen.TakePublishedArea(), false};
  if (!valid_) changes.area.MarkAll();
  if (!valid_ || generation != paletteGeneration_) {
    palette_ = screen.PaletteWords();
    paletteGeneration_ = generation;
    changes.palette = true;
  }
  valid_ = true;
  return changes;
}

}  // namespace lumox::gfx
