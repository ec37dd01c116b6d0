// What the module table needs from each display module: its control rows
// and its four entry points.
#pragma once

#include <cstdint>
#include <span>

#include "state/module.h"

namespace lumox {

// One row of a module's control table: label string id, control slot,
// default, minimum, maximum.
struct ControlRow {
  int32_t labelId;
  int32_t index;
  int32_t defaultValue;
  int32_t minimum;
  int32_t maximum;
};

struct ModuleDefinition {
  std::span<const ControlRow> controls;
  ModuleEntryPoint Draw;
  ModuleEntryPoint Init;
  ModuleEntryPoint Start;
  ModuleEntryPoint Stop;
};

// The definition of module `index` (0..11). Modules not built yet have their
// control rows and do-nothing entry points.
const ModuleDefinition& GetModuleDefinition(int index);

// The shared entry point that does nothing and returns 0.
int32_t NoOpEntryPoint(ModuleDescriptor& module);

}  // namespace lumox
