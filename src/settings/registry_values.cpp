#include "settings/registry_values.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "state/module_control.h"
#include "state/palette_state.h"

namespace lumox {

namespace {

constexpr const char* kControlPanel = "Control Panel";

}  // namespace

std::string SettingsKey() { return kSettingsKeyName; }

std::string SavedKey() { return SettingsKey() + "\\Saved"; }

std::string DisplayKey(std::string_view display) {
  return SavedKey() + "\\" + std::string(display);
}

std::string ModulesKey(std::string_view display) { return DisplayKey(display) + "\\Modules"; }

std::string ModuleKey(std::string_view display, std::string_view module) {
  return ModulesKey(display) + "\\" + std::string(module);
}

std::string PaletteKey(std::string_view display) { return DisplayKey(display) + "\\Palette"; }

std::string ControlPanelPath(std::string_view keyName) {
  return std::string(kControlPanel) + "\\" + std::string(keyName);
}

int ReadRegistryValue(std::string_view valueName, std::string_view keyName, uint32_t /*type*/,
                      void* buffer, size_t size, size_t* readSize) {
  if (size > 0) std::memset(buffer, 0, size);
  if (readSize) *readSize = 0;
  RegValue value;
  if (!Registry().ReadValue(RegRoot::CurrentUser, ControlPanelPath(keyName), valueName, value)) {
    return 0;
  }
  if (value.data.size() > size) return 0;
  if (!value.data.empty()) std::memcpy(buffer, value.data.data(), value.data.size());
  if (readSize) *readSize = value.data.size();
  return 1;
}

int WriteRegistryValue(std::string_view valueName, std::string_view keyName, uint32_t type,
                       const void* data, size_t size) {
  RegistryStore& registry = Registry();
  const std::string path = ControlPanelPath(keyName);
  if (!registry.KeyExists(RegRoot::CurrentUser, path)) return 0;
  if (size == 0) {
    registry.DeleteValue(RegRoot::CurrentUser, path, valueName);
  } else {
    registry.WriteValue(RegRoot::CurrentUser, path, valueName, type, data, size);
  }
  return 1;
}

int RegistryKeyExists(std::string_view fullPath) {
  return Registry().KeyExists(RegRoot::CurrentUser, fullPath) ? 1 : 0;
}

bool ReadInt32(std::string_view valueName, std::string_view keyName, int32_t& value) {
  uint8_t bytes[4];
  if (!ReadRegistryValue(valueName, keyName, kRegBinary, bytes, sizeof bytes)) return false;
  // Stored little-endian, whatever the host.
  value = static_cast<int32_t>(uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 |
                               uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24);
  return true;
}

bool WriteInt32(std::string_view valueName, std::string_view keyName, int32_t value,
                uint32_t type) {
  const auto u = static_cast<uint32_t>(value);
  const uint8_t bytes[4] = {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8),
                            static_cast<uint8_t>(u >> 16), static_cast<uint8_t>(u >> 24)};
  return WriteRegistryValue(valueName, keyName, type, bytes, sizeof bytes) != 0;
}

bool ReadText(std::string_view valueName, std::string_view keyName, size_t size,
              std::string& text) {
  std::string buffer(size, '\0');
  text.clear();
  if (!ReadRegistryValue(valueName, keyName, kRegSz, buffer.data(), size)) return false;
  // Keep the last byte for the terminating zero, as a fixed C buffer would.
  buffer[size - 1] = '\0';
  text = buffer.c_str();
  return true;
}

bool WriteText(std::string_view valueName, std::string_view keyName, std::string_view text) {
  std::string stored(text);
  return WriteRegistryValue(valueName, keyName, kRegSz, stored.c_str(), stored.size() + 1) != 0;
}

const char* ControlValueName(ControlField field, int control) {
  // Formatted once, then shared: five names for each of the 20 slots.
  using NameTable = std::array<std::array<std::array<char, 16>, kControlsPerModule>, 5>;
  static const NameTable table = [] {
    static constexpr const char* kPatterns[5] = {"Control%d", "RangeLo%d", "RangeHi%d",
                                                 "Check%d", "Sense%d"};
    NameTable names{};
    for (int f = 0; f < 5; ++f) {
      for (int n = 0; n < kControlsPerModule; ++n) {
        std::snprintf(names[f][n].data(), names[f][n].size(), kPatterns[f], n);
      }
    }
    return names;
  }();
  return table[static_cast<int>(field)][control].data();
}

std::string PaletteValueName(int channel, int parameter, PaletteField field) {
  static constexpr const char* kChannelPrefixes[kChannels] = {"Red", "Green", "Blue"};
  static constexpr const char* kStems[kPaletteParameters] = {
      "Scale", "Density", "FadeFactor", "RampDecay", "Seconds",
      "CycleRate", "Event", "Direction", "MorphRate", "Intensity"};
  static constexpr const char* kSuffixes[5] = {"", "RangeLo", "RangeHi", "Sense", "Source"};

  std::string prefix = kChannelPrefixes[channel];
  if (parameter == kCycleRate) prefix.clear();
  // Stored displays keep the green Seconds sense under the red name.
  if (parameter == kSeconds && channel == kGreen && field == PaletteField::Sense) prefix = "Red";
  return prefix + kStems[parameter] + kSuffixes[static_cast<int>(field)];
}

const char* ChannelEffectValueName(int channel) {
  static constexpr const char* kNames[kChannels] = {"RedEffect", "GreenEffect", "BlueEffect"};
  return kNames[channel];
}

}  // namespace lumox
