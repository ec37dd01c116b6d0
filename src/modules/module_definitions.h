// The definitions each display module file provides, gathered into the
// catalog by module_catalog.cpp.
#pragma once

#include "modules/module_catalog.h"

namespace lumox {

extern const ModuleDefinition kBezierModule;
extern const ModuleDefinition kCyclicModule;
extern const ModuleDefinition kPatternModule;
extern const ModuleDefinition kRandomModule;

}  // namespace lumox
