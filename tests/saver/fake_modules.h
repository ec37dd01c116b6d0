// Display modules that record their calls, and a test environment with a
// manual clock and recording system services, for the saver's tests.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "control/sound_share.h"
#include "modules/module_catalog.h"
#include "platform/clock.h"
#include "platform/recording_system.h"
#include "saver/runtime_services.h"

namespace lumox::test {

// The calls of every fake module, as "Init 3", "Draw 3", ... plus whatever
// a test appends itself (the seams it fakes). Shared between threads.
class CallLog {
 public:
  void Add(const std::string& entry) {
    std::lock_guard lock(mutex_);
    entries_.push_back(entry);
  }
  std::vector<std::string> Entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
  }
  // The entries that start with `prefix`.
  std::vector<std::string> With(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& entry : Entries())
      if (entry.starts_with(prefix)) found.push_back(entry);
    return found;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> entries_;
};
inline CallLog& Calls() {
  static CallLog log;
  return log;
}

// What each fake module's Draw returns (kYield to yield); 0 by default.
// With kDrawThrows it throws "module fault" instead.
constexpr int32_t kDrawThrows = -1;
void SetDrawResult(int module, int32_t result);

// Module i's definition: control 0 (0..100, default 50) and the speed
// control 9 (-10..10, default 1), label ids 100 + i and 200 + i, and
// recording entry points.
const ModuleDefinition& FakeModuleDefinition(int index);

// Points the services at the fake modules, with validation recorded as
// "Validate i".
void UseFakeModules(RuntimeServices& services);

// A shared block in ordinary memory.
struct FakeShare {
  alignas(64) std::array<uint8_t, kSoundShareSize> bytes{};
  SoundShare share{bytes.data()};
};

// Installs a manual clock and recording system services for one test, and
// resets the fake modules.
struct TestEnvironment {
  TestEnvironment();
  ~TestEnvironment();
  ManualClock clock{100000};
  RecordingSystemServices system;
};

}  // namespace lumox::test
