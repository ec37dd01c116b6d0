// A module page: the frame comes from the template, one row of controls per
// defined control of the module is made here, and every event goes to the
// page's ModulePage model.

#include <array>
#include <string>
#include <vector>

#include "config/config_sheet.h"
#include "config/control_row.h"
#include "config/pages.h"
#include "config/user_guide.h"
#include "config_ids.h"
#include "platform/import_filters.h"
#include "platform/registry_store.h"
#include "state/module.h"

namespace lumox::win32 {

namespace {

constexpr int kRowX = 70;
constexpr int kRowTop = 20;
constexpr int kSlideShowRowTop = 47;
constexpr int kRowSpacing = 15;

struct NumberIds {
  RowNumber which;
  int trackbar;
  int box;
};
constexpr std::array<NumberIds, 3> kNumbers = {{
    {RowNumber::Value, IDC_ROW_VALUE_TRACKBAR, IDC_ROW_VALUE_BOX},
    {RowNumber::RangeLo, IDC_ROW_RANGE_LO_TRACKBAR, IDC_ROW_RANGE_LO_BOX},
    {RowNumber::RangeHi, IDC_ROW_RANGE_HI_TRACKBAR, IDC_ROW_RANGE_HI_BOX},
}};

// Which row and which of its numbers an identifier belongs to.
bool FindNumber(int id, bool trackbar, int& control, const NumberIds*& number) {
  for (const NumberIds& candidate : kNumbers) {
    const int base = trackbar ? candidate.trackbar : candidate.box;
    if (id >= base && id < base + kControlsPerModule) {
      control = id - base;
      number = &candidate;
      return true;
    }
  }
  return false;
}

ModulePage& Model(HWND page) { return ModuleModel(PageValue(page)); }

HWND Element(HWND page, int idBase, int control) { return GetDlgItem(page, idBase + control); }

void Show(HWND page, int idBase, int control, bool shown) {
  if (HWND element = Element(page, idBase, control)) ShowWindow(element, shown ? SW_SHOW : SW_HIDE);
}

void BuildRow(HWND page, const ModulePage& model, int control, HFONT font) {
  int top = PageValue(page) == kBitmap ? kSlideShowRowTop : kRowTop;
  // The slide show's rows leave room for its file fields; its strength row
  // closes up to the others.
  if (PageValue(page) == kBitmap && control == kStrengthSlot) top -= 27;
  const int y = top + (control % kRowsPerPage) * kRowSpacing;
  BuildControlRow(page, control, kRowX, y, control < kRowsPerPage, model.Label(control),
                  model.SourceList(control), font);
}

void SetUpNumber(HWND page, const ModulePage& model, int control, const NumberIds& number) {
  const TrackbarSetup setup = model.Trackbar(control, number.which);
  HWND trackbar = Element(page, number.trackbar, control);
  SendMessageA(trackbar, TBM_SETRANGEMIN, FALSE, setup.minimum);
  SendMessageA(trackbar, TBM_SETRANGEMAX, FALSE, setup.maximum);
  SendMessageA(trackbar, TBM_SETTICFREQ, static_cast<WPARAM>(setup.tickFrequency), 0);
  SendMessageA(trackbar, TBM_SETPOS, TRUE, setup.position);
  SetDlgItemInt(page, number.box + control, static_cast<UINT>(setup.position), TRUE);
}

void ShowSense(HWND page, const ModulePage& model, int control) {
  SetDlgItemInt(page, IDC_ROW_SENSE_BOX + control, static_cast<UINT>(model.Sense(control)), TRUE);
  SendMessageA(Element(page, IDC_ROW_SENSE_ARROWS, control), UDM_SETPOS32, 0, model.Sense(control));
}

void Refresh(HWND page) {
  const ModulePage& model = Model(page);
  for (int control : model.Rows()) {
    const RowVisibility shown = model.Visibility(control);
    Show(page, IDC_ROW_LABEL, control, shown.labelAndSource);
    Show(page, IDC_ROW_SOURCE, control, shown.labelAndSource);
    Show(page, IDC_ROW_VALUE_TRACKBAR, control, shown.value);
    Show(page, IDC_ROW_VALUE_BOX, control, shown.value);
    for (int idBase : {IDC_ROW_RANGE_LO_TRACKBAR, IDC_ROW_RANGE_LO_BOX, IDC_ROW_RANGE_HI_TRACKBAR,
                       IDC_ROW_RANGE_HI_BOX, IDC_ROW_SENSE_BOX, IDC_ROW_SENSE_ARROWS}) {
      Show(page, idBase, control, shown.range);
    }
    for (const NumberIds& number : kNumbers) SetUpNumber(page, model, control, number);
    ShowSense(page, model, control);
    SendMessageA(Element(page, IDC_ROW_SOURCE, control), CB_SETCURSEL,
                 static_cast<WPARAM>(model.Source(control)), 0);
  }
  const int pageControls = model.HasSecondPage() ? SW_SHOW : SW_HIDE;
  ShowWindow(GetDlgItem(page, IDC_PAGE_ARROWS), pageControls);
  ShowWindow(GetDlgItem(page, IDC_PAGE_TEXT), pageControls);
  SetDlgItemTextA(page, IDC_PAGE_TEXT, model.PageText().c_str());
  if (model.HasFileText()) SetDlgItemTextA(page, IDC_FILE_BOX, model.FileText().c_str());
}

std::vector<std::string> FilterExtensions() {
  std::vector<std::string> extensions;
  for (const ImportFilter& filter : RegisteredImportFilters(Registry())) {
    if (!filter.extension.empty()) extensions.push_back(filter.extension);
  }
  return extensions;
}

void Initialise(HWND page, LPARAM lParam) {
  StorePageValue(page, lParam);
  const ModulePage& model = Model(page);
  if (model.HasFileText()) {
    SetDlgItemTextA(page, IDC_FORMATS_BOX, PictureFormatsText(FilterExtensions()).c_str());
    SendDlgItemMessageA(page, IDC_FILE_BOX, EM_LIMITTEXT, kMaxFileText, 0);
  }
  const auto font = reinterpret_cast<HFONT>(SendMessageA(page, WM_GETFONT, 0, 0));
  for (int control : model.Rows()) BuildRow(page, model, control, font);
  SendDlgItemMessageA(page, IDC_PAGE_ARROWS, UDM_SETRANGE32, 1, 0);
}

void Activate(HWND page) {
  const ModulePage& model = Model(page);
  SetDlgItemTextA(page, IDC_TEST_MODULE, model.TestButtonText().c_str());
  SetDlgItemTextA(page, IDC_RESET_MODULE, model.ResetButtonText().c_str());
  SetDlgItemTextA(page, IDC_MODULE_GROUP, model.GroupText().c_str());
  Refresh(page);
}

std::string ItemText(HWND page, int id) {
  std::string text(1024, '\0');
  text.resize(static_cast<size_t>(GetDlgItemTextA(page, id, text.data(), static_cast<int>(text.size()))));
  return text;
}

void NumberTyped(HWND page, int id) {
  int control = 0;
  const NumberIds* number = nullptr;
  if (!FindNumber(id, false, control, number)) return;
  const TypedNumber typed = Model(page).TypeNumber(control, number->which, ItemText(page, id));
  if (typed.changed) SetUpNumber(page, Model(page), control, *number);
  SetDlgItemInt(page, id, static_cast<UINT>(typed.shown), TRUE);
}

void TrackbarMoved(HWND page, HWND trackbar) {
  int control = 0;
  const NumberIds* number = nullptr;
  if (!FindNumber(GetDlgCtrlID(trackbar), true, control, number)) return;
  const auto position = static_cast<int32_t>(SendMessageA(trackbar, TBM_GETPOS, 0, 0));
  Model(page).MoveTrackbar(control, number->which, position);
  SetDlgItemInt(page, number->box + control,
                static_cast<UINT>(Model(page).Number(control, number->which)), TRUE);
}

void Command(HWND page, int id, int code) {
  ModulePage& model = Model(page);
  if (code == EN_KILLFOCUS) {
    if (id == IDC_FILE_BOX) {
      if (!model.SetFileText(ItemText(page, id))) SetDlgItemTextA(page, id, model.FileText().c_str());
    } else {
      NumberTyped(page, id);
    }
    return;
  }
  if (code == CBN_SELCHANGE && id >= IDC_ROW_SOURCE && id < IDC_ROW_SOURCE + kControlsPerModule) {
    const auto chosen = SendDlgItemMessageA(page, id, CB_GETCURSEL, 0, 0);
    model.ChooseSource(id - IDC_ROW_SOURCE, static_cast<int32_t>(chosen & 0xFF));
    Refresh(page);
    return;
  }
  if (code != BN_CLICKED) return;
  switch (id) {
    case IDC_TEST_ALL:
      model.TestAll();
      break;
    case IDC_TEST_MODULE:
      model.TestModule();
      break;
    case IDC_RESET_MODULE:
      model.Reset();
      Refresh(page);
      break;
    case IDC_HELP_BUTTON:
      OpenUserGuide(ModuleGuideSection(model.moduleIndex()));
      break;
    case IDC_BROWSE:
      if (model.Browse(FilterExtensions())) SetDlgItemTextA(page, IDC_FILE_BOX, model.FileText().c_str());
      break;
    default:
      break;
  }
}

// The arrows' notices: the page arrows turn the page, a row's arrows its
// sense. The arrows' own position is always set from the model.
bool ArrowsMoved(HWND page, const NMUPDOWN& change) {
  const auto id = static_cast<int>(change.hdr.idFrom);
  if (id == IDC_PAGE_ARROWS) {
    if (Model(page).ChangePage(change.iDelta)) Refresh(page);
    return true;
  }
  if (id >= IDC_ROW_SENSE_ARROWS && id < IDC_ROW_SENSE_ARROWS + kControlsPerModule) {
    Model(page).ChangeSense(id - IDC_ROW_SENSE_ARROWS, change.iDelta);
    ShowSense(page, Model(page), id - IDC_ROW_SENSE_ARROWS);
    return true;
  }
  return false;
}

}  // namespace

INT_PTR CALLBACK ModulePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      Initialise(page, lParam);
      return TRUE;
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
      if (header->code == UDN_DELTAPOS && ArrowsMoved(page, *reinterpret_cast<const NMUPDOWN*>(lParam))) {
        // The arrows' position is the model's, not their own step.
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
