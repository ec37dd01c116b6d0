// The common open and save dialogs and the message box behind the page
// models' ConfigDialogs.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "config/config_session.h"

namespace lumox::win32 {

class CommonDialogs final : public ConfigDialogs {
 public:
  // `owner` is the window the dialogs belong to (the sheet, once it exists).
  void SetOwner(HWND owner) { owner_ = owner; }

  std::vector<std::string> AskOpenFiles(const FileRequest& request) override;
  std::string AskSaveFile(const FileRequest& request) override;
  void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override;

 private:
  HWND owner_ = nullptr;
};

}  // namespace lumox::win32
