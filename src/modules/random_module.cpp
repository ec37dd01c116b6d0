// Random: every "Duration" seconds, something else on the screen.
//
// The module draws nothing itself. At each change it stops the modules that
// run and either switches on a random choice among the modules the user had
// selected (mode 0), or loads a saved display picked at random from the
// registry (mode 1), or one that is driven by sound while the sound player
// runs (mode 2). It optionally blacks the screen and gives the new modules
// random controls, starts them, and then puts back the user's priority and
// overlay options and its own Active flag, so the next change comes round.
//
// The registry tells how many saved displays there are only by enumerating
// them. The module assumes 1000, draws an index below that, and learns the
// real count the first time the enumeration runs out before the index; the
// count only ever goes down during a process, so displays added later are
// out of reach until the next one.
#include "modules/random_module.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/random.h"
#include "control/controls.h"
#include "control/sound_link.h"
#include "control/sound_share.h"
#include "gfx/canvas.h"
#include "modules/module_catalog.h"
#include "modules/module_support.h"
#include "palette/palette_thread.h"
#include "platform/clock.h"
#include "state/saver_state.h"
#include "settings/registry_values.h"
#include "settings/saved_displays.h"

namespace lumox {
namespace {

enum RandomControl : int {
  kChoice = 0,
  kMaximumAtOnce = 1,
  kDuration = 2,
  kRandomizeControls = 3,
  kClearScreen = 4,
};

constexpr ControlRow kRandomControls[] = {
    {111, kChoice, 2, 0, 2},            // "Actv/Svd/Snd"
    {112, kMaximumAtOnce, 1, 1, 11},    // "Maximum at once"
    {113, kDuration, 16, 1, 1000},      // "Duration"
    {114, kRandomizeControls, 0, 0, 1}, // "Random Controls"
    {115, kClearScreen, 1, 0, 1},       // "Clear Screen"
    {116, kStrengthSlot, 1, -10, 10},  // "Strength"
};

enum Choice : int32_t {
  kSelectedModules = 0,  // among the modules the user had selected
  kSavedDisplay = 1,     // any saved display
  kSoundDisplay = 2,     // a saved display that uses sound, while the player runs
};

constexpr int kChoosableModules = kRandom;  // every module but this one
constexpr int kDrawLimit = 201;             // mode 0 gives up after more draws than this
constexpr int kAttempts = 60;               // saved displays tried per change
constexpr uint32_t kAssumedDisplayCount = 1000;

// What the user had chosen, as the first change of the process found it.
struct UserSelection {
  bool taken = false;
  std::array<int32_t, kModuleCount> active{};
  int32_t priority = 0;
  int32_t clearFirst = 0;
  int32_t showInfo = 0;
  int32_t showName = 0;
};

struct RandomModuleState {
  UserSelection selection;
  uint32_t displayCount = kAssumedDisplayCount;  // the learned number of saved displays
  uint32_t nextChange = 0;                       // tick count
  // The controls as read at the last change.
  int32_t choice = kSoundDisplay;
  int32_t maximumAtOnce = 1;
  uint32_t durationMs = 16000;
  bool randomizeControls = false;
  bool clearScreen = true;
};

// Only the render thread runs the module, and the state outlives its runs.
RandomModuleState state;

void ChangeDisplay(ModuleDescriptor& self);

int32_t Start(ModuleDescriptor& module) noexcept {
  ChangeDisplay(module);
  return 0;
}

int32_t Draw(ModuleDescriptor& module) noexcept {
  // The difference, not the plain values, so the change still comes on
  // time when the tick count wraps round between two changes.
  if (TickDelta(TickCount(), state.nextChange) > 0) ChangeDisplay(module);
  return 0;
}

void Call(ModuleEntryPoint entryPoint, ModuleDescriptor& module) {
  if (entryPoint != nullptr) entryPoint(module);
}

void ReadControls(const ModuleDescriptor& self) {
  state.choice = ControlValue(self, kRandomControls, kChoice);
  state.maximumAtOnce = ControlValue(self, kRandomControls, kMaximumAtOnce);
  state.durationMs = 1000u * static_cast<uint32_t>(ControlValue(self, kRandomControls, kDuration));
  state.randomizeControls = ControlValue(self, kRandomControls, kRandomizeControls) != 0;
  state.clearScreen = ControlValue(self, kRandomControls, kClearScreen) != 0;
}

void TakeUserSelection(const SaverOptions& options) {
  UserSelection& selection = state.selection;
  if (selection.taken) return;
  for (int i = 0; i < kModuleCount; ++i) selection.active[i] = options.Active[i];
  selection.priority = options.Priority;
  selection.clearFirst = options.ClearFirst;
  selection.showInfo = options.ShowInfo;
  selection.showName = options.ShowName;
  selection.taken = true;
}

void StopActiveModules(SaverOptions& options, ModuleDescriptor* table) {
  for (int i = 0; i < kModuleCount; ++i) {
    if (!options.Active[i]) continue;
    Call(table[i].Stop, table[i]);
    options.Active[i] = 0;
  }
}

// Mode 0: "Maximum at once" successful draws among the selected modules; a
// module drawn twice counts twice. When the draws run out, one module of
// all the others.
void ChooseModules(SaverOptions& options) {
  int successes = 0;
  for (int draws = 1; successes < state.maximumAtOnce; ++draws) {
    const int m = Rand() % kChoosableModules;
    if (state.selection.active[m]) {
      options.Active[m] = 1;
      ++successes;
    }
    if (successes < state.maximumAtOnce && draws > kDrawLimit) {
      options.Active[Rand() % kChoosableModules] = 1;
      break;
    }
  }
}

// A saved display at a random enumeration index below the learned count;
// empty when there is none, or when its name does not fit a display name.
std::string PickSavedDisplay() {
  uint32_t k = static_cast<uint32_t>(Rand()) % state.displayCount;
  const std::vector<std::string> names = ListSavedDisplays();
  if (names.empty()) return {};
  if (k >= names.size()) {
    state.displayCount = static_cast<uint32_t>(names.size());
    k = static_cast<uint32_t>(Rand()) % state.displayCount;
  }
  if (!IsValidDisplayName(names[k])) return {};
  return names[k];
}

// A loaded display is heard when it uses sound or when no player runs to
// drive it (the load has set the uses-sound flags).
bool LoadedDisplayFitsSoundChoice() {
  const SoundShare& share = *CurrentSoundShare();
  return share.U32(share_offset::PaletteUsesSound) != 0 ||
         share.U32(share_offset::SaverUsesSound) != 0 ||
         share.U32(share_offset::PlayerActive) == 0;
}

// Modes 1 and 2. A display that contains this module or cannot be loaded
// (none of its module keys names a module) is passed over. When no attempt
// succeeds, the modules of the last display loaded stay active (none, if
// nothing loaded).
void ChooseSavedDisplay(SaverState& saver) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const std::string name = PickSavedDisplay();
    if (name.empty() || ContainsRandom(name.c_str())) continue;
    if (!LoadDisplay(saver, name.c_str())) continue;
    if (state.choice == kSavedDisplay || LoadedDisplayFitsSoundChoice()) return;
  }
}

// Every control gets the "Random" source and a random value in its range.
void GiveRandomControls(ModuleDescriptor& module) {
  for (ModuleControl& control : module.controls) {
    control.Source = kSourceRandom;
    const int64_t low = std::min(control.RangeLo, control.RangeHi);
    const int64_t span = std::abs(int64_t{control.RangeHi} - control.RangeLo) + 1;
    control.Value = static_cast<int32_t>(low + Rand() % span);
  }
}

void StartActiveModules(const SaverOptions& options, ModuleDescriptor* table) {
  for (int i = 0; i < kModuleCount; ++i) {
    if (!options.Active[i]) continue;
    ModuleDescriptor& module = table[i];
    if (state.randomizeControls) GiveRandomControls(module);
    ValidateControls(module);
    Call(module.Init, module);
    Call(module.Start, module);
  }
}

void RestoreUserOptions(SaverOptions& options) {
  const UserSelection& selection = state.selection;
  options.Priority = selection.priority;
  options.ClearFirst = selection.clearFirst;
  options.ShowInfo = selection.showInfo;
  options.ShowName = selection.showName;
}

void ChangeDisplay(ModuleDescriptor& self) {
  ModuleDescriptor* table = self.table;
  if (table == nullptr) return;
  SaverState& saver = Saver();
  SaverOptions& options = saver.options;

  ReadControls(self);
  TakeUserSelection(options);
  StopActiveModules(options, table);

  if (state.choice == kSelectedModules) {
    ChooseModules(options);
  } else {
    ChooseSavedDisplay(saver);
  }

  if (state.clearScreen && self.dc != nullptr) {
    self.dc->PatBlt(0, 0, self.width, self.height, gfx::RasterOp::Blackness);
  }
  StartActiveModules(options, table);
  // The loaded palette settings take effect with the next effects.
  if (state.choice != kSelectedModules && self.palette != nullptr) ForceNewEffects(*self.palette);

  RestoreUserOptions(options);
  options.Active[kRandom] = 1;
  state.nextChange = TickCount() + state.durationMs;
}

}  // namespace

void ForgetRandomModuleState() { state = RandomModuleState{}; }

const ModuleDefinition kRandomModule{kRandomControls, Draw, NoOpEntryPoint, Start, NoOpEntryPoint};

}  // namespace lumox
