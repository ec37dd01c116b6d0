// The "Main Settings" page: which modules run, the run options, and the
// saved displays.
//
// The page edits the live settings (the Active flags and SaverOptions) and
// manages the saved displays: choosing one loads it and makes it "Active";
// save, delete, export, import and preview act on the name in the
// saved-display box. The list always mirrors the registry's saved displays;
// while the session's modified flag is set the box shows "Scratch".
//
// Every action that can go wrong tells the user why through the session's
// ConfigDialogs and leaves the settings and the registry as they were.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_session.h"
#include "state/module.h"

namespace lumox {

constexpr int32_t kMaxFrameDelay = 10;
constexpr int32_t kMaxTitleSeconds = 120;

// What the page's controls show and the user set.
struct MainOptions {
  std::array<bool, kModuleCount> active{};
  int32_t priority = 0;  // 128, 32 or 64; anything else keeps the current one
  bool clearFirst = false;
  int32_t titleSeconds = 0;  // 0..120
  int32_t frameDelay = 0;    // 0..10, "Fast" at 0
};

class MainPage {
 public:
  explicit MainPage(ConfigSession& session);

  // The controls from the live settings, and back (numbers held to their
  // ranges).
  MainOptions Fill() const;
  void ReadBack(const MainOptions& options);
  // A module check box, a CPU-usage button, the clear-screen box or the
  // title trackbar changed: the box shows "Scratch" from now on. (The
  // "Animate" trackbar is taken only when the page is left or applied.)
  void OptionChanged() { session_.SetModified(); }

  // The saved displays in the list's order (the stores enumerate them
  // case-insensitively alphabetical), and the
  // text of the box: "Scratch" while modified, else the "Active" name.
  std::vector<std::string> DisplayNames() const;
  std::string BoxText() const;

  // Loads the chosen display and makes it "Active". False, with a message,
  // when it no longer exists.
  bool Choose(const std::string& name);
  // "Save Selection": the box's name (empty saves "Scratch").
  bool Save(std::string_view boxText, const MainOptions& options);
  // "Delete Selection": the saved display of exactly that name (any case);
  // an empty box or an unknown name deletes nothing.
  bool Delete(std::string_view boxText);
  // Saves under the box's name, then writes it to a settings file the user
  // chooses.
  bool Export(std::string_view boxText, const MainOptions& options);
  // Asks for settings files and imports each under its own name (asking
  // before one replaces a display); the last one imported is chosen.
  bool Import();
  // A test run of the page's settings.
  void Preview(const MainOptions& options);

  // The page is activated: ends a pending test run. True when the list
  // must be filled again.
  bool Activated() { return session_.EndTestRun(); }
  // The page is left: the controls are taken into the live settings.
  void Leave(const MainOptions& options) { ReadBack(options); }
  // The dialog's OK: the settings are taken, "Speed" stored, and unsaved
  // changes saved as "Scratch", which becomes "Active".
  void Apply(const MainOptions& options);

 private:
  // The name a save stores under, or empty after telling the user why the
  // box's text cannot be one.
  std::string NameToSave(std::string_view boxText) const;
  bool SaveAs(const std::string& name);

  ConfigSession& session_;
};

// The screen's colour count, 2 to the power of bits per pixel times planes,
// at most 4294967295.
uint32_t ScreenColorCount(int bitsPerPixel, int planes);
// The video-mode advice for a screen of that many colours.
std::string VideoModeAdvice(uint32_t colorCount);

}  // namespace lumox
