// The Palette page: the ten colour parameters and the colour effect of
// each channel.
//
// One channel (red, green or blue) is shown at a time. Most changes can be
// made to all three channels at once (the view passes `allChannels` while
// CTRL is held down); typed numbers always go to the shown channel only.
// Each parameter row shows either its fixed value ("Set") or, for any
// other source, its range and sense. Every change goes straight into the
// palette settings and marks the settings as changed.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>

#include "gfx/color.h"
#include "settings/registry_values.h"
#include "state/palette_state.h"

namespace lumox {

// The row labels, top to bottom, in parameter order.
extern const std::array<const char*, kPaletteParameters> kPaletteRowLabels;

constexpr int32_t kMinimumSense = 1;
constexpr int32_t kMaximumSense = 10;

// What one row shows for the selected channel.
struct PaletteRowView {
  bool showValue = true;  // "Set": value trackbar and box; else range and sense
  int32_t minimum = 0;
  int32_t maximum = 0;
  int32_t tickFrequency = 1;  // of all three trackbars
  int32_t value = 0;
  int32_t rangeLo = 0;
  int32_t rangeHi = 0;
  int32_t sense = 0;
  int32_t source = 0;
  int sourceCount = 2;  // the first entries of the source list offered
};

class PalettePage {
 public:
  PalettePage(PaletteSettings& settings, std::function<void()> markModified);

  int SelectedChannel() const { return channel_; }
  void SelectChannel(int channel);

  PaletteRowView Row(int parameter) const;
  // The effect of the selected channel (its radio button).
  int32_t Effect() const;
  // The text colour of the page's boxes: the selected channel's hue at
  // half strength.
  gfx::Rgb TextColor() const;

  void ChooseEffect(int32_t effect, bool allChannels);
  // A source outside the row's list is ignored.
  void ChooseSource(int parameter, int32_t source, bool allChannels);
  // The row's three trackbar positions, after one of them moved.
  void MoveTrackbars(int parameter, int32_t value, int32_t rangeLo, int32_t rangeHi,
                     bool allChannels);
  // A box lost the focus with `typed` in it: the number, limited to the
  // row's limits, is stored and returned for the box to show. Text that is
  // not a number changes nothing and returns the stored number. Only the
  // Value, RangeLo and RangeHi fields have boxes (any other returns 0).
  int32_t EnterNumber(int parameter, PaletteField field, std::string_view typed);
  // The sense arrows moved by `delta`; returns the new sense (1..10).
  int32_t StepSense(int parameter, int32_t delta, bool allChannels);

 private:
  // The selected channel, or all three.
  template <typename Action>
  void ForChannels(bool allChannels, Action action);
  void Changed();

  PaletteSettings& settings_;
  std::function<void()> markModified_;
  int channel_ = kRed;
};

// The 256 colours of the screen the preview shows: the twenty static
// colours at their places (0-9, 246-255) and the palette's 236 animated
// entries between them.
std::array<gfx::Rgb, gfx::kPaletteSize> PreviewColors(const PaletteState& palette);

}  // namespace lumox
