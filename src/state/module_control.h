// One adjustable control of a display module, and where its value comes
// from.
#pragma once

#include <cstdint>

namespace lumox {

// Where a control takes its value from; also the item index of every
// "Source" list.
enum ControlSource : int32_t {
  kSourceSet = 0,        // the stored value
  kSourceRandom = 1,     // drawn anew when the module starts
  kSourceOscillate = 2,  // sine oscillation through the range
  kSourceVolume = 3,     // mean of left and right
  kSourceLeft = 4,
  kSourceRight = 5,
  kSourceFirstBand = 6,  // bands 0..15: sources 6..21
  kSourceLastBand = 21,
};
constexpr int kSourceCount = 22;
constexpr int kBandCount = 16;

struct ModuleControl {
  int32_t Defined = 0;
  int32_t LabelId = 0;
  int32_t Source = kSourceSet;
  int32_t Value = 0;
  int32_t Default = 0;
  int32_t RangeLo = 0;
  int32_t RangeHi = 0;
  int32_t Minimum = 0;
  int32_t Maximum = 0;
  int32_t Sense = 10;
  float Smoothed = 0.5f;
  int32_t SoundCapable = 0;
};

constexpr int kControlsPerModule = 20;

// A control as its module defines it: Defined, its label, source "Set",
// value and default = `defaultValue`, range and limits = minimum..maximum,
// Sense 10, Smoothed 0.5, not sound-capable.
constexpr ModuleControl DefinedControl(int32_t labelId, int32_t defaultValue, int32_t minimum,
                                       int32_t maximum) {
  return {1, labelId, kSourceSet, defaultValue, defaultValue, minimum, maximum,
          minimum, maximum, 10, 0.5f, 0};
}

// The stored fields back to the definition: value = default, range =
// limits, source "Set", Sense 10. The evaluator state (Smoothed) lives as
// long as the definition and is left alone.
constexpr void RestoreDefinition(ModuleControl& control) {
  control.Value = control.Default;
  control.RangeLo = control.Minimum;
  control.RangeHi = control.Maximum;
  control.Source = kSourceSet;
  control.Sense = 10;
}

}  // namespace lumox
