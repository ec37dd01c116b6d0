#include "fake_modules.h"

#include <atomic>
#include <stdexcept>

#include "platform/system.h"

namespace lumox::test {

namespace {

std::array<std::atomic<int32_t>, kModuleCount> drawResults{};

template <const char* kCall>
int32_t Record(ModuleDescriptor& module) {
  Calls().Add(std::string(kCall) + " " + std::to_string(module.index()));
  const int32_t result = kCall[0] == 'D' ? drawResults[module.index()].load() : 0;
  if (result == kDrawThrows) throw std::runtime_error("module fault");
  return result;
}
constexpr char kInit[] = "Init", kStart[] = "Start", kStop[] = "Stop", kDraw[] = "Draw";

struct FakeDefinitions {
  std::array<std::array<ControlRow, 2>, kModuleCount> rows;
  std::array<ModuleDefinition, kModuleCount> definitions;
  FakeDefinitions() {
    for (int i = 0; i < kModuleCount; ++i) {
      rows[i] = {ControlRow{100 + i, 0, 50, 0, 100}, ControlRow{200 + i, 9, 1, -10, 10}};
      definitions[i] =
          ModuleDefinition{rows[i], Record<kDraw>, Record<kInit>, Record<kStart>, Record<kStop>};
    }
  }
};

}  // namespace

void SetDrawResult(int module, int32_t result) { drawResults[module] = result; }

const ModuleDefinition& FakeModuleDefinition(int index) {
  static const FakeDefinitions fakes;
  return fakes.definitions[index];
}

void UseFakeModules(RuntimeServices& services) {
  services.moduleDefinition = &FakeModuleDefinition;
  services.validateControls = [](ModuleDescriptor& module) {
    Calls().Add("Validate " + std::to_string(module.index()));
  };
}

TestEnvironment::TestEnvironment() {
  InstallClock(&clock);
  InstallSystemServices(&system);
  for (auto& result : drawResults) result = 0;
  Calls().Clear();
}

TestEnvironment::~TestEnvironment() {
  InstallSystemServices(nullptr);
  InstallClock(nullptr);
}

}  // namespace lumox::test
