// A saver state over an empty registry in memory, a private sound block and
// recording system services, with a small module table of its own: a few
// controls per module with distinct limits, so that tests do not depend on
// the real module definitions.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "control/sound_link.h"
#include "control/sound_share.h"
#include "palette/palette.h"
#include "platform/memory_registry.h"
#include "platform/recording_system.h"
#include "settings/registry_values.h"
#include "state/palette_state.h"
#include "state/saver_state.h"

namespace lumox::testing {

using Bytes = std::vector<uint8_t>;
// One value of a dumped subtree: key path relative to the dump's root,
// value name, type and bytes. A key shows as a value without name or type.
using DumpedValue = std::tuple<std::string, std::string, uint32_t, Bytes>;

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallRegistry(&registry_);
    InstallSystemServices(&system_);
    SetCurrentSoundShare(&share_);
    SetPaletteDefaults(*palette_);
    state_->palette = palette_.get();
    for (int i = 0; i < kModuleCount; ++i) {
      ModuleDescriptor& module = state_->table[i];
      module.name = kModuleNames[i];
      module.palette = palette_.get();
      // Value, minimum and maximum of slots 0, 3, 9 and 19.
      module.controls[0] = DefinedControl(10, 4, 0, 20);
      module.controls[3] = DefinedControl(13, 50, 10, 100);
      module.controls[9] = DefinedControl(19, 1, -10, 10);
      module.controls[19] = DefinedControl(29, -5, -100, 0);
    }
  }
  void TearDown() override {
    SetCurrentSoundShare(nullptr);
    InstallSystemServices(nullptr);
    InstallRegistry(nullptr);
  }

  SaverState& state() { return *state_; }
  PaletteState& palette() { return *palette_; }
  SoundShare& share() { return share_; }
  RecordingSystemServices& system() { return system_; }
  // Exactly these modules active.
  void Activate(std::initializer_list<int> modules) {
    state_->options.Active = {};
    for (int i : modules) state_->options.Active[i] = 1;
  }
  void ExpectActive(std::initializer_list<int> modules) {
    for (int i = 0; i < kModuleCount; ++i)
      EXPECT_EQ(state_->options.Active[i], std::count(modules.begin(), modules.end(), i)) << i;
  }

  // Values stored straight into the registry, creating the key.
  void PutBytes(const std::string& key, const std::string& name, const Bytes& bytes,
                uint32_t type = kRegBinary) {
    registry_.CreateKey(kUser, ControlPanelPath(key));
    registry_.WriteValue(kUser, ControlPanelPath(key), name, type, bytes.data(), bytes.size());
  }
  void PutInt(const std::string& key, const std::string& name, int32_t value) {
    const auto u = static_cast<uint32_t>(value);
    PutBytes(key, name, {uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)});
  }
  // A stored value's bytes; empty when missing.
  Bytes Get(const std::string& key, const std::string& name) {
    RegValue value;
    registry_.ReadValue(kUser, ControlPanelPath(key), name, value);
    return value.data;
  }
  int32_t GetInt(const std::string& key, const std::string& name) {
    int32_t value = -12345;
    EXPECT_TRUE(ReadInt32(name, key, value)) << key << " " << name;
    return value;
  }
  bool KeyExists(const std::string& key) { return registry_.KeyExists(kUser, ControlPanelPath(key)); }

  // Every key and value below a full path (empty = all), depth first.
  std::vector<DumpedValue> Dump(const std::string& fullPath, const std::string& relative = "") {
    std::vector<DumpedValue> values;
    for (const RegValue& value : registry_.EnumValues(kUser, fullPath))
      values.emplace_back(relative, value.name, value.type, value.data);
    for (const std::string& subkey : registry_.EnumSubkeys(kUser, fullPath)) {
      const std::string child = relative.empty() ? subkey : relative + "\\" + subkey;
      values.emplace_back(child, "", kRegNone, Bytes{});
      for (DumpedValue& value : Dump(fullPath.empty() ? subkey : fullPath + "\\" + subkey, child))
        values.push_back(std::move(value));
    }
    return values;
  }
  std::vector<DumpedValue> DumpDisplay(const std::string& name) {
    return Dump(ControlPanelPath(DisplayKey(name)));
  }

 private:
  static constexpr RegRoot kUser = RegRoot::CurrentUser;
  MemoryRegistry registry_;
  RecordingSystemServices system_;
  std::array<uint8_t, kSoundShareSize> shareBytes_{};
  SoundShare share_{shareBytes_.data()};
  std::unique_ptr<PaletteState> palette_ = std::make_unique<PaletteState>();
  std::unique_ptr<SaverState> state_ = std::make_unique<SaverState>();
};

}  // namespace lumox::testing
