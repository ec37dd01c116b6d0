// The configuration dialog's shared state and the test run, for every page.
//
// One session lives while the configuration pages are open. It holds what
// all pages share: whether the dialog has started (it runs once per
// process), whether it is open (the settings load then keeps sound
// sources), the modified flag (some page changed a setting since the last
// load or save; the saved-display list then shows "Scratch"), and the test
// run: the live settings saved as "Testing Current Settings", made
// "Active", and the saver started on them. When a page is activated again
// the test display goes and the previous "Active" comes back.
//
// Pages reach the outside world through ConfigDialogs (file choosers and
// messages, which the view implements) and through System() (starting
// programs, beeps and yes/no questions). Nothing here knows a window system.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumox {

struct SaverState;

// One entry of a file chooser's type list: the text shown and its patterns
// separated by ';' ("*.BMP;*.DIB").
struct FileFilter {
  std::string text;
  std::string patterns;
};

struct FileRequest {
  std::string title;
  std::vector<FileFilter> filters;  // the first one is selected
  std::string directory;            // where the chooser starts
  std::string fileName;             // proposed or current name; may be empty
  std::string defaultExtension;     // without the dot; may be empty
  bool multiple = false;            // open only: several files may be chosen
};

// How a message looks: a plain note, information, or an error.
enum class MessageIcon { kPlain, kInformation, kError };

// What a view offers the page models: file choosers and message boxes.
// Beeps, yes/no questions and starting programs go through System().
class ConfigDialogs {
 public:
  virtual ~ConfigDialogs() = default;
  // The chosen files as full paths (one unless `multiple`); empty when
  // cancelled. The files exist.
  virtual std::vector<std::string> AskOpenFiles(const FileRequest& request) = 0;
  // The chosen path (the view asks before replacing a file); empty when
  // cancelled.
  virtual std::string AskSaveFile(const FileRequest& request) = 0;
  virtual void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) = 0;
};

// The chooser of a settings file (a saved display's "*.LMX", a custom
// palette's "*.PAL"): one filter whose text is the mask and whose pattern is
// the mask, the mask's last three characters as the default extension.
FileRequest SettingsFileRequest(std::string title, std::string_view mask, std::string directory);

class ConfigSession {
 public:
  // `saverPath` is the saver's own executable, started with " /S" for a test
  // run; `startDirectory` is where the first file chooser opens.
  ConfigSession(SaverState& state, ConfigDialogs& dialogs, std::string saverPath,
                std::string startDirectory);

  SaverState& state() { return state_; }
  ConfigDialogs& dialogs() { return dialogs_; }

  // Marks the dialog running and open. False when it already ran in this
  // session: the pages are shown at most once.
  bool Begin();
  // The pages are closed; the settings load drops unavailable sound sources
  // again.
  void End();
  bool running() const { return running_; }

  bool modified() const { return modified_; }
  void SetModified() { modified_ = true; }
  void ClearModified() { modified_ = false; }

  // Saves the live settings as "Testing Current Settings", makes it
  // "Active" and starts the saver on it. When the saver cannot be started
  // (or the store does not take the display) it beeps and cleans up at once.
  void TestRun();
  // Called whenever a page is activated: ends a pending test run (the test
  // display deleted, the previous "Active" restored). True when it did, so
  // that the saved-display list is filled again.
  bool EndTestRun();
  bool testRunPending() const { return testRunPending_; }

  // Where file choosers start: the directory of the last chosen file.
  const std::string& rememberedDirectory() const { return rememberedDirectory_; }
  void RememberDirectoryOf(std::string_view path);

 private:
  SaverState& state_;
  ConfigDialogs& dialogs_;
  std::string saverPath_;
  std::string rememberedDirectory_;
  bool running_ = false;
  bool modified_ = false;
  bool testRunPending_ = false;
  std::string previousActive_;
};

// The command line of a test run: the saver's path (quoted when it holds a
// blank, or the system would start the program named by its first word)
// followed by " /S".
std::string SaverCommandLine(std::string_view saverPath);

// The sheet's caption: "Lumox v3.5.350", and with a running sound player
// (a major version other than 0) " w/Auralis v<major>.<minor>" after it.
std::string SheetCaption(uint16_t playerMajor, uint16_t playerMinor);

// The user guide's sections that the pages' Help buttons open; a module
// page's is "module-" and the module's name in lower case ("module-cyclic";
// the Bitmap module's page is "module-slide-show").
inline constexpr const char* kMainGuideSection = "main-settings";
inline constexpr const char* kPaletteGuideSection = "palette-settings";
inline constexpr const char* kCustomPaletteGuideSection = "custom-palette-settings";
inline constexpr const char* kSoundGuideSection = "sound-settings";
inline constexpr const char* kDisplayGuideSection = "display-settings";
std::string ModuleGuideSection(int moduleIndex);

// The directory part of a path ('\' or '/' separated), without the last
// separator; empty when there is none.
std::string DirectoryOf(std::string_view path);

}  // namespace lumox
