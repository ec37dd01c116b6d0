// The player's automatic gain (the saver's "AutoGain" option, read from
// the block): levels are divided by a peak tracked over recent seconds, so
// quiet and loud music both move the picture.
//
// The tracked peak follows a louder level at once and falls slowly (by
// half in kHalfLife), so the gain rises gently through a quiet passage and
// drops at once when the music gets loud. The gain stays within
// kLowestGain..kHighestGain: near-silence (hiss, a fade's tail) is lifted
// at most kHighestGain times, not up to full scale.
#pragma once

#include "publisher.h"

namespace soundfeed {

class AutoGain {
 public:
  static constexpr float kTarget = 0.7f;  // where a recent peak lands
  static constexpr float kHalfLife = 4.0f;  // seconds
  static constexpr float kLowestGain = 0.5f;
  static constexpr float kHighestGain = 16.0f;

  // Scales `levels` (channels and bands alike, so their proportions stay)
  // after folding them into the tracked peak; `seconds` is the time since
  // the previous call.
  void Apply(StereoLevels& levels, float seconds);
  float gain() const;

 private:
  float peak_ = 0.0f;
};

}  // namespace soundfeed
