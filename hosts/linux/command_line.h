// The lumox command line.
//
// The screen-saver conventions come first: a mode letter after any blanks,
// "-" and "/" ("/s", "-S", "s"), with a window handle after "/p" and "/l"
// and an optional settings file as the next word. Then the X11 screen-saver
// daemon's conventions (-root, -window-id ID) and the program's own
// options (--window, --headless, the settings commands). ParseCommandLine
// only reads the words; nothing here touches a display or the registry.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumox::host {

enum class HostMode {
  Configure,   // /c, a bare "lumox": where the settings live
  FullScreen,  // /s
  Preview,     // /p ID, /l ID: draw into an existing X11 window as a preview
  Embedded,    // -root, -window-id ID, $XSCREENSAVER_WINDOW: the daemon's window
  Window,      // --window WxH: a development window
  Headless,    // --headless: PNG frames with a virtual clock
  Help,
  List,
  Export,
  Import,
  Activate,
  Delete,
  Show,
  Error,  // error holds the one-line message
};

// How frames reach an SDL window.
enum class PresentPath { Auto, Surface, Texture, Gpu, Gl };

struct HostCommand {
  HostMode mode = HostMode::Configure;
  std::string error;

  // Preview and embedded runs: the X11 window to draw into (0 with
  // embedRoot: the root window).
  uint64_t windowId = 0;
  bool embedRoot = false;
  // A settings file to run once (the word after the mode).
  std::string settingsFile;

  int width = 640;
  int height = 480;

  // Headless.
  int frames = 120;
  uint32_t seed = 1;
  std::string outDir = "out";

  // Every mode.
  std::string registryFile;  // --registry FILE (else $LUMOX_REGISTRY, else the default)
  bool unpaced = false;
  PresentPath present = PresentPath::Auto;
  bool stats = false;

  // Settings commands: --export NAME FILE, --import FILE [--as NAME] [--yes], ...
  std::string name;
  std::string file;
  std::string asName;
  bool yes = false;
};

// Reads argv[1..]. xscreensaverWindow is $XSCREENSAVER_WINDOW (or null):
// with no other mode given it selects an embedded run.
HostCommand ParseCommandLine(const std::vector<std::string>& args,
                             const char* xscreensaverWindow = nullptr);

// A window handle: "0x..." is hexadecimal, otherwise the leading decimal
// digits (as the screen-saver convention reads them). Nothing, junk or a
// value beyond 32 bits gives 0, which no window has.
uint64_t ParseWindowHandle(const std::string& text);

// "640x480" -> 640, 480; false for anything else or a side outside 1..16384.
bool ParseSize(const std::string& text, int& width, int& height);

// The whole command line the saver's window logic reads: the program, the
// mode switch and the settings file to run once (the rest of the line).
std::string SaverCommandLine(const HostCommand& command);

// The text --help prints.
std::string UsageText();

}  // namespace lumox::host
