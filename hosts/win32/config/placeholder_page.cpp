#include <string>

#include "config/config_sheet.h"
#include "config/pages.h"
#include "config_ids.h"

namespace lumox::win32 {

INT_PTR CALLBACK PlaceholderPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_INITDIALOG) return FALSE;
  StorePageValue(page, lParam);
  const auto* record = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
  const std::string text = std::string("The ") + record->pszTitle +
                           " settings will be on this page in a coming version.";
  SetDlgItemTextA(page, IDC_PLACEHOLDER_TEXT, text.c_str());
  return TRUE;
}

}  // namespace lumox::win32
