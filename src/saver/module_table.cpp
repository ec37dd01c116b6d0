#include "saver/module_table.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>

#include "modules/module_catalog.h"
#include "saver/runtime_services.h"
#include "state/saver_state.h"

namespace lumox {

namespace {

// The controls of each module that accept "Oscillate" and the sound
// sources; all others offer only "Set" and "Random".
const std::array<std::initializer_list<int>, kModuleCount> kSoundCapableControls = {{
    {1, 3, 4, 6, 7},                     // Bezier
    {1, 3, 4, 5, 10, 11},                // Cyclic
    {7, 10, 11},                         // Pattern
    {},                                  // Plasma
    {1, 2, 4, 5},                        // Polygon
    {0, 1, 4, 5},                        // Sphere
    {1, 10, 11},                         // Stain
    {1, 2, 3, 4, 5, 6, 10, 11, 13},      // Star
    {1, 2, 5, 6, 7, 10, 11},             // Vortex
    {},                                  // Effect
    {},                                  // Bitmap
    {},                                  // Random
}};

constexpr ModuleControl kWipedControl{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f, 0};

bool AnyModuleActive(const SaverState& saver) {
  return std::any_of(saver.options.Active.begin(), saver.options.Active.end(),
                     [](const Relaxed<int32_t>& active) { return active != 0; });
}

}  // namespace

void DefineControl(ModuleTable& table, int module, int32_t labelId, int control,
                   int32_t defaultValue, int32_t minimum, int32_t maximum) {
  if (module < 0 || module >= kModuleCount || control < 0 || control >= kControlsPerModule) {
    return;
  }
  ModuleDescriptor& record = table[module];
  record.text[0] = '\0';
  record.controls[control] = DefinedControl(labelId, defaultValue, minimum, maximum);
}

bool IsSoundCapable(int module, int control) {
  if (module < 0 || module >= kModuleCount) return false;
  const auto& list = kSoundCapableControls[module];
  return std::find(list.begin(), list.end(), control) != list.end();
}

void SetUpModuleTable(SaverState& saver, const RuntimeServices& services) {
  ModuleTable& table = saver.table;
  for (int i = 0; i < kModuleCount; ++i) {
    table[i].name = kModuleNames[i];
    table[i].palette = saver.palette;
    // Start every module from undefined controls, so a set-up that runs
    // again (after launching the sound player) leaves nothing behind.
    table[i].controls.fill(kWipedControl);
    table[i].text[0] = '\0';
  }

  if (services.moduleDefinition) {
    for (int i = 0; i < kModuleCount; ++i) {
      for (const ControlRow& row : services.moduleDefinition(i).controls) {
        DefineControl(table, i, row.labelId, row.index, row.defaultValue, row.minimum,
                      row.maximum);
      }
    }
  }

  if (services.setUpSavedDisplays) services.setUpSavedDisplays(saver);
  if (!AnyModuleActive(saver)) saver.options.Active[kRandom] = 1;

  for (int i = 0; i < kModuleCount; ++i) {
    for (int control : kSoundCapableControls[i]) table[i].controls[control].SoundCapable = 1;
  }

  for (int i = 0; i < kModuleCount; ++i) {
    ModuleDescriptor& record = table[i];
    if (services.moduleDefinition) {
      const ModuleDefinition& definition = services.moduleDefinition(i);
      record.Draw = definition.Draw;
      record.Init = definition.Init;
      record.Start = definition.Start;
      record.Stop = definition.Stop;
    }
    record.table = table.data();
  }

  if (services.validateControls) {
    for (ModuleDescriptor& record : table) services.validateControls(record);
  }
}

}  // namespace lumox
