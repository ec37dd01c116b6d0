#include "settings_commands.h"

#include <cstdio>
#include <sstream>

#include "control/controls.h"
#include "modules/module_catalog.h"
#include "state/palette_state.h"
#include "platform/name_order.h"
#include "resources/strings.h"
#include "state/module.h"
#include "settings/registry_values.h"
#include "settings/saved_displays.h"
#include "settings/settings_file.h"

namespace lumox {

namespace {

CommandResult Ok(std::string output) { return CommandResult{kCommandOk, std::move(output), ""}; }

CommandResult Failed(std::string error) {
  return CommandResult{kCommandFailed, "", std::move(error) + "\n"};
}

bool DisplayExists(const std::string& name) {
  return IsValidDisplayName(name) && RegistryKeyExists(ControlPanelPath(DisplayKey(name)));
}

std::string SourceText(int32_t source) {
  if (source >= 0 && source < kSourceCount) return ControlSourceName(source);
  return "source " + std::to_string(source);
}

std::string EffectText(int32_t effect) {
  static constexpr const char* kEffects[] = {"Ramp",     "Fade",   "Smooth", "Coarse",
                                             "Blackout", "Random", "Custom"};
  if (effect >= 0 && effect < static_cast<int32_t>(std::size(kEffects))) return kEffects[effect];
  return "effect " + std::to_string(effect);
}

// A record holding the module's control definitions, as the table set-up
// makes them, for reading a display's stored values into.
ModuleDescriptor DefinedModule(int index) {
  ModuleDescriptor module;
  module.name = kModuleNames[index];
  for (const ControlRow& row : GetModuleDefinition(index).controls) {
    if (row.index < 0 || row.index >= kControlsPerModule) continue;
    module.controls[row.index] =
        DefinedControl(row.labelId, row.defaultValue, row.minimum, row.maximum);
  }
  return module;
}

void ShowModule(std::ostringstream& out, const ModuleDescriptor& module) {
  out << "  " << module.name << "\n";
  if (module.text[0] != '\0') out << "    Path: " << module.text << "\n";
  for (int n = 0; n < kControlsPerModule; ++n) {
    const ModuleControl& control = module.controls[n];
    if (!control.Defined) continue;
    std::string label = LoadResourceString(control.LabelId);
    if (label.empty()) label = "Control " + std::to_string(n);
    out << "    " << label << ": " << control.Value << " (" << SourceText(control.Source);
    if (control.Source != kSourceSet) {
      out << ", range " << control.RangeLo << " to " << control.RangeHi << ", sense "
          << control.Sense;
    }
    out << ")\n";
  }
}

void ShowOptions(std::ostringstream& out, const std::string& name) {
  static constexpr const char* kOptions[] = {"Priority", "ClearFirst", "SlowCPU", "ShowInfo",
                                             "ShowName", "AutoRun",    "AutoGain"};
  const std::string key = DisplayKey(name);
  out << "Options:";
  for (const char* option : kOptions) {
    int32_t value = 0;
    out << " " << option << " ";
    if (ReadInt32(option, key, value)) {
      out << value;
    } else {
      out << "(not stored)";
    }
  }
  out << "\n";
}

void ShowPaletteEffects(std::ostringstream& out, const std::string& name) {
  static constexpr const char* kChannelNames[kChannels] = {"red", "green", "blue"};
  const std::string key = PaletteKey(name);
  if (!RegistryKeyExists(ControlPanelPath(key))) {
    out << "Palette: default settings (not stored)\n";
    return;
  }
  // An older display may keep one effect for all channels under "AllEffect".
  int32_t allEffect = 0;
  const bool hasAllEffect = ReadInt32("AllEffect", key, allEffect);
  out << "Palette effects:";
  for (int channel = 0; channel < kChannels; ++channel) {
    int32_t effect = allEffect;
    const bool stored = ReadInt32(ChannelEffectValueName(channel), key, effect) || hasAllEffect;
    out << " " << kChannelNames[channel] << " "
        << (stored ? EffectText(effect) : std::string("(not stored)"));
  }
  out << "\n";
}

}  // namespace

CommandResult ListDisplaysCommand() {
  const std::string active = ReadActiveName();
  std::string output;
  for (const std::string& name : ListSavedDisplays()) {
    output += (NamesEqual(name, active) ? "* " : "  ") + name + "\n";
  }
  return Ok(output);
}

CommandResult ExportDisplayCommand(const std::string& name, const std::string& filePath) {
  const SettingsFileResult result = ExportDisplay(name.c_str(), filePath);
  if (!result.ok()) return Failed(result.message);
  return Ok("Exported \"" + name + "\" to " + filePath + " (" + std::to_string(result.records) +
            " settings).\n");
}

CommandResult ImportFileCommand(const std::string& filePath, const std::string& asName,
                                bool assumeYes) {
  const std::string name = asName.empty() ? DisplayNameFromPath(filePath) : asName;
  if (!IsValidDisplayName(name)) return Failed(DisplayNameProblem(name));
  if (!assumeYes && !ConfirmOverwrite(name)) {
    return Failed("\"" + name + "\" was left as it was.");
  }
  const SettingsFileResult result = ImportSettingsFile(name.c_str(), filePath);
  if (!result.ok()) return Failed(result.message);
  CommandResult command = Ok(result.message + "\n");
  // A partial import still counts as done, but the user hears about it.
  if (result.status != SettingsFileStatus::kOk) command.error = result.message + "\n";
  return command;
}

CommandResult ActivateDisplayCommand(const std::string& name) {
  if (!DisplayExists(name)) return Failed("There is no saved display named \"" + name + "\".");
  if (!WriteActiveName(name)) return Failed("Cannot write the \"Active\" setting.");
  return Ok("\"" + name + "\" is now the active display.\n");
}

CommandResult DeleteDisplayCommand(const std::string& name) {
  if (!DisplayExists(name)) return Failed("There is no saved display named \"" + name + "\".");
  DeleteDisplay(name.c_str());
  std::string output = "Deleted \"" + name + "\".\n";
  if (NamesEqual(ReadActiveName(), name)) {
    output += "It was the active display; the saver will run \"" +
              std::string(kSoundSettingsDisplay) + "\" instead.\n";
  }
  return Ok(output);
}

CommandResult ShowDisplayCommand(const std::string& name) {
  if (!DisplayExists(name)) return Failed("There is no saved display named \"" + name + "\".");
  std::ostringstream out;
  out << "Display \"" << name << "\""
      << (NamesEqual(ReadActiveName(), name) ? " (active)" : "") << "\n";
  out << "Modules:\n";
  int modules = 0;
  for (int i = 0; i < kModuleCount; ++i) {
    ModuleDescriptor module = DefinedModule(i);
    if (!LoadModuleSettings(module, name.c_str())) continue;
    ShowModule(out, module);
    ++modules;
  }
  if (modules == 0) out << "  (none: the saver runs the Random module)\n";
  ShowOptions(out, name);
  ShowPaletteEffects(out, name);
  return Ok(out.str());
}

}  // namespace lumox
