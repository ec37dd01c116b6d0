// A private shared block made current for the length of one test, with the
// level trackers back at their initial values.
#pragma once

#include <gtest/gtest.h>

#include "control/controls.h"
#include "control/sound_link.h"
#include "control/sound_share.h"

namespace lumox {

class BlockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCurrentSoundShare(&share);
    ResetLevelTrackers();
  }
  void TearDown() override { SetCurrentSoundShare(nullptr); }

  void SetLevels(float left, float right) {
    share.SetF32(share_offset::LeftLevel, left);
    share.SetF32(share_offset::RightLevel, right);
  }
  // Full scale 1 for channels and bands, AutoGain off.
  void SetUnitScales() {
    share.SetF32(share_offset::LevelFullScale, 1.0f);
    share.SetF32(share_offset::BandFullScale, 1.0f);
  }

  SoundShareBytes bytes;
  SoundShare share{bytes.bytes};
};

}  // namespace lumox
