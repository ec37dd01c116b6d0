#include "config/palette_page.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "state/module_control.h"

namespace lumox {

const std::array<const char*, kPaletteParameters> kPaletteRowLabels = {
    "Brightness", "Color Frequency", "Fade Frequency", "Ramp Frequency", "Duration",
    "Cycle Rate", "Event Rate",      "Direction",      "Morph Rate",     "Intensity"};

namespace {

constexpr int kFixedSources = 2;  // "Set" and "Random"

int SourceCount(const PaletteParameterLimits& limits) {
  return limits.SoundCapable == 1 ? kSourceCount : kFixedSources;
}

// The field behind a row's value, range-low or range-high box.
Relaxed<int32_t>* BoxField(PaletteValue& slot, PaletteField field) {
  switch (field) {
    case PaletteField::Value:
      return &slot.Value;
    case PaletteField::RangeLo:
      return &slot.RangeLo;
    case PaletteField::RangeHi:
      return &slot.RangeHi;
    case PaletteField::Sense:
    case PaletteField::Source:
      break;
  }
  return nullptr;
}

// A typed number: optional blanks, an optional sign and digits; anything
// after them is ignored, as an edit box's number is read. A number too
// long for 32 bits saturates, so it is limited like any other.
std::optional<int64_t> ParseTypedNumber(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  const bool negative = !text.empty() && text.front() == '-';
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
  if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
  int64_t number = 0;
  for (char digit : text) {
    if (digit < '0' || digit > '9') break;
    number = std::min<int64_t>(number * 10 + (digit - '0'), INT64_C(1) << 40);
  }
  return negative ? -number : number;
}

}  // namespace

PalettePage::PalettePage(PaletteSettings& settings, std::function<void()> markModified)
    : settings_(settings), markModified_(std::move(markModified)) {}

void PalettePage::SelectChannel(int channel) {
  if (channel >= kRed && channel <= kBlue) channel_ = channel;
}

PaletteRowView PalettePage::Row(int parameter) const {
  const PaletteParameterLimits& limits = settings_.limits[parameter];
  const PaletteValue& slot = settings_.values[parameter][channel_];
  PaletteRowView row;
  row.source = slot.Source;
  row.showValue = row.source == kSourceSet;
  row.minimum = limits.Minimum;
  row.maximum = limits.Maximum;
  row.tickFrequency = (row.maximum - row.minimum) / 24 + 1;
  row.value = slot.Value;
  row.rangeLo = slot.RangeLo;
  row.rangeHi = slot.RangeHi;
  row.sense = slot.Sense;
  row.sourceCount = SourceCount(limits);
  return row;
}

int32_t PalettePage::Effect() const {
  return settings_.Effect[channel_];
}

gfx::Rgb PalettePage::TextColor() const {
  gfx::Rgb color;
  (channel_ == kRed ? color.red : channel_ == kGreen ? color.green : color.blue) = 128;
  return color;
}

template <typename Action>
void PalettePage::ForChannels(bool allChannels, Action action) {
  for (int channel = kRed; channel <= kBlue; ++channel) {
    if (allChannels || channel == channel_) action(channel);
  }
}

void PalettePage::Changed() {
  if (markModified_) markModified_();
}

void PalettePage::ChooseEffect(int32_t effect, bool allChannels) {
  if (effect < kEffectRamp || effect > kEffectCustom) return;
  ForChannels(allChannels, [&](int channel) { settings_.Effect[channel] = effect; });
  Changed();
}

void PalettePage::ChooseSource(int parameter, int32_t source, bool allChannels) {
  if (source < 0 || source >= SourceCount(settings_.limits[parameter])) return;
  ForChannels(allChannels,
              [&](int channel) { settings_.values[parameter][channel].Source = source; });
  Changed();
}

void PalettePage::MoveTrackbars(int parameter, int32_t value, int32_t rangeLo, int32_t rangeHi,
                                bool allChannels) {
  const PaletteParameterLimits& limits = settings_.limits[parameter];
  auto limit = [&](int32_t n) { return std::clamp<int32_t>(n, limits.Minimum, limits.Maximum); };
  ForChannels(allChannels, [&](int channel) {
    PaletteValue& slot = settings_.values[parameter][channel];
    slot.Value = limit(value);
    slot.RangeLo = limit(rangeLo);
    slot.RangeHi = limit(rangeHi);
  });
  Changed();
}

int32_t PalettePage::EnterNumber(int parameter, PaletteField field, std::string_view typed) {
  Relaxed<int32_t>* box = BoxField(settings_.values[parameter][channel_], field);
  if (box == nullptr) return 0;
  Relaxed<int32_t>& stored = *box;
  const std::optional<int64_t> number = ParseTypedNumber(typed);
  if (!number) return stored;
  const PaletteParameterLimits& limits = settings_.limits[parameter];
  const auto limited = static_cast<int32_t>(
      std::clamp<int64_t>(*number, limits.Minimum.load(), limits.Maximum.load()));
  if (limited != stored) {
    stored = limited;
    Changed();
  }
  return limited;
}

int32_t PalettePage::StepSense(int parameter, int32_t delta, bool allChannels) {
  const int32_t current = settings_.values[parameter][channel_].Sense;
  const auto sense = static_cast<int32_t>(
      std::clamp<int64_t>(int64_t{current} + delta, kMinimumSense, kMaximumSense));
  ForChannels(allChannels,
              [&](int channel) { settings_.values[parameter][channel].Sense = sense; });
  Changed();
  return sense;
}

std::array<gfx::Rgb, gfx::kPaletteSize> PreviewColors(const PaletteState& palette) {
  std::array<gfx::Rgb, gfx::kPaletteSize> colors;
  for (int physical = 0; physical < gfx::kPaletteSize; ++physical) {
    colors[physical] = gfx::IsStaticEntry(physical)
                           ? gfx::StaticColor(physical)
                           : palette.entries[physical - gfx::kFirstSaverEntry].Color();
  }
  return colors;
}

}  // namespace lumox
