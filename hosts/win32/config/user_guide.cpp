#include "config/user_guide.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>

namespace lumox::win32 {

bool OpenUserGuide(const std::string& section) {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  std::string guide(path, length);
  guide.erase(guide.find_last_of('\\') + 1);
  guide += "lumox-guide.html";
  // A file URL keeps the section; a plain path would lose it on the way to
  // the browser.
  std::string url = "file:///";
  for (const char c : guide) {
    if (c == '\\') {
      url += '/';
    } else if (c == ' ') {
      url += "%20";
    } else {
      url += c;
    }
  }
  if (!section.empty()) url += "#" + section;
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

}  // namespace lumox::win32
