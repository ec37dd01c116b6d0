// What the Palette, Custom palette, Sound and Display page models ask of
// the world around them: a beep, a message box, a question, a file name,
// starting the sound player, the system's display modes, and hiding the
// sheet. Each view (the Windows property sheet, the Linux settings app)
// implements these small interfaces; tests implement them with recorders.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumox {

enum class MessageIcon { kPlain, kInformation, kError };

class PageDialogs {
 public:
  virtual ~PageDialogs() = default;

  virtual void Beep() = 0;
  virtual void ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon) = 0;
  // A Yes/No question; true for Yes.
  virtual bool AskYesNo(std::string_view text, std::string_view caption) = 0;
  // The open and save file dialogs with one filter pattern ("*.PAL"); no
  // value when the user cancels.
  virtual std::optional<std::string> ChooseFileToOpen(std::string_view pattern) = 0;
  virtual std::optional<std::string> ChooseFileToSave(std::string_view pattern,
                                                      std::string_view proposedName) = 0;
};

// Starts the sound player (its configured command line, without the
// switch the saver adds). True when a program was started.
class PlayerLauncher {
 public:
  virtual ~PlayerLauncher() = default;
  virtual bool LaunchPlayer() = 0;
};

// The property sheet as a whole, for the display test: it steps aside
// while a tested mode is on screen, and a restart closes it.
class SheetWindow {
 public:
  virtual ~SheetWindow() = default;
  virtual void Hide() = 0;
  virtual void Show() = 0;
  virtual void Wait(int milliseconds) = 0;
  virtual void PressCancel() = 0;
};

}  // namespace lumox
