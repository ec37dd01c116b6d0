// The display-module table.
//
// Twelve records, one per display module, in a fixed order; the position is
// the module index used everywhere (the Active flags, the settings pages).
// Each record carries the module's controls and its four entry points. An
// entry point takes the module's own record; only Draw's result is read:
// kYield (42) gives the rest of the frame away.
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
