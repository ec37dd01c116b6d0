// "Custom": the custom palette editor. The 236 colours are drawn as a grid
// through the page's own logical palette (so that on a palette screen the
// cells change in place when the colours do); mouse presses, drags and
// releases on the grid select a range; every button and trackbar goes to
// the page's CustomPaletteEditor model.

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "config/config_sheet.h"
#include "config/custom_palette.h"
#include "config/pages.h"
#include "config/user_guide.h"
#include "config_ids.h"
#include "state/saver_state.h"

namespace lumox::win32 {

namespace {

constexpr std::array<int, kChannels> kLevelTrackbars = {IDC_LEVEL_RED, IDC_LEVEL_GREEN,
                                                        IDC_LEVEL_BLUE};
constexpr std::array<int, kChannels> kMaskBoxes = {IDC_CHANNEL_RED, IDC_CHANNEL_GREEN,
                                                   IDC_CHANNEL_BLUE};
constexpr int kLevelTickFrequency = 11;

std::unique_ptr<CustomPaletteEditor> editor;
HPALETTE editorPalette = nullptr;

std::vector<PALETTEENTRY> PaletteEntries() {
  std::vector<PALETTEENTRY> entries(kPaletteEntries);
  for (int i = 0; i < kPaletteEntries; ++i) {
    const CustomColor& color = editor->Colors()[i];
    entries[i] = {color.red, color.green, color.blue, PC_RESERVED};
  }
  return entries;
}

HPALETTE CreateEditorPalette() {
  std::vector<uint8_t> storage(sizeof(LOGPALETTE) + kPaletteEntries * sizeof(PALETTEENTRY));
  auto* logical = reinterpret_cast<LOGPALETTE*>(storage.data());
  logical->palVersion = 0x300;
  logical->palNumEntries = kPaletteEntries;
  const std::vector<PALETTEENTRY> entries = PaletteEntries();
  std::copy(entries.begin(), entries.end(), logical->palPalEntry);
  return CreatePalette(logical);
}

HWND Grid(HWND page) { return GetDlgItem(page, IDC_PALETTE_GRID); }

// The colours into the editor palette, and the grid redrawn with them.
void ShowColors(HWND page) {
  const std::vector<PALETTEENTRY> entries = PaletteEntries();
  AnimatePalette(editorPalette, 0, kPaletteEntries, entries.data());
  InvalidateRect(Grid(page), nullptr, FALSE);
}

// The controls after a selection or an operation.
void Refresh(HWND page) {
  EnableWindow(GetDlgItem(page, IDC_OP_REVERSE), editor->CanReverseOrBlend());
  EnableWindow(GetDlgItem(page, IDC_OP_GRADIENT), editor->CanReverseOrBlend());
  const CustomPaletteEditor::Levels levels = editor->TrackbarPositions();
  for (int channel = kRed; channel <= kBlue; ++channel) {
    HWND trackbar = GetDlgItem(page, kLevelTrackbars[channel]);
    EnableWindow(trackbar, editor->TrackbarEnabled(channel));
    SendMessageA(trackbar, TBM_SETPOS, TRUE, levels[channel]);
    CheckDlgButton(page, kMaskBoxes[channel], editor->Masked(channel) ? BST_CHECKED : BST_UNCHECKED);
  }
  ShowColors(page);
}

void DrawGrid(const DRAWITEMSTRUCT& item) {
  const int width = item.rcItem.right - item.rcItem.left;
  const int height = item.rcItem.bottom - item.rcItem.top;
  HPALETTE old = SelectPalette(item.hDC, editorPalette, FALSE);
  RealizePalette(item.hDC);
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  const EntryRange selection = editor->Selection();
  HBRUSH frames[2] = {static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)),
                      static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))};
  for (int entry = 0; entry < kPaletteEntries; ++entry) {
    const GridRect cell = GridCell(entry, width, height);
    RECT place{cell.left, cell.top, cell.right, cell.bottom};
    const bool selected = entry >= selection.first && entry <= selection.last;
    FrameRect(item.hDC, &place, frames[selected ? 1 : 0]);
    InflateRect(&place, -1, -1);
    HBRUSH fill = CreateSolidBrush(PALETTEINDEX(entry));
    FillRect(item.hDC, &place, fill);
    DeleteObject(fill);
  }
  SelectPalette(item.hDC, old, FALSE);
}

int HitEntry(HWND grid, LPARAM lParam) {
  RECT client{};
  GetClientRect(grid, &client);
  return GridHitTest(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)),
                     client.right, client.bottom);
}

// The grid's mouse: press starts a selection, a drag extends it, the
// release ends it (and carries out a pending Copy To or Merge To).
LRESULT CALLBACK GridSubclass(HWND grid, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR) {
  HWND page = GetParent(grid);
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      SetFocus(grid);
      SetCapture(grid);
      editor->Press(HitEntry(grid, lParam));
      InvalidateRect(grid, nullptr, FALSE);
      return 0;
    case WM_MOUSEMOVE: {
      RECT client{};
      GetClientRect(grid, &client);
      const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      if (editor->Dragging() && PtInRect(&client, at)) {
        const EntryRange before = editor->Selection();
        editor->Move(HitEntry(grid, lParam));
        const EntryRange after = editor->Selection();
        if (before.first != after.first || before.last != after.last) InvalidateRect(grid, nullptr, FALSE);
      }
      return 0;
    }
    case WM_LBUTTONUP:
      if (editor->Dragging()) {
        ReleaseCapture();
        editor->Release();
        Refresh(page);
      }
      return 0;
    case WM_NCDESTROY:
      RemoveWindowSubclass(grid, GridSubclass, 0);
      break;
    default:
      break;
  }
  return DefSubclassProc(grid, message, wParam, lParam);
}

void Initialise(HWND page, LPARAM lParam) {
  StorePageValue(page, lParam);
  editor = std::make_unique<CustomPaletteEditor>(Saver().palette->custom,
                                                 [] { Session().SetModified(); });
  editorPalette = CreateEditorPalette();
  for (int trackbar : kLevelTrackbars) {
    SendDlgItemMessageA(page, trackbar, TBM_SETRANGE, FALSE, MAKELPARAM(0, 255));
    SendDlgItemMessageA(page, trackbar, TBM_SETTICFREQ, kLevelTickFrequency, 0);
    SendDlgItemMessageA(page, trackbar, TBM_SETPOS, TRUE, 0);
  }
  SetWindowSubclass(Grid(page), GridSubclass, 0, 0);
}

void TrackbarMoved(HWND page, int code) {
  if (code == TB_ENDTRACK) {
    editor->EndTrackbarDrag();
    return;
  }
  CustomPaletteEditor::Levels levels{};
  for (int channel = kRed; channel <= kBlue; ++channel) {
    levels[channel] = static_cast<int>(SendDlgItemMessageA(page, kLevelTrackbars[channel], TBM_GETPOS, 0, 0));
  }
  editor->MoveTrackbars(levels);
  ShowColors(page);
}

void Command(HWND page, int id) {
  for (int channel = kRed; channel <= kBlue; ++channel) {
    if (id == kMaskBoxes[channel]) {
      editor->SetMasked(channel, IsDlgButtonChecked(page, id) == BST_CHECKED);
      Refresh(page);
      return;
    }
  }
  switch (id) {
    case IDC_OP_RANDOM: editor->Randomize(); break;
    case IDC_OP_NEGATIVE: editor->Negative(); break;
    case IDC_OP_REVERSE: editor->Reverse(); break;
    case IDC_OP_GRADIENT: editor->Gradient(); break;
    case IDC_OP_SMOOTH: editor->Smooth(); break;
    case IDC_OP_ROUGH: editor->Rough(); break;
    case IDC_OP_SHIFT: editor->Shift(); break;
    case IDC_OP_COPY_TO: editor->CopyTo(); break;
    case IDC_OP_MERGE_TO: editor->MergeTo(); break;
    case IDC_OP_UNDO: editor->Undo(); break;
    case IDC_PAL_IMPORT: editor->Import(Session()); break;
    case IDC_PAL_EXPORT: editor->Export(Session()); break;
    case IDC_CUSTOM_TEST: Session().TestRun(); return;
    case IDC_HELP_BUTTON: OpenUserGuide(kCustomPaletteGuideSection); return;
    default: return;
  }
  Refresh(page);
}

}  // namespace

INT_PTR CALLBACK CustomPalettePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      Initialise(page, lParam);
      return TRUE;
    case WM_DESTROY:
      editor.reset();
      DeleteObject(editorPalette);
      editorPalette = nullptr;
      return FALSE;
    case WM_DRAWITEM:
      if (wParam != IDC_PALETTE_GRID) return FALSE;
      DrawGrid(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_HSCROLL:
      if (lParam) TrackbarMoved(page, LOWORD(wParam));
      return TRUE;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) Command(page, LOWORD(wParam));
      return TRUE;
    case WM_NOTIFY:
      if (reinterpret_cast<const NMHDR*>(lParam)->code == PSN_SETACTIVE) {
        Refresh(page);
        SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace lumox::win32
