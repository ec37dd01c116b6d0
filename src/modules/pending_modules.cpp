// The display modules still to be written: their control rows (the settings
// pages and the saved displays need them already) and entry points that do
// nothing. When a module gets its own file, its rows move there and its
// lines here go; this file then disappears.
#include "modules/module_catalog.h"

namespace lumox {
namespace {

constexpr ControlRow kStainControls[] = {
    {65, 0, 2, 2, 4},       // "Nodes"
    {66, 1, 0, 0, 20},      // "Folding"
    {67, 2, 4, 0, 10},      // "Type"
    {68, 3, 20, 1, 1000},   // "Image Duration"
    {69, kStrengthSlot, 1, -10, 10},    // "Strength"
    {70, 10, 1, 1, 20},     // "X Tiling"
    {71, 11, 1, 1, 20},     // "Y Tiling"
    {72, 12, 0, 0, 3},      // "Tile Type"
};

}  // namespace

// A module not written yet: its controls, and entry points that do nothing.
constexpr ModuleDefinition Pending(std::span<const ControlRow> controls) {
  return {controls, NoOpEntryPoint, NoOpEntryPoint, NoOpEntryPoint, NoOpEntryPoint};
}

extern const ModuleDefinition kStainModule = Pending(kStainControls);

}  // namespace lumox
