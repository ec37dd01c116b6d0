#include "settings/saved_displays.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "base/random.h"
#include "control/controls.h"
#include "control/sound_link.h"
#include "control/sound_share.h"
#include "palette/palette.h"
#include "platform/registry_tree.h"
#include "state/palette_state.h"
#include "state/saver_state.h"
#include "settings/registry_values.h"

namespace lumox {

namespace {

constexpr const char* kOptionNames[] = {"Priority", "ClearFirst", "SlowCPU", "ShowInfo",
                                        "ShowName", "AutoRun",    "AutoGain"};

bool KeyOpens(const std::string& keyName) {
  return RegistryKeyExists(ControlPanelPath(keyName)) != 0;
}

void CreateKey(const std::string& keyName) {
  Registry().CreateKey(RegRoot::CurrentUser, ControlPanelPath(keyName));
}

// Deletes a key with everything below it, leaves first.
void DeleteKeyTree(const std::string& fullPath) {
  RegistryStore& registry = Registry();
  for (const std::string& subkey : registry.EnumSubkeys(RegRoot::CurrentUser, fullPath)) {
    DeleteKeyTree(fullPath + "\\" + subkey);
  }
  registry.DeleteKey(RegRoot::CurrentUser, fullPath);
}

// A palette word read in place; a missing value keeps what it held.
void ReadPaletteWord(const std::string& valueName, const std::string& key, Relaxed<int32_t>& word) {
  int32_t value = word;
  if (ReadInt32(valueName, key, value)) word = value;
}

void LoadPaletteSlot(PaletteValue& slot, int channel, int parameter, const std::string& key) {
  ReadPaletteWord(PaletteValueName(channel, parameter, PaletteField::Value), key, slot.Value);
  ReadPaletteWord(PaletteValueName(channel, parameter, PaletteField::RangeLo), key, slot.RangeLo);
  ReadPaletteWord(PaletteValueName(channel, parameter, PaletteField::RangeHi), key, slot.RangeHi);
  ReadPaletteWord(PaletteValueName(channel, parameter, PaletteField::Sense), key, slot.Sense);
  ReadPaletteWord(PaletteValueName(channel, parameter, PaletteField::Source), key, slot.Source);
}

// Displays stored by the earlier version kept fewer palette values; these
// steps map them onto today's parameters.
void ConvertEarlierPalette(PaletteSettings& settings, int32_t shifted, const std::string& key) {
  static constexpr const char* kLegacyPrefixes[kChannels] = {"Red", "Green", "Blue"};
  for (int channel = 0; channel < kChannels; ++channel) {
    const std::string prefix = kLegacyPrefixes[channel];
    if (shifted != 0) {
      const int32_t magnitude = 1 + Rand() % 3;
      settings.values[kDirection][channel].RangeLo = (Rand() % 2 != 0) ? -magnitude : magnitude;
    }
    PaletteValue& density = settings.values[kDensity][channel];
    const int32_t oldSource = density.Source;
    density.RangeLo = oldSource;
    density.RangeHi = oldSource + 4;
    density.Source = kSourceRandom;

    int32_t legacySource = 0;
    if (ReadInt32(prefix + "Source", key, legacySource) && legacySource >= 2) {
      PaletteValue& scale = settings.values[kScale][channel];
      scale.Source = legacySource;
      ReadPaletteWord(prefix + "Scale", key, scale.Value);
      ReadPaletteWord(prefix + "ScaleLo", key, scale.RangeLo);
      ReadPaletteWord(prefix + "ScaleHi", key, scale.RangeHi);
      ReadPaletteWord(prefix + "Sense", key, scale.Sense);
    }
    PaletteValue& ramp = settings.values[kRampDecay][channel];
    ramp.RangeLo = ramp.RangeLo * 3;

    int32_t together = 0;
    if (ReadInt32("Together", key, together) && together != 0) {
      ReadPaletteWord("AllEffect", key, settings.Effect[channel]);
    }
  }
}

void LoadPalette(PaletteState& palette, const char* name) {
  SetPaletteDefaults(palette);
  const std::string key = PaletteKey(name);
  if (!IsValidDisplayName(name) || !KeyOpens(key)) return;
  PaletteSettings& settings = palette.settings;

  int32_t allEffect = 0;
  if (ReadInt32("AllEffect", key, allEffect)) {
    settings.AllEffect = allEffect;
    for (auto& effect : settings.Effect) effect = allEffect;
  }

  // A shorter value reads zero-filled: the colours it lacks are black.
  uint8_t custom[kCustomValueSize];
  if (ReadRegistryValue("Custom", key, kRegBinary, custom, sizeof custom)) {
    for (int i = 0; i < kPaletteEntries; ++i) {
      palette.custom[i].Set(gfx::Rgb{custom[3 * i], custom[3 * i + 1], custom[3 * i + 2]});
      palette.custom[i].flags = 1;
    }
  }

  for (int channel = 0; channel < kChannels; ++channel) {
    for (int parameter = 0; parameter < kPaletteParameters; ++parameter) {
      LoadPaletteSlot(settings.values[parameter][channel], channel, parameter, key);
    }
    ReadPaletteWord(ChannelEffectValueName(channel), key, settings.Effect[channel]);
  }

  int32_t shifted = 0;
  if (ReadInt32("Shifted", key, shifted)) ConvertEarlierPalette(settings, shifted, key);
}

void LoadOptions(SaverState& state, const char* name) {
  const std::string key = DisplayKey(name);
  if (!IsValidDisplayName(name) || !KeyOpens(key)) return;
  SoundShare* share = CurrentSoundShare();
  share->SetU32(share_offset::PaletteSoundEnabled, 1);
  share->SetU32(share_offset::ModuleSoundEnabled, 1);

  SaverOptions& options = state.options;
  int32_t slowCpu = 1;
  int32_t autoGain = 1;
  options.ShowInfo = 0;
  options.ShowName = 0;
  options.AutoRun = 0;
  ReadInt32("Priority", key, options.Priority);
  ReadInt32("ClearFirst", key, options.ClearFirst);
  ReadInt32("SlowCPU", key, slowCpu);
  ReadInt32("ShowInfo", key, options.ShowInfo);
  ReadInt32("ShowName", key, options.ShowName);
  ReadInt32("AutoRun", key, options.AutoRun);
  ReadInt32("AutoGain", key, autoGain);
  share->SetU32(share_offset::SlowCPU, static_cast<uint32_t>(slowCpu));
  share->SetU32(share_offset::AutoGain, static_cast<uint32_t>(autoGain));
}

void SavePaletteUnbatched(const PaletteState& palette, const char* name) {
  const std::string key = PaletteKey(name);
  DeleteKeyTree(ControlPanelPath(key));
  CreateKey(key);
  const PaletteSettings& settings = palette.settings;

  bool anyCustom = false;
  for (const auto& effect : settings.Effect) anyCustom = anyCustom || effect == kEffectCustom;
  if (anyCustom) {
    uint8_t custom[kCustomValueSize];
    // With the capture-colours key the colours now on screen are kept.
    const bool liveColors = palette.LiveColors != 0;
    for (int i = 0; i < kPaletteEntries; ++i) {
      const gfx::Rgb color = liveColors ? palette.entries[i].Color() : palette.custom[i].Color();
      custom[3 * i] = color.red;
      custom[3 * i + 1] = color.green;
      custom[3 * i + 2] = color.blue;
    }
    WriteRegistryValue("Custom", key, kRegBinary, custom, sizeof custom);
  } else {
    WriteRegistryValue("Custom", key, kRegBinary, nullptr, 0);
  }

  for (int channel = 0; channel < kChannels; ++channel) {
    WriteInt32(ChannelEffectValueName(channel), key, settings.Effect[channel]);
  }
  // Slot order (parameter, then channel): where two slots share a name the
  // later one is stored, which loading relies on.
  for (int parameter = 0; parameter < kPaletteParameters; ++parameter) {
    for (int channel = 0; channel < kChannels; ++channel) {
      const PaletteValue& slot = settings.values[parameter][channel];
      WriteInt32(PaletteValueName(channel, parameter, PaletteField::Value), key, slot.Value);
      WriteInt32(PaletteValueName(channel, parameter, PaletteField::RangeLo), key,
                       slot.RangeLo);
      WriteInt32(PaletteValueName(channel, parameter, PaletteField::RangeHi), key,
                       slot.RangeHi);
      WriteInt32(PaletteValueName(channel, parameter, PaletteField::Sense), key, slot.Sense);
      WriteInt32(PaletteValueName(channel, parameter, PaletteField::Source), key,
                       slot.Source);
    }
  }
}

void SaveModuleUnbatched(const ModuleDescriptor& module, const char* name) {
  if (module.name == nullptr) return;
  const std::string key = ModuleKey(name, module.name);
  DeleteKeyTree(ControlPanelPath(key));
  CreateKey(key);
  if (module.text[0] != '\0') {
    // The whole buffer, as stored displays and settings files hold it.
    // Bytes after the text's end are zero, whatever the buffer held before.
    char path[kPathValueSize] = {};
    std::memcpy(path, module.text, strnlen(module.text, sizeof path - 1));
    WriteRegistryValue("Path", key, kRegSz, path, sizeof path);
  }
  for (int n = 0; n < kControlsPerModule; ++n) {
    const ModuleControl& control = module.controls[n];
    if (!control.Defined) continue;
    WriteInt32(ControlValueName(ControlField::Value, n), key, control.Value);
    WriteInt32(ControlValueName(ControlField::RangeLo, n), key, control.RangeLo);
    WriteInt32(ControlValueName(ControlField::RangeHi, n), key, control.RangeHi);
    WriteInt32(ControlValueName(ControlField::Source, n), key, control.Source);
    WriteInt32(ControlValueName(ControlField::Sense, n), key, control.Sense);
  }
}

void SaveOptionsUnbatched(const SaverState& state, const char* name) {
  const std::string key = DisplayKey(name);
  CreateKey(key);
  const SoundShare* share = CurrentSoundShare();
  const SaverOptions& options = state.options;
  const int32_t values[] = {options.Priority,
                            options.ClearFirst,
                            static_cast<int32_t>(share->U32(share_offset::SlowCPU)),
                            options.ShowInfo,
                            options.ShowName,
                            options.AutoRun,
                            static_cast<int32_t>(share->U32(share_offset::AutoGain))};
  for (size_t i = 0; i < std::size(kOptionNames); ++i) WriteInt32(kOptionNames[i], key, values[i]);
}

// A first-run display: one module at its definition, the default palette
// with the given effect on all three channels, the current options.
void CreateDefaultDisplay(const SaverState& state, const ModuleDescriptor& module,
                          const char* name, int32_t effect) {
  auto palette = std::make_unique<PaletteState>();
  SetPaletteDefaults(*palette);
  for (auto& channelEffect : palette->settings.Effect) channelEffect = effect;
  DeleteKeyTree(ControlPanelPath(DisplayKey(name)));
  SaveModuleUnbatched(module, name);
  SavePaletteUnbatched(*palette, name);
  SaveOptionsUnbatched(state, name);
}

void CreateFirstRunDisplays(SaverState& state) {
  struct FirstRunDisplay {
    int module;
    int32_t effect;
  };
  static constexpr FirstRunDisplay kDisplays[] = {
      {kBezier, kEffectRandom}, {kCyclic, kEffectRandom},  {kPattern, kEffectRandom},
      {kPlasma, kEffectRandom}, {kPolygon, kEffectRandom}, {kSphere, kEffectRandom},
      {kStain, kEffectRandom},  {kStar, kEffectRamp},      {kVortex, kEffectRandom}};
  for (const FirstRunDisplay& display : kDisplays) {
    char name[64];
    std::snprintf(name, sizeof name, "%s %s", "[D]", kModuleNames[display.module]);
    CreateDefaultDisplay(state, state.table[display.module], name, display.effect);
  }
}

void CopyName(char* destination, size_t size, const char* name) {
  std::snprintf(destination, size, "%s", name);
}

}  // namespace

std::string DisplayNameProblem(std::string_view name) {
  if (name.empty()) return "A saved display needs a name.";
  if (name.size() > kMaxKeyNameLength) {
    return "A saved display's name has at most " + std::to_string(kMaxKeyNameLength) +
           " characters; this one has " + std::to_string(name.size()) + ".";
  }
  if (!IsValidRegistryName(name)) {
    return "A saved display's name cannot hold control characters such as tabs or line breaks.";
  }
  if (name.find('\\') != std::string_view::npos) {
    return "A saved display's name cannot hold a backslash.";
  }
  if (name == "." || name == "..") return "\".\" and \"..\" cannot name a saved display.";
  return {};
}

bool IsValidDisplayName(std::string_view name) { return DisplayNameProblem(name).empty(); }

bool LoadModuleSettings(ModuleDescriptor& module, const char* name) {
  if (!IsValidDisplayName(name) || module.name == nullptr) return false;
  const std::string key = ModuleKey(name, module.name);
  if (!KeyOpens(key)) return false;

  std::string path;
  ReadText("Path", key, kPathValueSize, path);
  CopyName(module.text, sizeof module.text, path.c_str());
  for (int n = 0; n < kControlsPerModule; ++n) {
    ModuleControl& control = module.controls[n];
    if (!control.Defined) continue;
    RestoreDefinition(control);
    ReadInt32(ControlValueName(ControlField::Value, n), key, control.Value);
    ReadInt32(ControlValueName(ControlField::RangeLo, n), key, control.RangeLo);
    ReadInt32(ControlValueName(ControlField::RangeHi, n), key, control.RangeHi);
    ReadInt32(ControlValueName(ControlField::Source, n), key, control.Source);
    ReadInt32(ControlValueName(ControlField::Sense, n), key, control.Sense);
  }
  return true;
}

void ApplySoundAvailability(SaverState& state) {
  SoundShare& share = *CurrentSoundShare();
  const bool moduleSound = SoundEnabled(share, share_offset::ModuleSoundEnabled) || state.configDialogOpen;
  const bool paletteSound = SoundEnabled(share, share_offset::PaletteSoundEnabled) || state.configDialogOpen;
  bool saverUsesSound = false;
  bool paletteUsesSound = false;

  for (int i = 0; i < kModuleCount; ++i) {
    if (state.options.Active[i] == 0) continue;
    for (ModuleControl& control : state.table[i].controls) {
      if (control.Defined == 0 || control.Source < kSourceVolume) continue;
      if (moduleSound)
        saverUsesSound = true;
      else
        control.Source = kSourceOscillate;
    }
  }

  if (state.palette != nullptr) {
    for (auto& parameter : state.palette->settings.values) {
      for (PaletteValue& value : parameter) {
        if (value.Source < kSourceVolume) continue;
        if (paletteSound)
          paletteUsesSound = saverUsesSound = true;
        else
          value.Source = kSourceOscillate;
      }
    }
  }

  share.SetU32(share_offset::PaletteUsesSound, paletteUsesSound ? 1 : 0);
  share.SetU32(share_offset::SaverUsesSound, saverUsesSound ? 1 : 0);
}

int LoadDisplay(SaverState& state, const char* displayName) {
  // A copy: callers may pass the state's own display name.
  const std::string nameCopy(displayName ? displayName : "");
  const char* name = nameCopy.c_str();
  CopyName(state.displayName, sizeof state.displayName, name);
  CurrentSoundShare()->SetText(share_offset::DisplayName, kShareDisplayNameSize, name);

  int found = 0;
  for (int i = 0; i < kModuleCount; ++i) {
    ModuleDescriptor& module = state.table[i];
    if (LoadModuleSettings(module, name)) {
      state.options.Active[i] = 1;
      found = 1;
    } else {
      state.options.Active[i] = 0;
    }
    ValidateControls(module);
  }

  if (state.palette) LoadPalette(*state.palette, name);
  LoadOptions(state, name);

  int32_t speed = 0;
  ReadInt32("Speed", SettingsKey(), speed);
  state.options.Speed = speed;

  ApplySoundAvailability(state);
  return found;
}

void SaveModule(const ModuleDescriptor& module, const char* name) {
  if (!IsValidDisplayName(name)) return;
  RegistryBatch batch(Registry());
  SaveModuleUnbatched(module, name);
}

void SavePalette(const PaletteState& palette, const char* name) {
  if (!IsValidDisplayName(name)) return;
  RegistryBatch batch(Registry());
  SavePaletteUnbatched(palette, name);
}

void SaveOptions(const SaverState& state, const char* name) {
  if (!IsValidDisplayName(name)) return;
  RegistryBatch batch(Registry());
  SaveOptionsUnbatched(state, name);
}

bool SaveDisplay(SaverState& state, const char* name) {
  if (!IsValidDisplayName(name)) return false;
  // One batch: the old display is gone and the new one complete together.
  RegistryBatch batch(Registry());
  DeleteDisplay(name);
  for (int i = 0; i < kModuleCount; ++i) {
    if (state.options.Active[i]) SaveModuleUnbatched(state.table[i], name);
  }
  if (state.palette) SavePaletteUnbatched(*state.palette, name);
  SaveOptionsUnbatched(state, name);
  // "Active" never names a display the store did not take.
  if (!KeyOpens(DisplayKey(name))) return false;
  WriteInt32("Speed", SettingsKey(), state.options.Speed, kRegDword);
  return WriteActiveName(name);
}

int DeleteDisplay(const char* name) {
  // An empty name would address the whole "Saved" key.
  if (!IsValidDisplayName(name)) return 1;
  const std::string path = ControlPanelPath(DisplayKey(name));
  if (RegistryKeyExists(path)) {
    RegistryBatch batch(Registry());
    DeleteKeyTree(path);
  }
  return 1;
}

bool ContainsRandom(const char* name) {
  return IsValidDisplayName(name) && KeyOpens(ModuleKey(name, kModuleNames[kRandom]));
}

void ResetModule(SaverState& state, int index) {
  ModuleDescriptor& module = state.table[index];
  for (ModuleControl& control : module.controls) {
    if (!control.Defined) continue;
    RestoreDefinition(control);
    control.Smoothed = 0.5f;
  }
  module.text[0] = '\0';
}

void Capture(SaverState& state) {
  // The capture stores the modules the Random module has chosen, each at
  // its current values as fixed ones.
  const int32_t randomActive = state.options.Active[kRandom];
  state.options.Active[kRandom] = 0;
  int32_t sources[kModuleCount][kControlsPerModule];
  for (int i = 0; i < kModuleCount; ++i) {
    for (int n = 0; n < kControlsPerModule; ++n) {
      sources[i][n] = state.table[i].controls[n].Source;
      state.table[i].controls[n].Source = kSourceSet;
    }
  }

  char name[32];
  for (int n = 1;; ++n) {
    std::snprintf(name, sizeof name, "Capture #%d", n);
    if (!RegistryKeyExists(ControlPanelPath(DisplayKey(name)))) break;
  }
  SaveDisplay(state, name);

  CurrentSoundShare()->SetU32(share_offset::CaptureRequest, 0);
  if (state.palette) state.palette->LiveColors = 0;
  state.options.Active[kRandom] = randomActive;
  for (int i = 0; i < kModuleCount; ++i) {
    for (int n = 0; n < kControlsPerModule; ++n) state.table[i].controls[n].Source = sources[i][n];
  }
}

void WriteVersionStamp() { WriteSaverVersion(kSaverVersionMajor, kSaverVersionMinor); }

void SetUpSavedDisplays(SaverState& state) {
  // Whatever the first run creates is written out at once.
  RegistryBatch batch(Registry());
  if (!RegistryKeyExists(ControlPanelPath(SavedKey()))) CreateFirstRunDisplays(state);

  if (!LoadDisplay(state, kSoundSettingsDisplay)) {
    state.options.Active[kRandom] = 1;
    state.options.ShowInfo = 1;
    CreateDefaultDisplay(state, state.table[kRandom], kSoundSettingsDisplay, kEffectRandom);
  }

  if (!LoadDisplay(state, ReadActiveName().c_str())) {
    LoadDisplay(state, kSoundSettingsDisplay);
    WriteActiveName(kSoundSettingsDisplay);
  }

  bool anyActive = false;
  for (const auto& flag : state.options.Active) anyActive = anyActive || flag != 0;
  if (!anyActive) state.options.Active[kRandom] = 1;
}

std::vector<std::string> ListSavedDisplays() {
  constexpr size_t kMaxDisplays = 1000;
  std::vector<std::string> names =
      Registry().EnumSubkeys(RegRoot::CurrentUser, ControlPanelPath(SavedKey()));
  if (names.size() > kMaxDisplays) names.resize(kMaxDisplays);
  return names;
}

std::string ReadActiveName() {
  // Any name a display can have fits, so a long name never falls back to
  // the sound settings display.
  std::string name;
  ReadText("Active", SettingsKey(), kDisplayNameSize, name);
  return name;
}

bool WriteActiveName(std::string_view name) { return WriteText("Active", SettingsKey(), name); }

}  // namespace lumox
