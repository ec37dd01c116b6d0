#include "preview_run.h"

#include <cstring>

#include "gfx/screen.h"
#include "saver/render_session.h"
#include "saver/render_thread.h"
#include "saver/runtime_services.h"
#include "state/palette_state.h"
#include "state/saver_state.h"

namespace lumox::qt {
namespace {

int32_t WithoutSound(int32_t source) {
  return source > kSourceOscillate ? kSourceOscillate : source;
}

void CopyPalette(const PaletteState& from, PaletteState& to) {
  for (int parameter = 0; parameter < kPaletteParameters; ++parameter) {
    for (int channel = 0; channel < kChannels; ++channel) {
      const PaletteValue& source = from.settings.values[parameter][channel];
      PaletteValue& target = to.settings.values[parameter][channel];
      target.Source = WithoutSound(source.Source);
      target.Value = source.Value;
      target.RangeLo = source.RangeLo;
      target.RangeHi = source.RangeHi;
      target.Sense = source.Sense;
    }
  }
  for (int channel = 0; channel < kChannels; ++channel) {
    to.settings.Effect[channel] = from.settings.Effect[channel].load();
  }
  for (int entry = 0; entry < kPaletteEntries; ++entry) {
    to.custom[entry].Set(from.custom[entry].Color());
  }
}

}  // namespace

void CopyEditedSettings(const SaverState& edited, SaverState& run) {
  for (int module = 0; module < kModuleCount; ++module) {
    const ModuleDescriptor& from = edited.table[module];
    ModuleDescriptor& to = run.table[module];
    for (int slot = 0; slot < kControlsPerModule; ++slot) {
      ModuleControl& control = to.controls[slot];
      if (!control.Defined) continue;
      const ModuleControl& source = from.controls[slot];
      control.Source = WithoutSound(source.Source);
      control.Value = source.Value;
      control.RangeLo = source.RangeLo;
      control.RangeHi = source.RangeHi;
      control.Sense = source.Sense;
    }
    std::memcpy(to.text, from.text, sizeof to.text);
    to.text[sizeof to.text - 1] = '\0';
  }
  run.options = edited.options;
  std::memcpy(run.displayName, edited.displayName, sizeof run.displayName);
  run.displayName[sizeof run.displayName - 1] = '\0';
  if (edited.palette != nullptr && run.palette != nullptr) CopyPalette(*edited.palette, *run.palette);
}

PreviewRun::PreviewRun(const SaverState& edited, int width, int height)
    : edited_(edited), width_(width), height_(height) {}

PreviewRun::~PreviewRun() { Stop(); }

void PreviewRun::Restart() {
  Stop();
  InstallClock(&clock_);
  RuntimeServices services = DefaultRuntimeServices();
  // A preview is no saver: no sound player, no priority, no overlays, no
  // captures, and the settings come from the pages, not the registry.
  services.launchPlayer = nullptr;
  services.setProcessPriority = nullptr;
  services.lowerRenderThreadPriority = nullptr;
  services.setUpOverlays = nullptr;
  services.drawOverlays = nullptr;
  services.capture = nullptr;
  services.setUpSavedDisplays = [this](SaverState& run) { CopyEditedSettings(edited_, run); };
  screen_ = std::make_shared<gfx::Screen>(width_, height_);
  session_ = std::make_unique<RenderSession>(Saver(), screen_, nullptr, services,
                                             /*fullScreenWindow=*/false);
  run_ = std::make_unique<HeadlessRun>(*session_, clock_);
  run_->Begin();
}

void PreviewRun::Frame() {
  if (run_) run_->Frame();
}

void PreviewRun::Stop() {
  if (!run_) return;
  run_->End();
  run_.reset();
  session_.reset();
  InstallClock(nullptr);
}

std::vector<uint8_t> PreviewRun::Indices() const {
  if (!screen_) return std::vector<uint8_t>(static_cast<size_t>(width_) * height_, 0);
  gfx::Surface frame = screen_->PublishedFrame();
  return std::vector<uint8_t>(frame.data(), frame.data() + static_cast<size_t>(width_) * height_);
}

std::array<uint32_t, 256> PreviewRun::Colors() const {
  if (!screen_) return {};
  return screen_->PaletteWords();
}

}  // namespace lumox::qt
