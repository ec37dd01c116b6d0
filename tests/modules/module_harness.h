// A display module on a small canvas, with the process-wide services a
// module touches replaced for the test: a manual clock, recording system
// services, a private sound block, a fixed random seed.
#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "base/random.h"
#include "control/sound_link.h"
#include "control/sound_share.h"
#include "gfx/canvas.h"
#include "gfx/surface.h"
#include "modules/module_catalog.h"
#include "platform/clock.h"
#include "platform/recording_system.h"
#include "state/module.h"
#include "state/saver_state.h"

namespace lumox::testing {

// A physical index no module draws with (modules draw black, white and the
// saver's entries 10-245): marks the pixels nothing has touched.
constexpr uint8_t kUntouched = 3;

// The physical index that saver palette entry `paletteIndex` draws with.
constexpr uint8_t PhysicalOf(int paletteIndex) {
  return static_cast<uint8_t>(gfx::kFirstSaverEntry + paletteIndex);
}

// The physical indices on the surface other than black.
std::set<uint8_t> ColoursOn(const gfx::Surface& surface);

// Gives table[index] the catalog's controls, at their defaults, and entry points.
void InstallModule(ModuleTable& table, int index);

class ModuleHarness {
 public:
  ModuleHarness(int moduleIndex, int width, int height, uint32_t seed = 12345);
  ~ModuleHarness();
  ModuleHarness(const ModuleHarness&) = delete;
  ModuleHarness& operator=(const ModuleHarness&) = delete;

  ModuleDescriptor& module() { return table_[index_]; }
  ModuleControl& control(int slot) { return module().controls[slot]; }
  gfx::Surface& surface() { return surface_; }
  gfx::Canvas& canvas() { return canvas_; }
  ManualClock& clock() { return clock_; }
  RecordingSystemServices& system() { return system_; }
  SoundShare& sound() { return sound_; }

  // Every defined control at its minimum, default or maximum.
  enum class Preset { Minimum, Default, Maximum };
  void SetAll(Preset preset);
  // Sets one control's value (no validation: the module must cope).
  void Set(int slot, int32_t value) { control(slot).Value = value; }
  // The slot of the control with this label, or -1.
  int SlotLabelled(const std::string& label) const;

  // Clips the canvas to the inner rectangle, `margin` pixels from each edge.
  void ClipInside(int margin);
  // Whether any pixel outside the inner rectangle was touched.
  bool TouchedOutside(int margin) const;
  // Whether no pixel at all was touched.
  bool Untouched() const;

  int32_t Init() { return module().Init(module()); }
  int32_t Start() { return module().Start(module()); }
  int32_t Draw() { return module().Draw(module()); }
  int32_t Stop() { return module().Stop(module()); }
  // Init and Start, then `frames` Draws `frameMs` apart.
  void Run(int frames, uint32_t frameMs = 16);
  void DrawFrames(int frames, uint32_t frameMs = 16);

  // Init, Start and Draw until the first picture is finished (Draw yields
  // while it is held); the Draws it took, 0 if it never finished.
  int FinishPicture(int maxFrames = 400);

  // FNV-1a over the surface's physical indices.
  uint64_t Hash() const;
  // Fails unless the surface's hash is `expected`; on a mismatch writes the
  // surface as golden_`name`.pgm into the build directory and names it, so
  // that the picture can be looked at.
  void ExpectHash(uint64_t expected, const std::string& name) const;

 private:
  int index_;
  ModuleTable table_{};
  gfx::Surface surface_;
  gfx::Canvas canvas_;
  ManualClock clock_{1000};
  RecordingSystemServices system_;
  SoundShareBytes soundBytes_;
  SoundShare sound_{soundBytes_.bytes};
  int32_t savedRunFlag_;
};

}  // namespace lumox::testing
