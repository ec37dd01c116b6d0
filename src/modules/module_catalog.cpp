#include "modules/module_catalog.h"

#include <array>
#include <cassert>

namespace lumox {

int32_t NoOpEntryPoint(ModuleDescriptor&) { return 0; }

namespace {

// In module-table order (state/module.h).
constexpr std::array<const ModuleDefinition*, kModuleCount> kCatalog = {
    &kBezierModule, &kCyclicModule, &kPatternModule, &kPlasmaModule,
    &kPolygonModule, &kSphereModule, &kStainModule, &kStarModule,
    &kVortexModule, &kEffectModule, &kBitmapModule, &kRandomModule,
};

}  // namespace

const ModuleDefinition& GetModuleDefinition(int index) {
  assert(index >= 0 && index < kModuleCount);
  static constexpr ModuleDefinition kNoModule{{}, NoOpEntryPoint, NoOpEntryPoint, NoOpEntryPoint,
                                              NoOpEntryPoint};
  if (index < 0 || index >= kModuleCount) return kNoModule;
  return *kCatalog[index];
}

}  // namespace lumox
