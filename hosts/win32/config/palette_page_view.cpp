// "Palette": the ten colour parameter rows of the selected channel, its
// colour effect, and a preview strip of the palette animating with the
// page's settings. Every event goes to the page's PalettePage model; CTRL
// held down makes a change for all three channels.

#include <array>
#include <memory>
#include <string>

#include "config/config_sheet.h"
#include "config/control_row.h"
#include "config/pages.h"
#include "config/palette_page.h"
#include "config/user_guide.h"
#include "config_ids.h"
#include "control/controls.h"
#include "palette/palette.h"
#include "palette/palette_thread.h"
#include "state/saver_state.h"

namespace lumox::win32 {

namespace {

constexpr int kRowX = 70;
constexpr int kRowTop = 18;
constexpr int kRowSpacing = 13;
constexpr UINT_PTR kPreviewTimer = 1;

constexpr std::array<int, kChannels> kChannelButtons = {IDC_CHANNEL_RED, IDC_CHANNEL_GREEN,
                                                        IDC_CHANNEL_BLUE};
// The effect buttons in effect order (Ramp 0 .. Custom 6).
constexpr std::array<int, 7> kEffectButtons = {IDC_EFFECT_RAMP,     IDC_EFFECT_FADE,
                                               IDC_EFFECT_SMOOTH,   IDC_EFFECT_COARSE,
                                               IDC_EFFECT_BLACKOUT, IDC_EFFECT_RANDOM,
                                               IDC_EFFECT_CUSTOM};

struct NumberIds {
  PaletteField field;
  int trackbar;
  int box;
};
constexpr std::array<NumberIds, 3> kNumbers = {{
    {PaletteField::Value, IDC_ROW_VALUE_TRACKBAR, IDC_ROW_VALUE_BOX},
    {PaletteField::RangeLo, IDC_ROW_RANGE_LO_TRACKBAR, IDC_ROW_RANGE_LO_BOX},
    {PaletteField::RangeHi, IDC_ROW_RANGE_HI_TRACKBAR, IDC_ROW_RANGE_HI_BOX},
}};

std::unique_ptr<PalettePage> model;
HBRUSH whiteBrush = nullptr;
// The preview animates a palette of its own: the animation draws Random
// values and turns directions round in the settings it runs on, and the
// user's settings must stay as the user set them.
PaletteState* preview = nullptr;

bool CtrlDown() { return GetKeyState(VK_CONTROL) < 0; }

// The row an identifier of the given base belongs to, or -1.
int RowOf(int id, int idBase) {
  return id >= idBase && id < idBase + kPaletteParameters ? id - idBase : -1;
}

int32_t Position(HWND page, int idBase, int row) {
  return static_cast<int32_t>(SendDlgItemMessageA(page, idBase + row, TBM_GETPOS, 0, 0));
}

void SetUpNumber(HWND page, int row, const NumberIds& number, const PaletteRowView& view) {
  const int32_t position = number.field == PaletteField::Value     ? view.value
                           : number.field == PaletteField::RangeLo ? view.rangeLo
                                                                   : view.rangeHi;
  HWND trackbar = GetDlgItem(page, number.trackbar + row);
  SendMessageA(trackbar, TBM_SETRANGEMIN, FALSE, view.minimum);
  SendMessageA(trackbar, TBM_SETRANGEMAX, FALSE, view.maximum);
  SendMessageA(trackbar, TBM_SETTICFREQ, static_cast<WPARAM>(view.tickFrequency), 0);
  SendMessageA(trackbar, TBM_SETPOS, TRUE, position);
  SetDlgItemInt(page, number.box + row, static_cast<UINT>(position), TRUE);
}

void ShowRowControls(HWND page, int row, bool showValue) {
  const int valueShown = showValue ? SW_SHOW : SW_HIDE;
  const int rangeShown = showValue ? SW_HIDE : SW_SHOW;
  for (int idBase : {IDC_ROW_VALUE_TRACKBAR, IDC_ROW_VALUE_BOX}) {
    ShowWindow(GetDlgItem(page, idBase + row), valueShown);
  }
  for (int idBase : {IDC_ROW_RANGE_LO_TRACKBAR, IDC_ROW_RANGE_LO_BOX, IDC_ROW_RANGE_HI_TRACKBAR,
                     IDC_ROW_RANGE_HI_BOX, IDC_ROW_SENSE_BOX, IDC_ROW_SENSE_ARROWS}) {
    ShowWindow(GetDlgItem(page, idBase + row), rangeShown);
  }
}

void ShowSense(HWND page, int row, int32_t sense) {
  SetDlgItemInt(page, IDC_ROW_SENSE_BOX + row, static_cast<UINT>(sense), TRUE);
  SendDlgItemMessageA(page, IDC_ROW_SENSE_ARROWS + row, UDM_SETPOS32, 0, sense);
}

void ShowEffect(HWND page) {
  for (size_t effect = 0; effect < kEffectButtons.size(); ++effect) {
    const bool chosen = static_cast<int32_t>(effect) == model->Effect();
    CheckDlgButton(page, kEffectButtons[effect], chosen ? BST_CHECKED : BST_UNCHECKED);
  }
}

void Refresh(HWND page) {
  for (int row = 0; row < kPaletteParameters; ++row) {
    const PaletteRowView view = model->Row(row);
    ShowRowControls(page, row, view.showValue);
    for (const NumberIds& number : kNumbers) SetUpNumber(page, row, number, view);
    ShowSense(page, row, view.sense);
    SendDlgItemMessageA(page, IDC_ROW_SOURCE + row, CB_SETCURSEL, static_cast<WPARAM>(view.source), 0);
  }
  ShowEffect(page);
  // The boxes take the channel's text colour.
  InvalidateRect(page, nullptr, TRUE);
}

// The preview starts each channel's effect afresh from the page's settings
// and then animates as the saver would.
void RestartPreview(HWND page) {
  preview->settings = Saver().palette->settings;
  preview->custom = Saver().palette->custom;
  PaletteThreadBegin(*preview);
  SetTimer(page, kPreviewTimer, PaletteStepInterval(*preview), nullptr);
}

void Initialise(HWND page, LPARAM lParam) {
  StorePageValue(page, lParam);
  // Every change shows in the preview at once.
  model = std::make_unique<PalettePage>(Saver().palette->settings, [page] {
    Session().SetModified();
    RestartPreview(page);
  });
  whiteBrush = CreateSolidBrush(RGB(255, 255, 255));
  preview = CreatePaletteState(nullptr);
  const auto font = reinterpret_cast<HFONT>(SendMessageA(page, WM_GETFONT, 0, 0));
  const std::vector<const char*> allSources = FillSourceList(true);
  for (int row = 0; row < kPaletteParameters; ++row) {
    const int count = model->Row(row).sourceCount;
    const std::vector<const char*> sources(allSources.begin(), allSources.begin() + count);
    BuildControlRow(page, row, kRowX, kRowTop + row * kRowSpacing, true, kPaletteRowLabels[row],
                    sources, font);
  }
}

void Activate(HWND page) {
  for (int channel = kRed; channel <= kBlue; ++channel) {
    const bool selected = channel == model->SelectedChannel();
    CheckDlgButton(page, kChannelButtons[channel], selected ? BST_CHECKED : BST_UNCHECKED);
  }
  Refresh(page);
  RestartPreview(page);
}

void StepPreview(HWND page) {
  // The saver stops animating the palette of a screen without one after a
  // few steps; the preview keeps going whatever the screen.
  preview->Animate = 1;
  preview->StepsSinceChange = 0;
  PaletteThreadStep(*preview);
  InvalidateRect(GetDlgItem(page, IDC_PALETTE_PREVIEW), nullptr, FALSE);
  SetTimer(page, kPreviewTimer, PaletteStepInterval(*preview), nullptr);
}

// The 256 colours of the screen, one thin column each.
void DrawPreview(const DRAWITEMSTRUCT& item) {
  const auto colors = PreviewColors(*preview);
  const RECT& area = item.rcItem;
  const int width = area.right - area.left;
  for (int i = 0; i < static_cast<int>(colors.size()); ++i) {
    const RECT column{area.left + i * width / 256, area.top, area.left + (i + 1) * width / 256,
                      area.bottom};
    const gfx::Rgb c = colors[i];
    SetBkColor(item.hDC, RGB(c.red, c.green, c.blue));
    ExtTextOutA(item.hDC, 0, 0, ETO_OPAQUE, &column, nullptr, 0, nullptr);
  }
}

void NumberTyped(HWND page, int id) {
  for (const NumberIds& number : kNumbers) {
    const int row = RowOf(id, number.box);
    if (row < 0) continue;
    char text[32] = {};
    GetDlgItemTextA(page, id, text, sizeof text);
    const int32_t stored = model->EnterNumber(row, number.field, text);
    SetUpNumber(page, row, number, model->Row(row));
    SetDlgItemInt(page, id, static_cast<UINT>(stored), TRUE);
    return;
  }
}

void TrackbarMoved(HWND page, HWND trackbar) {
  const int id = GetDlgCtrlID(trackbar);
  for (const NumberIds& number : kNumbers) {
    const int row = RowOf(id, number.trackbar);
    if (row < 0) continue;
    SetDlgItemInt(page, number.box + row, static_cast<UINT>(Position(page, number.trackbar, row)), TRUE);
    model->MoveTrackbars(row, Position(page, IDC_ROW_VALUE_TRACKBAR, row),
                         Position(page, IDC_ROW_RANGE_LO_TRACKBAR, row),
                         Position(page, IDC_ROW_RANGE_HI_TRACKBAR, row), CtrlDown());
    return;
  }
}

void Command(HWND page, int id, int code) {
  if (code == EN_KILLFOCUS) {
    NumberTyped(page, id);
    return;
  }
  if (code == CBN_SELCHANGE && RowOf(id, IDC_ROW_SOURCE) >= 0) {
    const int row = RowOf(id, IDC_ROW_SOURCE);
    const auto chosen = SendDlgItemMessageA(page, id, CB_GETCURSEL, 0, 0);
    model->ChooseSource(row, static_cast<int32_t>(chosen), CtrlDown());
    ShowRowControls(page, row, model->Row(row).showValue);
    return;
  }
  if (code != BN_CLICKED) return;
  for (int channel = kRed; channel <= kBlue; ++channel) {
    if (id == kChannelButtons[channel]) {
      model->SelectChannel(channel);
      Refresh(page);
      return;
    }
  }
  for (size_t effect = 0; effect < kEffectButtons.size(); ++effect) {
    if (id == kEffectButtons[effect]) {
      if (IsDlgButtonChecked(page, id) == BST_CHECKED) model->ChooseEffect(static_cast<int32_t>(effect), CtrlDown());
      return;
    }
  }
  if (id == IDC_TEST_ALL) Session().TestRun();
  if (id == IDC_HELP_BUTTON) OpenUserGuide(kPaletteGuideSection);
}

bool ArrowsMoved(HWND page, const NMUPDOWN& change) {
  const int row = RowOf(static_cast<int>(change.hdr.idFrom), IDC_ROW_SENSE_ARROWS);
  if (row < 0) return false;
  ShowSense(page, row, model->StepSense(row, change.iDelta, CtrlDown()));
  return true;
}

INT_PTR BoxColors(HDC dc) {
  const gfx::Rgb text = model->TextColor();
  SetTextColor(dc, RGB(text.red, text.green, text.blue));
  SetBkColor(dc, RGB(255, 255, 255));
  return reinterpret_cast<INT_PTR>(whiteBrush);
}

}  // namespace

INT_PTR CALLBACK PalettePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      Initialise(page, lParam);
      return TRUE;
    case WM_DESTROY:
      KillTimer(page, kPreviewTimer);
      model.reset();
      DeleteObject(whiteBrush);
      whiteBrush = nullptr;
      ReleasePaletteState(preview);
      preview = nullptr;
      return FALSE;
    case WM_TIMER:
      if (wParam == kPreviewTimer) StepPreview(page);
      return TRUE;
    case WM_DRAWITEM:
      if (wParam != IDC_PALETTE_PREVIEW) return FALSE;
      DrawPreview(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return model ? BoxColors(reinterpret_cast<HDC>(wParam)) : FALSE;
    case WM_HSCROLL:
      if (lParam) TrackbarMoved(page, reinterpret_cast<HWND>(lParam));
      return TRUE;
    case WM_COMMAND:
      Command(page, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->code == PSN_SETACTIVE) {
        Activate(page);
        SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
        return TRUE;
      }
      if (header->code == PSN_KILLACTIVE) {
        KillTimer(page, kPreviewTimer);
        SetWindowLongPtrA(page, DWLP_MSGRESULT, FALSE);
        return TRUE;
      }
      if (header->code == UDN_DELTAPOS && ArrowsMoved(page, *reinterpret_cast<const NMUPDOWN*>(lParam))) {
        SetWindowLongPtrA(page, DWLP_MSGRESULT, TRUE);
        return TRUE;
      }
      return FALSE;
    }
    default:
      return FALSE;
  }
}

}  // namespace lumox::win32
