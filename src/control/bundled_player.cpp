#include "control/bundled_player.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace lumox {

#ifdef _WIN32
constexpr const char* kBundledPlayerName = "SOUNDFEED.EXE";
#else
constexpr const char* kBundledPlayerName = "soundfeed";
#endif

std::string ProgramFolder() {
  char path[4096];
#ifdef _WIN32
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length >= sizeof path) return "";
#else
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return "";
#endif
  return std::filesystem::path(std::string(path, static_cast<size_t>(length)))
      .parent_path()
      .string();
}

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
