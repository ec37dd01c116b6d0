#include "auto_gain.h"

#include <algorithm>
#include <cmath>

namespace soundfeed {

float AutoGain::gain() const {
  if (!(peak_ > 0.0f)) return kHighestGain;
  return std::clamp(kTarget / peak_, kLowestGain, kHighestGain);
}

void AutoGain::Apply(StereoLevels& levels, float seconds) {
  peak_ *= std::exp2(-std::max(seconds, 0.0f) / kHalfLife);
  peak_ = std::max({peak_, levels.left, levels.right});
  ScaleLevels(levels, gain());
}

}  // namespace soundfeed
