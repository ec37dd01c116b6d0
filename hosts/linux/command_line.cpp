#include "command_line.h"

#include <cctype>
#include <cstdlib>

namespace lumox::host {
namespace {

bool IsSeparator(char c) {
  return static_cast<unsigned char>(c) <= ' ' || c == '-' || c == '/';
}

bool ParseNumber(const std::string& text, uint64_t limit, uint64_t& value) {
  if (text.empty() || text.size() > 20) return false;
  uint64_t result = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    result = result * 10 + static_cast<uint64_t>(c - '0');
    if (result > limit) return false;
  }
  value = result;
  return true;
}

HostCommand Failure(std::string message) {
  HostCommand command;
  command.mode = HostMode::Error;
  command.error = std::move(message);
  return command;
}

constexpr const char* kSettingsUsage =
    "usage: lumox [--registry FILE] --list | --show NAME | --activate NAME | --delete NAME |\n"
    "             --export NAME FILE | --import FILE [--as NAME] [--yes]";

// A mistake in the settings options: the message and the usage line.
HostCommand SettingsFailure(const std::string& message) {
  return Failure(message + "\n" + kSettingsUsage);
}

bool IsSettingsMode(HostMode mode) {
  switch (mode) {
    case HostMode::List:
    case HostMode::Export:
    case HostMode::Import:
    case HostMode::Activate:
    case HostMode::Delete:
    case HostMode::Show:
      return true;
    default:
      return false;
  }
}

// The screen-saver mode word: "/s", "-S", "s", "/c:1234", "/p", "/p1234".
// Returns false for an unknown letter. handleText gets what follows a
// preview letter in the same word.
bool ParseModeWord(const std::string& word, HostMode& mode, std::string& handleText) {
  size_t i = 0;
  while (i < word.size() && IsSeparator(word[i])) ++i;
  if (i == word.size()) {
    mode = HostMode::Configure;
    return true;
  }
  switch (std::tolower(static_cast<unsigned char>(word[i]))) {
    case 'c':
      mode = HostMode::Configure;  // anything after the letter is ignored
      return true;
    case 's':
      mode = HostMode::FullScreen;
      return true;
    case 'p':
    case 'l':
      mode = HostMode::Preview;
      ++i;
      while (i < word.size() && static_cast<unsigned char>(word[i]) <= ' ') ++i;
      handleText = word.substr(i);
      return true;
    default:
      return false;  // includes "a": there is no password change on this platform
  }
}

}  // namespace

uint64_t ParseWindowHandle(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
  uint64_t value = 0;
  if (text.compare(i, 2, "0x") == 0 || text.compare(i, 2, "0X") == 0) {
    i += 2;
    size_t digits = 0;
    for (; i < text.size() && std::isxdigit(static_cast<unsigned char>(text[i])); ++i, ++digits) {
      if (digits == 8) return 0;
      char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
      value = value * 16 + static_cast<uint64_t>(c <= '9' ? c - '0' : c - 'a' + 10);
    }
    return value;
  }
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = value * 10 + static_cast<uint64_t>(text[i] - '0');
    if (value > 0xFFFFFFFFu) return 0;
  }
  return value;
}

bool ParseSize(const std::string& text, int& width, int& height) {
  size_t x = text.find_first_of("xX");
  if (x == std::string::npos) return false;
  uint64_t w = 0, h = 0;
  if (!ParseNumber(text.substr(0, x), 16384, w) || !ParseNumber(text.substr(x + 1), 16384, h))
    return false;
  if (w == 0 || h == 0) return false;
  width = static_cast<int>(w);
  height = static_cast<int>(h);
  return true;
}

HostCommand ParseCommandLine(const std::vector<std::string>& args,
                             const char* xscreensaverWindow) {
  HostCommand command;
  bool modeGiven = false;
  bool wantsRoot = false;
  std::vector<std::string> positional;
  // Every option that chose a mode, to refuse a settings command mixed
  // with another mode instead of silently taking the last one.
  std::vector<std::string> modeOptions;
  bool settingsMode = false;

  auto setMode = [&](HostMode mode, const std::string& option) {
    command.mode = mode;
    modeGiven = true;
    modeOptions.push_back(option);
    settingsMode = settingsMode || IsSettingsMode(mode);
  };

  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    std::string text;

    if (arg == "--help" || arg == "-h" || arg == "-help") {
      setMode(HostMode::Help, arg);
    } else if (arg == "-root" || arg == "--root") {
      setMode(HostMode::Embedded, arg);
      wantsRoot = true;
    } else if (arg == "-window-id" || arg == "--window-id") {
      if (!value(text)) return Failure(arg + " needs a window id");
      command.windowId = ParseWindowHandle(text);
      if (command.windowId == 0) return Failure("bad window id \"" + text + "\"");
      setMode(HostMode::Embedded, arg);
    } else if (arg == "--window") {
      if (!value(text) || !ParseSize(text, command.width, command.height))
        return Failure("--window needs a size such as 800x600");
      setMode(HostMode::Window, arg);
    } else if (arg == "--headless") {
      setMode(HostMode::Headless, arg);
    } else if (arg == "--size") {
      if (!value(text) || !ParseSize(text, command.width, command.height))
        return Failure("--size needs a size such as 640x480");
    } else if (arg == "--frames") {
      uint64_t frames = 0;
      if (!value(text) || !ParseNumber(text, 1000000, frames) || frames == 0)
        return Failure("--frames needs a count from 1 to 1000000");
      command.frames = static_cast<int>(frames);
    } else if (arg == "--seed") {
      uint64_t seed = 0;
      if (!value(text) || !ParseNumber(text, 0xFFFFFFFFu, seed))
        return Failure("--seed needs a number from 0 to 4294967295");
      command.seed = static_cast<uint32_t>(seed);
    } else if (arg == "--out") {
      if (!value(command.outDir) || command.outDir.empty()) return Failure("--out needs a directory");
    } else if (arg == "--registry") {
      if (!value(command.registryFile) || command.registryFile.empty())
        return Failure("--registry needs a file");
    } else if (arg == "--unpaced") {
      command.unpaced = true;
    } else if (arg == "--stats") {
      command.stats = true;
    } else if (arg == "--present") {
      if (!value(text)) return Failure("--present needs auto, surface, texture, gpu or gl");
      if (text == "auto") command.present = PresentPath::Auto;
      else if (text == "surface") command.present = PresentPath::Surface;
      else if (text == "texture") command.present = PresentPath::Texture;
      else if (text == "gpu") command.present = PresentPath::Gpu;
      else if (text == "gl") command.present = PresentPath::Gl;
      else return Failure("--present needs auto, surface, texture, gpu or gl");
    } else if (arg == "--presenter") {
      // The presenter by kind: colours converted on the CPU, or looked up
      // by the graphics card.
      if (!value(text) || (text != "software" && text != "gl"))
        return Failure("--presenter needs software or gl");
      command.present = text == "gl" ? PresentPath::Gl : PresentPath::Surface;
    } else if (arg == "--list") {
      setMode(HostMode::List, arg);
    } else if (arg == "--export") {
      if (!value(command.name) || !value(command.file))
        return SettingsFailure("--export needs a saved display name and a file");
      setMode(HostMode::Export, arg);
    } else if (arg == "--import") {
      if (!value(command.file)) return SettingsFailure("--import needs a file");
      setMode(HostMode::Import, arg);
    } else if (arg == "--as") {
      if (!value(command.asName) || command.asName.empty())
        return SettingsFailure("--as needs a name");
    } else if (arg == "--yes") {
      command.yes = true;
    } else if (arg == "--activate" || arg == "--delete" || arg == "--show") {
      if (!value(command.name)) return SettingsFailure(arg + " needs a saved display name");
      setMode(arg == "--activate" ? HostMode::Activate
              : arg == "--delete" ? HostMode::Delete
                                  : HostMode::Show,
              arg);
    } else if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
      return Failure("unknown option " + arg + " (try --help)");
    } else {
      positional.push_back(arg);
    }
  }

  if (settingsMode && modeOptions.size() > 1) {
    return SettingsFailure(modeOptions[0] + " and " + modeOptions[1] +
                           " cannot be given together: one command at a time");
  }
  if ((!command.asName.empty() || command.yes) && command.mode != HostMode::Import) {
    return SettingsFailure(std::string(command.yes ? "--yes" : "--as") +
                           " goes only with --import");
  }

  // The settings file is the rest of the line, as the system's "/S %1"
  // passes a path with blanks.
  auto restOfLine = [&](size_t from) {
    std::string text;
    for (size_t i = from; i < positional.size(); ++i) text += (i > from ? " " : "") + positional[i];
    return text;
  };
  // A daemon's window takes a settings file too: its descriptor offers one.
  if (!positional.empty() &&
      (command.mode == HostMode::Window || command.mode == HostMode::Embedded)) {
    command.settingsFile = restOfLine(0);
  } else if (!positional.empty()) {
    if (modeGiven) return Failure("unexpected argument \"" + positional[0] + "\" (try --help)");
    HostMode mode;
    std::string handleText;
    if (!ParseModeWord(positional[0], mode, handleText))
      return Failure("unknown mode \"" + positional[0] + "\" (try --help)");
    size_t next = 1;
    if (mode == HostMode::Preview) {
      if (handleText.empty() && next < positional.size()) handleText = positional[next++];
      command.windowId = ParseWindowHandle(handleText);
      if (command.windowId == 0)
        return Failure("bad window handle \"" + handleText + "\" for " + positional[0]);
    }
    command.settingsFile = restOfLine(next);
    setMode(mode, positional[0]);
  }

  if (command.mode == HostMode::Embedded && wantsRoot && command.windowId == 0) {
    // The daemon names its own window through the environment; -root alone
    // means the root window itself.
    uint64_t id = xscreensaverWindow ? ParseWindowHandle(xscreensaverWindow) : 0;
    command.windowId = id;
    command.embedRoot = id == 0;
  } else if (!modeGiven && xscreensaverWindow && *xscreensaverWindow) {
    command.windowId = ParseWindowHandle(xscreensaverWindow);
    if (command.windowId == 0)
      return Failure(std::string("bad XSCREENSAVER_WINDOW \"") + xscreensaverWindow + "\"");
    command.mode = HostMode::Embedded;
  }
  return command;
}

std::string SaverCommandLine(const HostCommand& command) {
  bool foreign = command.mode == HostMode::Preview || command.mode == HostMode::Embedded;
  std::string line = foreign ? "lumox /p" : "lumox /s";
  if (!command.settingsFile.empty()) line += " " + command.settingsFile;
  return line;
}

std::string UsageText() {
  return
      "Usage: lumox [MODE] [SETTINGS.LMX] [OPTIONS]\n"
      "\n"
      "Screen-saver modes:\n"
      "  /s                 full screen at the desktop's size\n"
      "  /p ID, /l ID       draw into the existing X11 window ID as a preview\n"
      "  /c, no mode        the settings window (lumox-settings) on a desktop;\n"
      "                     otherwise where the settings live and how to change them\n"
      "  SETTINGS.LMX       after /s, /p ID, -root, -window-id ID or --window WxH:\n"
      "                     run once with the settings of this file\n"
      "\n"
      "Screen-saver daemon conventions:\n"
      "  -root              draw into $XSCREENSAVER_WINDOW, else the root window\n"
      "  -window-id ID      draw into the X11 window ID (decimal or 0x hex)\n"
      "\n"
      "Development:\n"
      "  --window WxH       a normal window of that size\n"
      "  --headless --frames N --size WxH --seed S --out DIR\n"
      "                     render N frames with a virtual 60 Hz clock into\n"
      "                     DIR/frame-0001.png ...; same arguments, same files\n"
      "  --unpaced          run the frame loop flat out (benchmarks)\n"
      "  --present MODE     auto, surface, texture, gpu or gl: how frames reach the window\n"
      "  --presenter KIND   software or gl: force the CPU or the OpenGL presenter\n"
      "  --stats            print frame and present timings at the end\n"
      "  --registry FILE    use this settings file instead of $LUMOX_REGISTRY or\n"
      "                     the default\n"
      "\n"
      "Settings:\n"
      "  --list                          list the saved displays\n"
      "  --show NAME                     print a saved display's settings\n"
      "  --activate NAME                 make NAME the display the saver runs\n"
      "  --delete NAME                   delete a saved display\n"
      "  --export NAME FILE              write a saved display to a settings file\n"
      "  --import FILE [--as NAME] [--yes]\n"
      "                                  read a settings file into a saved display\n"
      "                                  (--yes: overwrite without asking)\n"
      "  --help                          this text\n";
}

}  // namespace lumox::host
