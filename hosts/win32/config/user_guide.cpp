#include "config/user_guide.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>

#include "config/config_sheet.h"
#include "platform/program_path.h"

namespace lumox::win32 {

bool OpenUserGuide(const std::string& section) {
  const std::string folder = ProgramFolder();
  if (folder.empty()) return false;
  const std::string guide = folder + "\\lumox-guide.html";
  if (GetFileAttributesA(guide.c_str()) == INVALID_FILE_ATTRIBUTES) {
    Session().dialogs().ShowMessage("Help", "The user guide is missing: " + guide +
                                                " should have been installed beside the saver.",
                                    MessageIcon::kError);
    return false;
  }
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
  if (result > 32) return true;
  Session().dialogs().ShowMessage("Help", "No program could open the user guide " + guide + ".",
                                  MessageIcon::kError);
  return false;
}

}  // namespace lumox::win32
