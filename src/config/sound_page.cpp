#include "config/sound_page.h"

#include <cstdio>
#include <utility>

#include "control/sound_link.h"
#include "control/sound_share.h"
#include "platform/system.h"

namespace lumox {

namespace {

constexpr uint32_t kCompatiblePlayerMajor = 3;
constexpr uint32_t kCompatiblePlayerMinor = 0;

}  // namespace

std::string PlayerStatusText(uint32_t playerVersion, bool playerActive) {
  if (playerVersion == 0) {
    return "Auralis has not been installed -- sound synchronization is unavailable!";
  }
  const uint32_t major = playerVersion / 65536;
  const uint32_t minor = playerVersion % 65536;
  if (major != kCompatiblePlayerMajor || minor != kCompatiblePlayerMinor) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "You are running version %u.%u of Auralis.  This version is not fully "
                  "compatible with version %u.%u of The Lumoxic Screen Saver.  Please download "
                  "the latest versions of both packages.",
                  major, minor, unsigned{kSaverVersionMajor}, unsigned{kSaverVersionMinor});
    return text;
  }
  if (playerActive) {
    return "The present versions of The Lumoxic Screen Saver and Auralis will function "
           "together to provide sound synchronization.";
  }
  return "Auralis must be running in order for sound synchronization to function.";
}

SoundPage::SoundPage(SaverOptions& options, SoundShare& share, std::function<void()> markModified)
    : options_(options), share_(share), markModified_(std::move(markModified)) {
  Load();
}

void SoundPage::Load() {
  checks_.turboMode = share_.U32(share_offset::SlowCPU) != 0;
  checks_.autoRunPlayer = options_.AutoRun != 0;
  checks_.autoAdjustGain = share_.U32(share_offset::AutoGain) != 0;
  checks_.displayCdInfo = options_.ShowInfo != 0;
}

void SoundPage::Check(const SoundChecks& checks) {
  checks_ = checks;
  if (markModified_) markModified_();
}

void SoundPage::Apply() {
  share_.SetU32(share_offset::SlowCPU, checks_.turboMode ? 1 : 0);
  options_.AutoRun = checks_.autoRunPlayer ? 1 : 0;
  share_.SetU32(share_offset::AutoGain, checks_.autoAdjustGain ? 1 : 0);
  options_.ShowInfo = checks_.displayCdInfo ? 1 : 0;
}

std::string SoundPage::Status() const {
  return PlayerStatusText(ReadPlayerVersion(), share_.U32(share_offset::PlayerActive) != 0);
}

void SoundPage::Launch() {
  if (!LaunchPlayer(/*fromSaver=*/false, /*fullScreenWindow=*/false)) System().Beep();
}

}  // namespace lumox
