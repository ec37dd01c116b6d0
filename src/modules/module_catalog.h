// The catalog of the twelve display modules: what the module table needs
// from each, its control rows and its four entry points.
//
// A module is one file (the contract it keeps is in state/module.h):
// src/modules/<name>.cpp, in the order bezier.cpp shows: what the module
// shows and why, its control rows, its state record, Init, Start, Draw and
// Stop, then helpers. It ends with
//   const ModuleDefinition k<Name>Module{k<Name>Controls, Draw, Init, Start, Stop};
// and kCatalog in module_catalog.cpp lists it in its place. The build takes
// every source file of this folder, and the module tests run every module
// the catalog lists.
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

// Each module's definition, from its own file.
extern const ModuleDefinition kBezierModule, kCyclicModule, kPatternModule, kPlasmaModule,
    kPolygonModule, kSphereModule, kStainModule, kStarModule, kVortexModule, kEffectModule,
    kBitmapModule, kRandomModule;

// The definition of module `index` (0..11).
const ModuleDefinition& GetModuleDefinition(int index);

// The shared entry point that does nothing and returns 0.
int32_t NoOpEntryPoint(ModuleDescriptor& module);

}  // namespace lumox
