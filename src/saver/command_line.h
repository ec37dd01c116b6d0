// Reading the saver's command line.
//
// The system starts a saver with a mode switch: "/s" saves full screen,
// "/p <window>" (or "/l <window>") previews inside a window, "/c" opens the
// configuration, "/a <window>" changes the password (Windows 95 family
// only), and an empty line configures without an owner. A third word names
// a settings file to show once. Both hosts decide the mode here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumox {

// What the saver main does for an argument text.
enum class SaverModeKind {
  Configure,       // the configuration dialog
  ChangePassword,  // the system's password change, Windows 95 family only
  Preview,         // the saver window as a child of parentWindow
  FullScreen,      // the full-screen saver window
  Exit,            // nothing to run: exit with exitCode
};

enum class ConfigureOwner { None, Foreground };

struct SaverMode {
  SaverModeKind kind = SaverModeKind::Exit;
  ConfigureOwner owner = ConfigureOwner::None;
  // Password change: the text after the letter, blanks skipped (a decimal
  // window handle, see ParseDecimal).
  std::string_view passwordArguments;
  // Preview: the parent window's handle, never zero. The host still checks
  // that it names a window and exits with -1 when it does not.
  uintptr_t parentWindow = 0;
  int exitCode = 0;
};

// Decides the mode from the argument text (the command line after the
// program name) and whether this is the Windows 95 family.
SaverMode DispatchSaverMode(std::string_view arguments, bool family95);

// The process entry's skip of the program name: a quoted name runs to its
// closing quote, an unquoted one to the first character at or below the
// blank; then every character at or below the blank is skipped.
std::string_view SkipProgramName(std::string_view commandLine);

// The leading decimal digits as a number (value * 10 + digit), stopping at
// the first non-digit; no digits give 0. No sign; a number too large for
// the type wraps around.
uintptr_t ParseDecimal(std::string_view text);

// The three words of a whole command line: program, switch and settings
// file.
struct CommandWords {
  std::string program;
  std::string modeSwitch;
  std::string settingsFile;
};

constexpr size_t kCommandWordSize = 260;  // buffer size, terminator included

// Splits a whole command line into its three words. Words are separated by
// white space; a word that begins with a double quote runs to the closing
// quote, which lets the program path and the file contain blanks. The file
// is the rest of the line after the switch, so an unquoted path with blanks
// (the shell's "/S %1") stays whole. The program and switch are cut to 259
// characters; a file name longer than that is dropped rather than cut,
// because a shortened path could name another file.
CommandWords SplitCommandWords(std::string_view commandLine);

}  // namespace lumox
