#include "platform/win32/win32_system.h"

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace lumox {

bool Win32SystemServices::LaunchProgram(const std::string& commandLine) {
  // WinExec reports success with a value above 31.
  return WinExec(commandLine.c_str(), SW_SHOWNORMAL) > 31;
}

void Win32SystemServices::Beep() { MessageBeep(0); }

bool Win32SystemServices::AskYesNo(const std::string& title, const std::string& text) {
  return MessageBoxA(GetActiveWindow(), text.c_str(), title.c_str(),
                     MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void Win32SystemServices::DebugOutput(const std::string& text) {
  OutputDebugStringA(text.c_str());
}

}  // namespace lumox
