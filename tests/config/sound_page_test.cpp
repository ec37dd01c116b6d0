#include "config/sound_page.h"

#include <gtest/gtest.h>

#include "control/sound_share.h"
#include "platform/memory_registry.h"
#include "recording_dialogs.h"

namespace lumox {
namespace {

constexpr const char* kNotInstalled =
    "Auralis has not been installed -- sound synchronization is unavailable!";
constexpr const char* kMustRun =
    "Auralis must be running in order for sound synchronization to function.";
constexpr const char* kTogether =
    "The present versions of The Lumoxic Screen Saver and Auralis will function together to "
    "provide sound synchronization.";

class SoundPageTest : public ::testing::Test {
 protected:
  SoundPageTest() { InstallRegistry(&registry_); }
  ~SoundPageTest() override { InstallRegistry(nullptr); }
  void InstallPlayer(uint32_t version) {
    const uint8_t bytes[4] = {uint8_t(version), uint8_t(version >> 8), uint8_t(version >> 16),
                              uint8_t(version >> 24)};
    registry_.CreateKey(RegRoot::CurrentUser, "Software\\Auralis");
    registry_.WriteValue(RegRoot::CurrentUser, "Software\\Auralis", "Current Version", kRegBinary,
                         bytes, sizeof bytes);
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
  EXPECT_EQ(page_.Status(), kNotInstalled);  // whatever runs
  InstallPlayer(3 * 65536 + 1);
  EXPECT_EQ(page_.Status(),
            "You are running version 3.1 of Auralis.  This version is not fully compatible with "
            "version 3.5 of The Lumoxic Screen Saver.  Please download the latest versions of "
            "both packages.");
  InstallPlayer(3 * 65536);
  share_.SetU32(share_offset::PlayerActive, 0);
  EXPECT_EQ(page_.Status(), kMustRun);
  share_.SetU32(share_offset::PlayerActive, 1);
  EXPECT_EQ(page_.Status(), kTogether);
  EXPECT_NE(PlayerStatusText(2 * 65536, true), kTogether);
  EXPECT_NE(PlayerStatusText(0xFFFFFFFF, true), kTogether);
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
  EXPECT_EQ(share_.U32(share_offset::SlowCPU), 0u);
  EXPECT_EQ(share_.U32(share_offset::AutoGain), 1u);
  EXPECT_EQ(options_.AutoRun, 1);
  EXPECT_EQ(options_.ShowInfo, 0);
}

TEST_F(SoundPageTest, AFailedLaunchBeeps) {
  struct Launcher : PlayerLauncher {
    bool LaunchPlayer() override { return ++launches > 1; }
    int launches = 0;
  } launcher;
  testing::RecordingDialogs dialogs;
  page_.Launch(launcher, dialogs);
  page_.Launch(launcher, dialogs);
  EXPECT_EQ(launcher.launches, 2);
  EXPECT_EQ(dialogs.beeps, 1);
}

}  // namespace
}  // namespace lumox
