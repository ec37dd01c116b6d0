// The calls the saver runtime makes into the other subsystems and the host.
//
// The window logic and the render thread reach the palette engine, the
// settings store, the sound link, the overlays and the host's process
// controls through this one record. An empty entry is a call that is not
// there: the runtime carries on without it (no palette thread means the
// palette counts as ready at once, no capture means the request is simply
// cleared, and so on). DefaultRuntimeServices() fills in the real
// subsystems; tests fill in recording fakes; a host copies the defaults and
// adds its own entries (process priority).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "saver/display_mode.h"

namespace lumox {

namespace gfx {
class Canvas;
class Screen;
}  // namespace gfx
struct ModuleDescriptor;
struct ModuleDefinition;
struct PaletteState;
struct SaverState;
class SoundShare;

struct RuntimeServices {
  // Modules: the control rows and entry points of module 0..11.
  const ModuleDefinition& (*moduleDefinition)(int index) = nullptr;

  // Controls.
  std::function<void(ModuleDescriptor&)> validateControls;

  // Sound link. attachSaverWindow opens the shared block and registers a
  // saver window in it (versions, counts); null when the block cannot be
  // opened. detachSaverWindow undoes the registration (counts, sound
  // flags) and, when `unmap` is set, closes the block.
  std::function<SoundShare*()> attachSaverWindow;
  std::function<void(SoundShare*, bool unmap)> detachSaverWindow;
  std::function<void(bool fromSaver, bool fullScreenWindow)> launchPlayer;

  // Palette.
  std::function<PaletteState*(gfx::Canvas*)> createPalette;
  std::function<void(PaletteState*)> releasePalette;
  std::function<void(PaletteState&, gfx::Screen&, SaverState&)> paletteThreadMain;
  std::function<void(PaletteState&)> paletteThreadBegin;
  std::function<void(PaletteState&)> paletteThreadStep;
  std::function<uint32_t(const PaletteState&)> paletteStepInterval;

  // Settings.
  std::function<void()> buildControlNames;
  std::function<void(SaverState&)> setUpSavedDisplays;
  std::function<void(SaverState&)> capture;
  std::function<void()> writeVersionStamp;
  // Imports a settings file as the named saved display; true on success.
  std::function<bool(const std::string& path, const std::string& displayName)> importSettingsFile;
  std::function<void(const std::string& displayName)> deleteDisplay;
  std::function<std::string()> readActiveName;
  std::function<void(const std::string& displayName)> writeActiveName;
  // The stored "DisplayMode", if there is one.
  std::function<bool(DisplayModeRecord&)> readDisplayMode;
  std::function<std::string()> readSlogan;

  // Overlays: set up once per run on the render context, drawn each frame.
  std::function<void(gfx::Canvas&, SaverState&, bool fullScreenWindow)> setUpOverlays;
  std::function<void(gfx::Canvas&, SaverState&)> drawOverlays;

  // Host: the process priority class (128 high, 32 normal, 64 idle), and
  // below-normal priority for the calling thread. The render thread lowers
  // its own priority once it has started the palette thread, so that where
  // a new thread inherits its creator's priority the palette thread keeps
  // the normal one.
  std::function<void(int32_t priorityClass)> setProcessPriority;
  std::function<void()> lowerRenderThreadPriority;
};

// The real subsystems.
const RuntimeServices& DefaultRuntimeServices();

}  // namespace lumox
