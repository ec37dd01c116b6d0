// The display modules still to be written: their control rows (the settings
// pages and the saved displays need them already) and entry points that do
// nothing. When a module gets its own file, its rows move there and its
// lines here go; this file then disappears.
#include "modules/module_catalog.h"

namespace lumox {
namespace {

constexpr ControlRow kPlasmaControls[] = {
    {44, 0, 10, 1, 100},    // "Roughness"
    {45, 1, 5, 1, 30},      // "Update Interval"
    {46, 2, 0, 0, 20},      // "Effect"
    {47, 3, 30, 1, 1000},   // "Image Duration"
    {48, kStrengthSlot, 1, -10, 10},    // "Strength"
};

constexpr ControlRow kVortexControls[] = {
    {87, 0, 60, 2, 199},    // "Points on edge"
    {88, 1, 300, 1, 300},   // "Spasticity"
    {89, 2, 20, 1, 200},    // "Amplitude"
    {90, 3, 20, 0, 1000},   // "Image Duration"
    {91, 4, 1, 0, 5},       // "Type"
    {92, 5, 5, 1, 50},      // "Collapse Rate"
    {93, 6, 34, 0, 100},    // "Radius Flux"
    {94, 7, 0, 0, 400},     // "Flux Amplitude"
    {95, kStrengthSlot, 1, -10, 10},    // "Strength"
    {96, 10, 1, 1, 20},     // "X Tiling"
    {97, 11, 1, 1, 20},     // "Y Tiling"
    {98, 12, 0, 0, 3},      // "Tile Type"
};

constexpr ControlRow kEffectControls[] = {
    {99, 0, 0, 0, 25},      // "Type"
    {100, 1, 100, 2, 320},  // "X Strength"
    {101, 2, 80, 2, 240},   // "Y Strength"
    {102, 3, 20, 0, 1000},  // "Display Interval"
    {103, kStrengthSlot, 1, -10, 10},   // "Strength"
};

constexpr ControlRow kBitmapControls[] = {
    {104, 0, 1, 0, 3},      // "Display Type"
    {105, 1, 0, 0, 1},      // "Force Gradient"
    {106, 2, 12, 0, 1000},  // "Duration"
    {107, 3, 2, 0, 10},     // "Smoothing"
    {108, 4, 0, 0, 1},      // "Random Order"
    {109, 5, 0, 0, 1},      // "File or Screen"
    {110, kStrengthSlot, 1, -10, 10},   // "Strength"
};

}  // namespace

// A module not written yet: its controls, and entry points that do nothing.
constexpr ModuleDefinition Pending(std::span<const ControlRow> controls) {
  return {controls, NoOpEntryPoint, NoOpEntryPoint, NoOpEntryPoint, NoOpEntryPoint};
}

extern const ModuleDefinition kPlasmaModule = Pending(kPlasmaControls);
extern const ModuleDefinition kVortexModule = Pending(kVortexControls);
extern const ModuleDefinition kEffectModule = Pending(kEffectControls);
extern const ModuleDefinition kBitmapModule = Pending(kBitmapControls);

}  // namespace lumox
