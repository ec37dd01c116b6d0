#include "fake_modules.h"

#include "platform/system.h"

namespace lumox::test {

namespace {

std::array<std::atomic<int32_t>, 12> drawResults{};

template <const char* kCall>
int32_t Record(ModuleDescriptor& module) {
  Calls().Add(std::string(kCall) + " " + std::to_string(module.index()));
  return 0;
}
constexpr char kInit[] = "Init", kStart[] = "Start", kStop[] = "Stop", kDraw[] = "Draw";

int32_t FakeDraw(ModuleDescriptor& module) {
  Record<kDraw>(module);
  return drawResults[module.index()];
}

struct FakeDefinitions {
  std::array<std::array<ControlRow, 2>, 12> rows;
  std::array<ModuleDefinition, 12> definitions;
  FakeDefinitions() {
    for (int i = 0; i < 12; ++i) {
      rows[i] = {ControlRow{100 + i, 0, 50, 0, 100}, ControlRow{200 + i, 9, 1, -10, 10}};
      definitions[i] =
          ModuleDefinition{rows[i], FakeDraw, Record<kInit>, Record<kStart>, Record<kStop>};
    }
  }
};

}  // namespace

void CallLog::Add(const std::string& entry) {
  std::lock_guard lock(mutex_);
  entries_.push_back(entry);
}

std::vector<std::string> CallLog::Entries() const {
  std::lock_guard lock(mutex_);
  return entries_;
}

std::vector<std::string> CallLog::With(const std::string& prefix) const {
  std::vector<std::string> found;
  for (const std::string& entry : Entries()) {
    if (entry.rfind(prefix, 0) == 0) found.push_back(entry);
  }
  return found;
}

void CallLog::Clear() {
  std::lock_guard lock(mutex_);
  entries_.clear();
}

CallLog& Calls() {
  static CallLog log;
  return log;
}

void SetDrawResult(int module, int32_t result) { drawResults[module] = result; }

void ResetFakeModules() {
  for (auto& result : drawResults) result = 0;
  Calls().Clear();
}

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
  ResetFakeModules();
}

TestEnvironment::~TestEnvironment() {
  InstallSystemServices(nullptr);
  InstallClock(nullptr);
}

}  // namespace lumox::test
