// A saver state over an empty registry in memory, a private sound block and
// recording system services, with a small module table of its own: a few
// controls per module with distinct limits, so that tests do not depend on
// the real module definitions.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "control/sound_link.h"
#include "control/sound_share.h"
#include "palette/palette.h"
#include "state/palette_state.h"
#include "platform/memory_registry.h"
#include "platform/recording_system.h"
#include "state/saver_state.h"
#include "settings/registry_values.h"

namespace lumox::testing {

// Label ids of the test controls (any ids will do; the commands test looks
// them up in the real string table only for its output).
constexpr int32_t kTestLabel = 10;

inline void DefineTestControl(ModuleDescriptor& module, int slot, int32_t def, int32_t min,
                              int32_t max) {
  module.controls[slot] = DefinedControl(kTestLabel + slot, def, min, max);
  module.text[0] = '\0';
}

// One value in a dumped subtree: key path relative to the dump's root,
// value name, type and bytes.
using DumpedValue = std::tuple<std::string, std::string, uint32_t, std::vector<uint8_t>>;

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallRegistry(&registry_);
    InstallSystemServices(&system_);
    SetCurrentSoundShare(&share_);
    palette_ = std::make_unique<PaletteState>();
    SetPaletteDefaults(*palette_);
    state_ = std::make_unique<SaverState>();
    state_->palette = palette_.get();
    for (int i = 0; i < kModuleCount; ++i) {
      ModuleDescriptor& module = state_->table[i];
      module.name = kModuleNames[i];
      module.table = state_->table.data();
      module.palette = palette_.get();
      DefineTestControl(module, 0, 4, 0, 20);
      DefineTestControl(module, 3, 50, 10, 100);
      DefineTestControl(module, 9, 1, -10, 10);
      DefineTestControl(module, 19, -5, -100, 0);
    }
  }

  void TearDown() override {
    SetCurrentSoundShare(nullptr);
    InstallSystemServices(nullptr);
    InstallRegistry(nullptr);
  }

  // A path in the temporary directory named after the running test.
  static std::filesystem::path TestTempPath(const std::string& prefix,
                                            const std::string& suffix = "") {
    return std::filesystem::path(::testing::TempDir()) /
           (prefix + ::testing::UnitTest::GetInstance()->current_test_info()->name() + suffix);
  }

  SaverState& state() { return *state_; }
  PaletteState& palette() { return *palette_; }
  SoundShare& share() { return share_; }
  MemoryRegistry& registry() { return registry_; }
  RecordingSystemServices& system() { return system_; }

  // Values stored straight into the registry, creating the key.
  void PutInt(const std::string& keyName, const std::string& valueName, int32_t value) {
    PutBytes(keyName, valueName, kRegBinary, std::vector<uint8_t>{
        static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
        static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)});
  }
  void PutBytes(const std::string& keyName, const std::string& valueName, uint32_t type,
                const std::vector<uint8_t>& bytes) {
    const std::string path = ControlPanelPath(keyName);
    registry_.CreateKey(RegRoot::CurrentUser, path);
    registry_.WriteValue(RegRoot::CurrentUser, path, valueName, type, bytes.data(), bytes.size());
  }
  bool HasValue(const std::string& keyName, const std::string& valueName) {
    RegValue value;
    return registry_.ReadValue(RegRoot::CurrentUser, ControlPanelPath(keyName), valueName, value);
  }
  int32_t GetInt(const std::string& keyName, const std::string& valueName) {
    int32_t value = -12345;
    EXPECT_TRUE(ReadInt32(valueName, keyName, value)) << keyName << " " << valueName;
    return value;
  }
  bool KeyExists(const std::string& keyName) {
    return registry_.KeyExists(RegRoot::CurrentUser, ControlPanelPath(keyName));
  }

  // Every value below a full path (HKCU), depth first; empty path = all.
  std::vector<DumpedValue> Dump(const std::string& fullPath) {
    std::vector<DumpedValue> values;
    DumpInto(fullPath, "", values);
    return values;
  }
  // Keys too, so an empty key left behind shows.
  std::vector<std::string> DumpKeys(const std::string& fullPath) {
    std::vector<std::string> keys;
    for (const std::string& subkey : registry_.EnumSubkeys(RegRoot::CurrentUser, fullPath)) {
      const std::string child = fullPath.empty() ? subkey : fullPath + "\\" + subkey;
      keys.push_back(child);
      for (std::string& below : DumpKeys(child)) keys.push_back(std::move(below));
    }
    return keys;
  }

 private:
  void DumpInto(const std::string& fullPath, const std::string& relative,
                std::vector<DumpedValue>& values) {
    for (const RegValue& value : registry_.EnumValues(RegRoot::CurrentUser, fullPath)) {
      values.emplace_back(relative, value.name, value.type, value.data);
    }
    for (const std::string& subkey : registry_.EnumSubkeys(RegRoot::CurrentUser, fullPath)) {
      DumpInto(fullPath.empty() ? subkey : fullPath + "\\" + subkey,
               relative.empty() ? subkey : relative + "\\" + subkey, values);
    }
  }

  MemoryRegistry registry_;
  RecordingSystemServices system_;
  std::array<uint8_t, kSoundShareSize> shareBytes_{};
  SoundShare share_{shareBytes_.data()};
  std::unique_ptr<PaletteState> palette_;
  std::unique_ptr<SaverState> state_;
};

}  // namespace lumox::testing
