#include "config/control_row.h"

#include <commctrl.h>

#include <array>

#include "config/module_page.h"
#include "config_ids.h"

namespace lumox::win32 {

namespace {

constexpr int kRowHeight = 12;
// The longest number a box takes: "-2147483648".
constexpr int kNumberBoxLimit = 11;

// One element of a row: its identifier base, class, styles, and place in
// dialog units relative to the row's x and y.
struct RowElement {
  int idBase;
  const char* windowClass;
  DWORD style;
  DWORD exStyle;
  int x, y, width, height;
};

constexpr DWORD kTrackbarStyle = WS_BORDER | WS_TABSTOP | TBS_AUTOTICKS;
constexpr DWORD kBoxStyle = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;

const std::array<RowElement, 9> kRowElements = {{
    // A little wider than the rest of the row's grid, so that two-word
    // labels stay on one line; a longer one ends in an ellipsis.
    {IDC_ROW_LABEL, "STATIC", SS_RIGHT | SS_ENDELLIPSIS, 0, -64, 2, 60, kRowHeight},
    {IDC_ROW_VALUE_TRACKBAR, TRACKBAR_CLASSA, kTrackbarStyle, 0, 0, 0, 174, kRowHeight},
    {IDC_ROW_RANGE_LO_TRACKBAR, TRACKBAR_CLASSA, kTrackbarStyle, 0, 0, 0, 62, kRowHeight},
    {IDC_ROW_RANGE_LO_BOX, "EDIT", kBoxStyle, WS_EX_CLIENTEDGE, 62, 0, 22, kRowHeight},
    {IDC_ROW_RANGE_HI_TRACKBAR, TRACKBAR_CLASSA, kTrackbarStyle, 0, 84, 0, 62, kRowHeight},
    {IDC_ROW_RANGE_HI_BOX, "EDIT", kBoxStyle, WS_EX_CLIENTEDGE, 146, 0, 22, kRowHeight},
    {IDC_ROW_SENSE_BOX, "EDIT", WS_BORDER | ES_READONLY, WS_EX_CLIENTEDGE, 169, 0, 27, kRowHeight},
    {IDC_ROW_VALUE_BOX, "EDIT", kBoxStyle, WS_EX_CLIENTEDGE, 174, 0, 22, kRowHeight},
    {IDC_ROW_SOURCE, "COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, 198, 0, 46, 96},
}};

}  // namespace

void BuildControlRow(HWND page, int index, int x, int y, bool visible, const std::string& label,
                     const std::vector<const char*>& sources, HFONT font) {
  const DWORD shown = visible ? WS_VISIBLE : 0;
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  for (const RowElement& element : kRowElements) {
    RECT place{x + element.x, y + element.y, x + element.x + element.width,
               y + element.y + element.height};
    MapDialogRect(page, &place);
    const char* text = element.idBase == IDC_ROW_LABEL ? label.c_str() : "";
    HWND window = CreateWindowExA(
        element.exStyle, element.windowClass, text, WS_CHILD | shown | element.style, place.left,
        place.top, place.right - place.left, place.bottom - place.top, page,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(element.idBase + index)), instance, nullptr);
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (element.windowClass == std::string("EDIT")) SendMessageA(window, EM_LIMITTEXT, kNumberBoxLimit, 0);
  }
  // The sense arrows sit at the left end of the sense box.
  RECT sense{x + 169, y, x + 196, y + kRowHeight};
  MapDialogRect(page, &sense);
  HWND arrows = CreateUpDownControl(
      WS_CHILD | WS_BORDER | shown | UDS_ALIGNLEFT | UDS_ARROWKEYS, sense.left, sense.top,
      sense.right - sense.left, sense.bottom - sense.top, page, IDC_ROW_SENSE_ARROWS + index,
      instance, GetDlgItem(page, IDC_ROW_SENSE_BOX + index), kSenseMaximum, kSenseMinimum, 7);
  SendMessageA(arrows, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

  HWND list = GetDlgItem(page, IDC_ROW_SOURCE + index);
  for (const char* source : sources) {
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(source));
  }
}

}  // namespace lumox::win32
