#include "control/bundled_player.h"

#include <filesystem>
#include <system_error>

namespace lumox {

#ifdef _WIN32
constexpr const char* kBundledPlayerName = "SOUNDFEED.EXE";
#else
constexpr const char* kBundledPlayerName = "soundfeed";
#endif

std::string BundledPlayerCommandLine(const std::string& folder) {
  if (folder.empty()) return "";
  const std::filesystem::path player = std::filesystem::path(folder) / kBundledPlayerName;
  std::error_code error;
  if (!std::filesystem::is_regular_file(player, error)) return "";
  std::string quoted = "\"";
  for (const char c : player.string()) {
#ifndef _WIN32
    // The POSIX launcher reads \" and \\ inside quotes as escapes; Windows
    // paths hold no quote, and their backslashes stay as they are.
    if (c == '"' || c == '\\') quoted += '\\';
#endif
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace lumox
