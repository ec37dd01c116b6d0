#include "password_hooks.h"

#include "saver/command_line.h"

namespace lumox::win32 {

namespace {

// GetProcAddress gives a generic pointer; the libraries' own signatures are
// known, so the cast goes through an untyped function pointer.
template <typename Function>
Function LookUp(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

bool PasswordInUse() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return false;
  }
  DWORD value = 0;
  DWORD size = sizeof(value);
  bool inUse = RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, nullptr,
                                reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
               size == sizeof(value) && value != 0;
  RegCloseKey(key);
  return inUse;
}

}  // namespace

bool IsWindows95Family() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&version)) return false;
#pragma GCC diagnostic pop
  return version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

void PasswordCheck::Prepare(bool family95) {
  Release();
  family95_ = family95;
  if (!family95 || !PasswordInUse()) return;
  library_ = LoadLibraryA("PASSWORD.CPL");
  if (!library_) return;
  verify_ = LookUp<VerifyFunction>(library_, "VerifyScreenSavePwd");
  if (verify_) {
    SystemParametersInfoA(kSpiScreenSaverRunning, 1, nullptr, 0);
  } else {
    FreeLibrary(library_);
    library_ = nullptr;
  }
}

void PasswordCheck::Release() {
  if (!family95_ || !library_) return;
  FreeLibrary(library_);
  library_ = nullptr;
  if (verify_) {
    verify_ = nullptr;
    SystemParametersInfoA(kSpiScreenSaverRunning, 0, nullptr, 0);
  }
}

bool PasswordCheck::Verify(HWND window) const { return !verify_ || verify_(window) != FALSE; }

int ChangePassword(std::string_view ownerText) {
  HWND owner = reinterpret_cast<HWND>(ParseDecimal(ownerText));
  if (!owner || !IsWindow(owner)) owner = GetForegroundWindow();
  HMODULE library = LoadLibraryA("MPR.DLL");
  if (!library) return 0;
  using ChangeFunction = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, LPVOID);
  if (auto change = LookUp<ChangeFunction>(library, "PwdChangePasswordA")) {
    change("SCRSAVE", owner, 0, nullptr);
  }
  FreeLibrary(library);
  return 0;
}

}  // namespace lumox::win32
