// The link with the sound player: opening the shared block, the version
// values through which the two programs find each other, launching the
// player, and the attach and detach steps of the saver window and the
// configuration dialog.
//
// The block comes from the platform's named shared memory, the versions and
// the player's command line from the registry, the launch from the system
// services, so tests run all of it in memory.
#pragma once

#include <cstdint>

#include "control/sound_share.h"

namespace lumox {

constexpr uint16_t kSaverVersionMajor = 3;
constexpr uint16_t kSaverVersionMinor = 5;
constexpr uint32_t kLayoutMismatchCode = 2;

enum class ShareOpenResult {
  kOpened,
  kUnavailable,     // the shared memory could not be had
  kLayoutMismatch,  // a block of another size or layout version exists
};

// Opens (or creates) the block and stamps its size and layout version.
// A block found with another size or layout is marked with
// LayoutMismatchCode 2 and LayoutMismatch 1 and refused. Null on failure.
SoundShare* OpenSoundShare();
// The same, telling why it failed. `markMismatch` false leaves a refused
// block untouched (the player stand-in does not write the saver's fields).
SoundShare* OpenSoundShareChecked(ShareOpenResult& result, bool markMismatch);
// Unmaps and closes a block from OpenSoundShare (if it is the current block,
// the private one becomes current); anything else is ignored.
void CloseSoundShare(SoundShare* share);

// The block the evaluators read: the attached one, or a zeroed private
// block while none is attached. Never null.
SoundShare* CurrentSoundShare();
// Null goes back to the private block.
void SetCurrentSoundShare(SoundShare* share);

// HKCU "Software\Auralis" "Current Version": major * 65536 + minor, 0 when
// the player is not installed. Creates the key when it is missing.
uint32_t ReadPlayerVersion();
// HKCU "Software\Lumox" "Current Version" = major * 65536 + (minor & 0xFFFF).
void WriteSaverVersion(uint16_t major, uint16_t minor);

// Runs the player's command line (HKLM "Software\Auralis", default value),
// or without one the analyser shipped beside the saver (bundled_player.h).
// From the saver " /PPLAY" is appended and the player starts only for a
// full-screen window, never for the preview. True if a launch was made.
bool LaunchPlayer(bool fromSaver, bool fullScreenWindow);

// The saver window. Attach at creation: opens the block (null: the window
// must not be created), stamps the versions, counts the window, and makes
// the block current. On destruction, in this order: SignalLauncherClosing
// (before waiting for the render thread), then, once the render thread has
// stopped, DetachSaverWindow (counts down, clears the sound flags, closes).
// With `unmap` false the block stays mapped and current: a drawing thread
// that had to be abandoned may still read it.
SoundShare* AttachSaverWindow();
void SignalLauncherClosing(SoundShare* share, bool triedLaunch);
void DetachSaverWindow(SoundShare* share, bool unmap = true);

// The configuration dialog: attach when it opens (null: the dialog ends at
// once), count itself while its property sheet is shown, detach after the
// sheet has closed.
SoundShare* AttachConfigDialog();
void ConfigSheetShown(SoundShare* share);
void ConfigSheetClosed(SoundShare* share);
void DetachConfigDialog(SoundShare* share);

}  // namespace lumox
