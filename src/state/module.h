// The display-module table, and the contract every display module keeps.
//
// Twelve records, one per display module, in a fixed order; the position is
// the module index used everywhere (the Active flags, the settings pages,
// the registry key names in kModuleNames).
//
// A module is one file in src/modules/: its control rows (label string id,
// slot, default, minimum, maximum; slot kStrengthSlot is always "Strength")
// and its four entry points, gathered into a ModuleDefinition named
// k<Name>Module that the catalog lists. Each entry point takes the module's
// own record.
//
// Who calls what, always on the render thread, for each active module in
// table order:
//   run start (the palette thread is ready)  ValidateControls, Init, Start
//   every frame                              Draw, as often as "Strength" says
//   restart request (hot key, player)        Stop, Init, Start
//   run end                                  Stop
//   the Random module switches displays      Stop of the old modules;
//                                            ValidateControls, Init, Start
//                                            of the new ones
// The configuration dialog never calls the entry points; it only edits the
// controls. A module keeps its state between calls in its own file
// (one module of a kind runs at a time); Init allocates it, Stop frees it.
//
// What an entry point may and may not do:
// - Draw never sleeps and never allocates: buffers are made in Init or
//   Start. It returns kYield (42) when it has nothing to draw this frame
//   (waiting for a deadline, or its buffers could not be made), which gives
//   the rest of the frame away; any other value means "go on".
// - Control values may arrive at and beyond their limits (live sound above
//   full scale, a hand-edited registry): hold every working value to the
//   control's own row before use (modules/module_support.h).
// - width and height may be anything from 1x1 to very wide or tall; nothing
//   may be drawn outside the canvas, and no size may divide by zero.
// - Deadlines compare through TickDelta (platform/clock.h): the tick count
//   wraps.
// - A failed allocation leaves the module idle (Draw yields); it never
//   throws and never ends the saver.
#pragma once

#include <array>
#include <cstdint>

#include "state/module_control.h"

namespace lumox {

namespace gfx {
class Canvas;
}
struct PaletteState;
struct ModuleDescriptor;

using ModuleEntryPoint = int32_t (*)(ModuleDescriptor& module);

constexpr int32_t kYield = 42;
constexpr int kModuleCount = 12;
// The control of every module that sets how often its Draw runs per frame
// ("Strength", -10..10, default 1).
constexpr int kStrengthSlot = 9;
constexpr int kModuleTextSize = 260;

enum ModuleIndex : int {
  kBezier = 0,
  kCyclic,
  kPattern,
  kPlasma,
  kPolygon,
  kSphere,
  kStain,
  kStar,
  kVortex,
  kEffect,
  kBitmap,
  kRandom,
};

inline constexpr std::array<const char*, kModuleCount> kModuleNames = {
    "Bezier", "Cyclic", "Pattern", "Plasma", "Polygon", "Sphere",
    "Stain",  "Star",   "Vortex",  "Effect", "Bitmap",  "Random"};

struct ModuleDescriptor {
  const char* name = nullptr;
  int32_t page = 0;
  int32_t width = 0;
  int32_t height = 0;
  gfx::Canvas* dc = nullptr;
  PaletteState* palette = nullptr;
  ModuleDescriptor* table = nullptr;
  char text[kModuleTextSize] = {};
  std::array<ModuleControl, kControlsPerModule> controls{};
  ModuleEntryPoint Draw = nullptr;
  ModuleEntryPoint Init = nullptr;
  ModuleEntryPoint Start = nullptr;
  ModuleEntryPoint Stop = nullptr;

  int index() const { return static_cast<int>(this - table); }
};

using ModuleTable = std::array<ModuleDescriptor, kModuleCount>;

}  // namespace lumox
