// The Sound page: the global options that concern the sound player, the
// player's status, and starting the player.
//
// The four check boxes are read from their options when the page opens or
// is activated and written back on apply, on leaving the page and before a
// test; a click only marks the settings as changed. Turbo Mode and Auto
// Adjust Gain live in the shared block (the player reads them there), the
// other two in the run options.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "state/saver_options.h"

namespace lumox {

class SoundShare;

struct SoundChecks {
  bool turboMode = false;       // SlowCPU
  bool autoRunPlayer = false;   // AutoRun
  bool autoAdjustGain = false;  // AutoGain
  bool displayCdInfo = false;   // ShowInfo
  bool operator==(const SoundChecks&) const = default;
};

// The status text for a player version (major * 65536 + minor, 0 when not
// installed) and whether the player runs. Only player version 3.0 works
// with this saver.
std::string PlayerStatusText(uint32_t playerVersion, bool playerActive);

class SoundPage {
 public:
  SoundPage(SaverOptions& options, SoundShare& share, std::function<void()> markModified);

  const SoundChecks& Checks() const { return checks_; }
  // The check boxes from the options (page opened or activated).
  void Load();
  // A click on a check box.
  void Check(const SoundChecks& checks);
  // The check boxes into the options (apply, leaving the page, a test).
  void Apply();

  // The status message now: the installed player's version from the
  // registry and its running flag from the shared block.
  std::string Status() const;

  // "Launch": starts the registered player; a beep when nothing could be
  // started.
  static void Launch();

 private:
  SaverOptions& options_;
  SoundShare& share_;
  std::function<void()> markModified_;
  SoundChecks checks_;
};

}  // namespace lumox
