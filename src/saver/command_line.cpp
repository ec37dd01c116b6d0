#include "saver/command_line.h"

namespace lumox {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The process entry compares bytes as unsigned, so names with characters
// above 127 are not cut short.
bool AtOrBelowBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool IsWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view SkipBlanks(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  return text.substr(i);
}

std::string_view SkipWhiteSpace(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsWhiteSpace(text[i])) ++i;
  return text.substr(i);
}

// Takes one word off the front of `text` (white space already skipped).
std::string_view TakeWord(std::string_view& text) {
  if (!text.empty() && text.front() == '"') {
    size_t close = text.find('"', 1);
    std::string_view word = text.substr(1, close == std::string_view::npos ? text.npos : close - 1);
    text = close == std::string_view::npos ? std::string_view() : text.substr(close + 1);
    return word;
  }
  size_t end = 0;
  while (end < text.size() && !IsWhiteSpace(text[end])) ++end;
  std::string_view word = text.substr(0, end);
  text = text.substr(end);
  return word;
}

std::string Truncated(std::string_view word) {
  return std::string(word.substr(0, kCommandWordSize - 1));
}

SaverMode Exit(int code) {
  SaverMode mode;
  mode.kind = SaverModeKind::Exit;
  mode.exitCode = code;
  return mode;
}

}  // namespace

SaverMode DispatchSaverMode(std::string_view arguments, bool family95) {
  size_t i = 0;
  while (i < arguments.size() &&
         (IsBlank(arguments[i]) || arguments[i] == '-' || arguments[i] == '/')) {
    ++i;
  }
  SaverMode mode;
  if (i == arguments.size() || arguments[i] == '\0') {
    mode.kind = SaverModeKind::Configure;
    mode.owner = ConfigureOwner::None;
    return mode;
  }
  std::string_view rest = arguments.substr(i + 1);
  switch (arguments[i]) {
    case 'A':
    case 'a':
      if (!family95) return Exit(-1);
      mode.kind = SaverModeKind::ChangePassword;
      mode.passwordArguments = SkipBlanks(rest);
      return mode;
    case 'C':
    case 'c':
      mode.kind = SaverModeKind::Configure;
      mode.owner = ConfigureOwner::Foreground;
      return mode;
    case 'L':
    case 'l':
    case 'P':
    case 'p': {
      uintptr_t parent = ParseDecimal(SkipBlanks(rest));
      if (parent == 0) return Exit(-1);
      mode.kind = SaverModeKind::Preview;
      mode.parentWindow = parent;
      return mode;
    }
    case 'S':
    case 's':
      mode.kind = SaverModeKind::FullScreen;
      return mode;
    default:
      return Exit(-1);
  }
}

std::string_view SkipProgramName(std::string_view commandLine) {
  size_t i = 0;
  if (!commandLine.empty() && commandLine[0] == '"') {
    i = 1;
    while (i < commandLine.size() && commandLine[i] != '"') ++i;
    if (i < commandLine.size()) ++i;  // the closing quote
  } else {
    while (i < commandLine.size() && !AtOrBelowBlank(commandLine[i])) ++i;
  }
  while (i < commandLine.size() && AtOrBelowBlank(commandLine[i]) && commandLine[i] != '\0') ++i;
  return commandLine.substr(i);
}

uintptr_t ParseDecimal(std::string_view text) {
  uintptr_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + static_cast<uintptr_t>(c - '0');
  }
  return value;
}

CommandWords SplitCommandWords(std::string_view commandLine) {
  CommandWords words;
  std::string_view rest = SkipWhiteSpace(commandLine);
  words.program = Truncated(TakeWord(rest));
  rest = SkipWhiteSpace(rest);
  words.modeSwitch = Truncated(TakeWord(rest));
  rest = SkipWhiteSpace(rest);
  while (!rest.empty() && IsWhiteSpace(rest.back())) rest.remove_suffix(1);
  if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"') {
    rest = rest.substr(1, rest.size() - 2);
  }
  if (rest.size() < kCommandWordSize) words.settingsFile = std::string(rest);
  return words;
}

}  // namespace lumox
