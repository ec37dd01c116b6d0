// The Windows 95 family's screen-saver password, through the system's own
// libraries. Both are loaded only when present and skipped silently
// otherwise; the NT family handles passwords itself and never gets here.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string_view>

namespace lumox::win32 {

// The system's saver-running state (SystemParametersInfo action 97), which
// keeps the task-switch keys away while a password protects the saver.
constexpr UINT kSpiScreenSaverRunning = 97;

// True on the Windows 95 family (platform identifier 1).
bool IsWindows95Family();

// The password check on dismissal: "VerifyScreenSavePwd" of PASSWORD.CPL,
// set up when the user asked for a password ("ScreenSaveUsePassword").
class PasswordCheck {
 public:
  PasswordCheck() = default;
  ~PasswordCheck() { Release(); }
  PasswordCheck(const PasswordCheck&) = delete;
  PasswordCheck& operator=(const PasswordCheck&) = delete;

  // Loads the library when a password is in use (95 family only) and sets
  // the saver-running state on while the check is held.
  void Prepare(bool family95);
  void Release();
  bool available() const { return verify_ != nullptr; }
  // Asks the user; true when the password was accepted.
  bool Verify(HWND window) const;

 private:
  using VerifyFunction = BOOL(WINAPI*)(HWND);
  HMODULE library_ = nullptr;
  VerifyFunction verify_ = nullptr;
  bool family95_ = false;
};

// Password change (/a): the owner is the decimal window handle in the text
// when it names a window, else the foreground window. Calls
// "PwdChangePasswordA" of MPR.DLL when there is one. Always returns 0.
int ChangePassword(std::string_view ownerText);

}  // namespace lumox::win32
