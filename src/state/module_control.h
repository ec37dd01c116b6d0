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

}  // namespace lumox
