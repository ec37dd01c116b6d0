// The configuration property sheet: seventeen pages over the portable page
// models of src/config. The pages only move values between their controls
// and the models; the sheet owns the session the models share.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commctrl.h>

#include "config/config_session.h"
#include "config/main_page.h"
#include "config/module_page.h"

namespace lumox::win32 {

// The first message to the hidden dialog 2003 runs the whole sheet: the
// shared block, the palette, the module table, the sheet itself, the
// clean-up; the dialog then ends. Returns TRUE for every later message.
BOOL RunConfigSheet(HWND dialog);

// What the pages reach while the sheet runs.
ConfigSession& Session();
MainPage& MainModel();
ModulePage& ModuleModel(int moduleIndex);

// The page value every page keeps in its user word (DWLP_USER): the module
// index on module pages, 0 elsewhere.
void StorePageValue(HWND page, LPARAM propSheetPage);
int PageValue(HWND page);

// The main page asks to be told when a test run has ended (its list then
// changes): it receives kRefillDisplayList.
constexpr UINT kRefillDisplayList = WM_APP + 1;
void SetMainPageWindow(HWND page);

// For tests: file choosers and messages from a script instead of the
// common dialogs (null: the real ones), and the running sheet's window.
void SetConfigDialogsForTesting(ConfigDialogs* dialogs);
HWND CurrentConfigSheet();

}  // namespace lumox::win32
