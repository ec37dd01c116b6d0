// The process-wide run state shared by the saver's window, its render
// thread, its palette thread and the configuration dialog.
#pragma once

#include <atomic>
#include <cstdint>

#include "base/relaxed.h"
#include "state/module.h"
#include "state/saver_options.h"

namespace lumox {

struct PaletteState;

constexpr int kDisplayNameSize = 260;
constexpr int kSloganSize = 80;  // at most 79 characters are shown

struct SaverState {
  ModuleTable table{};
  SaverOptions options;
  PaletteState* palette = nullptr;
  // The name of the saved display last loaded.
  char displayName[kDisplayNameSize] = {};
  // True while the configuration dialog is open: sound sources then stay
  // as the user chose them.
  bool configDialogOpen = false;
  // The "Slogan" text, read when the saver window is created.
  char slogan[kSloganSize] = {};
  // The palette as other threads may reach it (the window's hot keys): set
  // by the render thread once the palette exists, cleared before the
  // palette is released.
  std::atomic<PaletteState*> livePalette{nullptr};

  Relaxed<int32_t> runFlag = 0;
  Relaxed<uint32_t> frameCounter = 0;
  Relaxed<int32_t> paletteReady = 0;
  Relaxed<int32_t> autoStarted = 0;
  // Pause flags of the two drawing threads (hot keys F5-F7); each thread
  // honours its flag at its next step.
  Relaxed<int32_t> renderPaused = 0;
  Relaxed<int32_t> palettePaused = 0;
};

// The one record of this process.
SaverState& Saver();

}  // namespace lumox
