// The settings window's live preview: the saver's own render loop and
// palette, run at preview size on the calling thread, on the settings being
// edited rather than on a saved display.
//
// The edits live in the configuration session's SaverState. A preview run
// works on the process's run state, Saver(), as a saver does, and takes the
// edited settings at its set-up where a saver would load the "Active"
// display: the modules' controls and texts, the run options and the
// palette's parameters, effects and custom colours. Sound sources oscillate,
// as in a saver that finds no sound player. Nothing is read from or written
// to the registry.
//
// Time is a manual clock installed for the life of the run: every Frame()
// moves it one 60 Hz refresh, so drawing never sleeps and a paused preview
// simply stops calling Frame().
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/clock.h"

namespace lumox {
struct SaverState;
struct RenderSession;
class HeadlessRun;
namespace gfx {
class Screen;
}
}  // namespace lumox

namespace lumox::qt {

// Copies what a saved display holds from the edited state into a run's
// state whose module table has just been defined (every control slot
// carries its definition): the defined controls' source, value, range and
// sense, the modules' texts, the options, the display name, and the palette
// settings when both states have a palette. Sound sources become
// "Oscillate".
void CopyEditedSettings(const SaverState& edited, SaverState& run);

class PreviewRun {
 public:
  PreviewRun(const SaverState& edited, int width, int height);
  ~PreviewRun();
  PreviewRun(const PreviewRun&) = delete;
  PreviewRun& operator=(const PreviewRun&) = delete;

  // Starts the run anew from the edited settings (ending a running one).
  void Restart();
  // One frame: the palette steps due, the modules' drawing, publication.
  void Frame();
  void Stop();
  bool running() const { return run_ != nullptr; }

  int width() const { return width_; }
  int height() const { return height_; }
  // The last published frame as palette indices, one byte per pixel, rows
  // `width()` apart, and the 256 colours as 0x00RRGGBB words.
  std::vector<uint8_t> Indices() const;
  std::array<uint32_t, 256> Colors() const;

 private:
  const SaverState& edited_;
  int width_;
  int height_;
  ManualClock clock_;
  std::shared_ptr<gfx::Screen> screen_;
  std::unique_ptr<RenderSession> session_;
  std::unique_ptr<HeadlessRun> run_;
};

}  // namespace lumox::qt
