#include "control/controls.h"
#include "control/sound_link.h"
#include "modules/module_catalog.h"
#include "overlay/overlays.h"
#include "palette/palette.h"
#include "palette/palette_thread.h"
#include "saver/module_table.h"
#include "saver/runtime_services.h"
#include "state/saver_state.h"
#include "settings/registry_values.h"
#include "settings/saved_displays.h"
#include "settings/settings_file.h"

namespace lumox {

namespace {

bool ReadDisplayMode(DisplayModeRecord& mode) {
  size_t readSize = 0;
  return ReadRegistryValue("DisplayMode", SettingsKey(), kRegBinary, mode.bytes.data(),
                           mode.bytes.size(), &readSize) != 0 &&
         readSize == mode.bytes.size();
}

std::string ReadSlogan() {
  std::string slogan;
  ReadText("Slogan", SettingsKey(), kSloganSize, slogan);
  return slogan;
}

RuntimeServices MakeDefaultServices() {
  RuntimeServices services;
  services.moduleDefinition = &GetModuleDefinition;

  services.validateControls = &ValidateControls;
  services.attachSaverWindow = &AttachSaverWindow;
  services.detachSaverWindow = [](SoundShare* share, bool unmap) {
    DetachSaverWindow(share, unmap);
  };
  services.launchPlayer = [](bool fromSaver, bool fullScreenWindow) {
    LaunchPlayer(fromSaver, fullScreenWindow);
  };

  services.createPalette = &CreatePaletteState;
  services.releasePalette = &ReleasePaletteState;
  services.paletteThreadMain = &PaletteThreadMain;
  services.paletteThreadBegin = &PaletteThreadBegin;
  services.paletteThreadStep = &PaletteThreadStep;
  services.paletteStepInterval = &PaletteStepInterval;

  // The per-control value names are fixed tables in the settings store;
  // there is nothing to build at start.
  services.setUpSavedDisplays = &SetUpSavedDisplays;
  services.capture = &Capture;
  services.writeVersionStamp = &WriteVersionStamp;
  services.importSettingsFile = [](const std::string& path, const std::string& displayName) {
    return ImportSettingsFile(displayName.c_str(), path).ok();
  };
  services.deleteDisplay = [](const std::string& displayName) {
    DeleteDisplay(displayName.c_str());
  };
  services.readActiveName = &ReadActiveName;
  services.writeActiveName = [](const std::string& displayName) { WriteActiveName(displayName); };
  services.readDisplayMode = &ReadDisplayMode;
  services.readSlogan = &ReadSlogan;

  services.setUpOverlays = [](gfx::Canvas& dc, SaverState& saver, bool fullScreenWindow) {
    SetUpOverlays(dc, saver, fullScreenWindow);
  };
  services.drawOverlays = &DrawOverlays;
  return services;
}

}  // namespace

const RuntimeServices& DefaultRuntimeServices() {
  static const RuntimeServices services = MakeDefaultServices();
  return services;
}

void SetUpModuleTable(SaverState& saver) { SetUpModuleTable(saver, DefaultRuntimeServices()); }

}  // namespace lumox
