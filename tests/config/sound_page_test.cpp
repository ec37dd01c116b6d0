#include "config/sound_page.h"

#include <gtest/gtest.h>

#include "control/sound_share.h"
#include "platform/memory_registry.h"

namespace lumox {
namespace {

class SoundPageTest : public ::testing::Test {
 protected:
  SoundPageTest() { InstallRegistry(&registry_); }
  ~SoundPageTest() override { InstallRegistry(nullptr); }
  void InstallPlayer(uint32_t version) {
    registry_.CreateKey(RegRoot::CurrentUser, "Software\\Auralis");
    registry_.WriteValue(RegRoot::CurrentUser, "Software\\Auralis", "Current Version", kRegBinary,
                         &version, 4);  // little-endian hosts only, as the block
  }

  MemoryRegistry registry_;
  SoundShareBytes block_;
  SoundShare share_{block_.bytes};
  SaverOptions options_;
  int modified_ = 0;
  SoundPage page_{options_, share_, [this] { ++modified_; }};
};

TEST_F(SoundPageTest, StatusFollowsTheInstalledVersionAndTheRunningPlayer) {
  share_.SetU32(share_offset::PlayerActive, 1);
  EXPECT_EQ(page_.Status(),
            "Auralis has not been installed -- sound synchronization is unavailable!");
  InstallPlayer(3 * 65536 + 1);
  EXPECT_EQ(page_.Status(),
            "You are running version 3.1 of Auralis.  This version is not fully compatible with "
            "version 3.5 of The Lumoxic Screen Saver.  Please download the latest versions of "
            "both packages.");
  InstallPlayer(3 * 65536);
  EXPECT_EQ(
      page_.Status(),
      "The present versions of The Lumoxic Screen Saver and Auralis will function together to "
      "provide sound synchronization.");
  share_.SetU32(share_offset::PlayerActive, 0);
  EXPECT_EQ(page_.Status(),
            "Auralis must be running in order for sound synchronization to function.");
}

TEST_F(SoundPageTest, ChecksReachTheBlockAndOptionsOnlyWhenApplied) {
  share_.SetU32(share_offset::SlowCPU, 1);
  options_.ShowInfo = 1;
  options_.AutoRun = 0;
  page_.Load();
  EXPECT_EQ(page_.Checks(), (SoundChecks{true, false, false, true}));
  page_.Check({false, true, true, false});
  EXPECT_EQ(modified_, 1);
  EXPECT_EQ(share_.U32(share_offset::SlowCPU), 1u);
  page_.Apply();
  EXPECT_EQ(std::tuple(share_.U32(share_offset::SlowCPU), share_.U32(share_offset::AutoGain),
                       options_.AutoRun, options_.ShowInfo),
            std::tuple(0u, 1u, 1, 0));
}

}  // namespace
}  // namespace lumox
