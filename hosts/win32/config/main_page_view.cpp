// "Main Settings": moves the page's controls to and from its MainPage
// model and refills the saved-display list after each action.

#include <array>
#include <string>

#include "config/config_sheet.h"
#include "config/pages.h"
#include "config/user_guide.h"
#include "config_ids.h"
#include "state/saver_options.h"

namespace lumox::win32 {

namespace {

// The module check boxes in module order.
constexpr std::array<int, kModuleCount> kModuleBoxes = {
    IDC_BEZIER, IDC_CYCLIC, IDC_PATTERN, IDC_PLASMA,  IDC_POLYGON,    IDC_SPHERE,
    IDC_STAIN,  IDC_STAR,   IDC_VORTEX,  IDC_EFFECT,  IDC_SLIDE_SHOW, IDC_RANDOM};

struct PriorityButton {
  int id;
  int32_t priority;
};
// In the order their checks are read: a later checked button wins.
constexpr std::array<PriorityButton, 3> kPriorityButtons = {
    {{IDC_CPU_HIGH, kPriorityHigh}, {IDC_CPU_NORMAL, kPriorityNormal}, {IDC_CPU_LOW, kPriorityIdle}}};

constexpr int kTitlePageSize = 6;
// The longest name the box takes (the store's own limit).
constexpr int kNameLimit = 255;

bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

void FillControls(HWND page) {
  const MainOptions options = MainModel().Fill();
  HWND animate = GetDlgItem(page, IDC_ANIMATE);
  SendMessageA(animate, TBM_SETRANGE, FALSE, MAKELPARAM(0, kMaxFrameDelay));
  SendMessageA(animate, TBM_SETPAGESIZE, 0, 1);
  SendMessageA(animate, TBM_SETPOS, TRUE, options.frameDelay);
  HWND title = GetDlgItem(page, IDC_TITLE_SECONDS);
  SendMessageA(title, TBM_SETRANGE, FALSE, MAKELPARAM(0, kMaxTitleSeconds));
  SendMessageA(title, TBM_SETPAGESIZE, 0, kTitlePageSize);
  SendMessageA(title, TBM_SETTICFREQ, kTitlePageSize, 0);
  SendMessageA(title, TBM_SETPOS, TRUE, options.titleSeconds);
  SetDlgItemInt(page, IDC_TITLE_SECONDS_TEXT, static_cast<UINT>(options.titleSeconds), FALSE);
  for (int i = 0; i < kModuleCount; ++i) {
    CheckDlgButton(page, kModuleBoxes[i], options.active[i] ? BST_CHECKED : BST_UNCHECKED);
  }
  for (const PriorityButton& button : kPriorityButtons) {
    CheckDlgButton(page, button.id, options.priority == button.priority ? BST_CHECKED : BST_UNCHECKED);
  }
  CheckDlgButton(page, IDC_CLEAR_SCREEN, options.clearFirst ? BST_CHECKED : BST_UNCHECKED);
}

MainOptions ReadControls(HWND page) {
  MainOptions options;
  for (int i = 0; i < kModuleCount; ++i) options.active[i] = Checked(page, kModuleBoxes[i]);
  for (const PriorityButton& button : kPriorityButtons) {
    if (Checked(page, button.id)) options.priority = button.priority;
  }
  options.clearFirst = Checked(page, IDC_CLEAR_SCREEN);
  options.titleSeconds =
      static_cast<int32_t>(SendDlgItemMessageA(page, IDC_TITLE_SECONDS, TBM_GETPOS, 0, 0));
  options.frameDelay = static_cast<int32_t>(SendDlgItemMessageA(page, IDC_ANIMATE, TBM_GETPOS, 0, 0));
  return options;
}

void ShowBoxText(HWND page) {
  const std::string text = MainModel().BoxText();
  HWND box = GetDlgItem(page, IDC_SAVED_DISPLAYS);
  const auto item = SendMessageA(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
  if (item == CB_ERR) SetWindowTextA(box, text.c_str());
}

void FillList(HWND page) {
  HWND box = GetDlgItem(page, IDC_SAVED_DISPLAYS);
  SendMessageA(box, CB_RESETCONTENT, 0, 0);
  for (const std::string& name : MainModel().DisplayNames()) {
    SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  ShowBoxText(page);
}

std::string BoxText(HWND page) {
  std::string text(kNameLimit + 1, '\0');
  text.resize(static_cast<size_t>(
      GetDlgItemTextA(page, IDC_SAVED_DISPLAYS, text.data(), static_cast<int>(text.size()))));
  return text;
}

void ChooseListed(HWND page) {
  HWND box = GetDlgItem(page, IDC_SAVED_DISPLAYS);
  const auto item = SendMessageA(box, CB_GETCURSEL, 0, 0);
  if (item == CB_ERR) return;
  std::string name(static_cast<size_t>(SendMessageA(box, CB_GETLBTEXTLEN, item, 0)) + 1, '\0');
  name.resize(static_cast<size_t>(SendMessageA(box, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(name.data()))));
  if (!MainModel().Choose(name)) FillList(page);
  FillControls(page);
}

void OptionChanged(HWND page) {
  MainModel().OptionChanged();
  ShowBoxText(page);
}

void ShowVideoAdvice(HWND page) {
  HDC screen = GetDC(nullptr);
  const uint32_t colors = ScreenColorCount(GetDeviceCaps(screen, BITSPIXEL), GetDeviceCaps(screen, PLANES));
  ReleaseDC(nullptr, screen);
  SetDlgItemTextA(page, IDC_VIDEO_ADVICE, VideoModeAdvice(colors).c_str());
}

bool IsOption(int id) {
  for (int box : kModuleBoxes) {
    if (box == id) return true;
  }
  for (const PriorityButton& button : kPriorityButtons) {
    if (button.id == id) return true;
  }
  return id == IDC_CLEAR_SCREEN;
}

void Command(HWND page, int id, int code) {
  MainPage& model = MainModel();
  if (id == IDC_SAVED_DISPLAYS) {
    if (code == CBN_SELCHANGE) ChooseListed(page);
    return;
  }
  if (code != BN_CLICKED) return;
  if (IsOption(id)) {
    OptionChanged(page);
    return;
  }
  switch (id) {
    case IDC_SAVE_SELECTION:
      model.Save(BoxText(page), ReadControls(page));
      FillList(page);
      break;
    case IDC_DELETE_SELECTION:
      if (model.Delete(BoxText(page))) FillList(page);
      break;
    case IDC_EXPORT:
      model.Export(BoxText(page), ReadControls(page));
      FillList(page);
      break;
    case IDC_IMPORT:
      if (model.Import()) FillControls(page);
      FillList(page);
      break;
    case IDC_PREVIEW:
      model.Preview(ReadControls(page));
      break;
    case IDC_ABOUT:
      OpenUserGuide("");
      break;
    case IDC_HELP_BUTTON:
      OpenUserGuide(kMainGuideSection);
      break;
    default:
      break;
  }
}

INT_PTR Notify(HWND page, const NMHDR& header) {
  LONG_PTR result = 0;
  switch (header.code) {
    case PSN_SETACTIVE:
      if (Session().modified()) ShowBoxText(page);
      ShowVideoAdvice(page);
      break;
    case PSN_KILLACTIVE:
      MainModel().Leave(ReadControls(page));
      result = FALSE;
      break;
    case PSN_APPLY:
      MainModel().Apply(ReadControls(page));
      result = PSNRET_NOERROR;
      break;
    default:
      return FALSE;
  }
  SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace

INT_PTR CALLBACK MainPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      StorePageValue(page, lParam);
      SetMainPageWindow(page);
      SendDlgItemMessageA(page, IDC_SAVED_DISPLAYS, CB_LIMITTEXT, kNameLimit, 0);
      FillList(page);
      FillControls(page);
      SetDlgItemTextA(page, IDC_ABOUT, "About");
      return TRUE;
    case kRefillDisplayList:
      FillList(page);
      return TRUE;
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lParam) == GetDlgItem(page, IDC_TITLE_SECONDS)) {
        const auto seconds = SendMessageA(reinterpret_cast<HWND>(lParam), TBM_GETPOS, 0, 0);
        SetDlgItemInt(page, IDC_TITLE_SECONDS_TEXT, static_cast<UINT>(seconds), FALSE);
        OptionChanged(page);
      }
      return TRUE;
    case WM_COMMAND:
      Command(page, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_NOTIFY:
      return Notify(page, *reinterpret_cast<const NMHDR*>(lParam));
    default:
      return FALSE;
  }
}

}  // namespace lumox::win32
