#include "saver/module_table.h"
#include "saver/runtime_services.h"

namespace lumox {

namespace {

RuntimeServices MakeDefaultServices() {
  RuntimeServices services;
  return services;
}

}  // namespace

const RuntimeServices& DefaultRuntimeServices() {
  static const RuntimeServices services = MakeDefaultServices();
  return services;
}

void SetUpModuleTable(SaverState& saver) { SetUpModuleTable(saver, DefaultRuntimeServices()); }

}  // namespace lumox
