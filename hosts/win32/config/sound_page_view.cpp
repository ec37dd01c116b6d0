// "Sound": the four global sound options, the player's status and its
// launch, bound to the page's SoundPage model.

#include <memory>

#include "config/config_sheet.h"
#include "config/pages.h"
#include "config/sound_page.h"
#include "config/user_guide.h"
#include "config_ids.h"
#include "control/sound_link.h"
#include "control/sound_share.h"
#include "state/saver_state.h"

namespace lumox::win32 {

namespace {

std::unique_ptr<SoundPage> model;

bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

void Check(HWND page, int id, bool on) { CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED); }

void ShowChecks(HWND page) {
  const SoundChecks& checks = model->Checks();
  Check(page, IDC_TURBO_MODE, checks.turboMode);
  Check(page, IDC_AUTO_RUN_PLAYER, checks.autoRunPlayer);
  Check(page, IDC_AUTO_GAIN, checks.autoAdjustGain);
  Check(page, IDC_SHOW_CD_INFO, checks.displayCdInfo);
}

SoundChecks ReadChecks(HWND page) {
  SoundChecks checks;
  checks.turboMode = Checked(page, IDC_TURBO_MODE);
  checks.autoRunPlayer = Checked(page, IDC_AUTO_RUN_PLAYER);
  checks.autoAdjustGain = Checked(page, IDC_AUTO_GAIN);
  checks.displayCdInfo = Checked(page, IDC_SHOW_CD_INFO);
  return checks;
}

void ShowStatus(HWND page) { SetDlgItemTextA(page, IDC_PLAYER_STATUS, model->Status().c_str()); }

void Command(HWND page, int id) {
  switch (id) {
    case IDC_TURBO_MODE:
    case IDC_AUTO_RUN_PLAYER:
    case IDC_AUTO_GAIN:
    case IDC_SHOW_CD_INFO:
      model->Check(ReadChecks(page));
      break;
    case IDC_LAUNCH_PLAYER:
      SoundPage::Launch();
      break;
    case IDC_TEST_ALL:
      model->Apply();
      Session().TestRun();
      break;
    case IDC_HELP_BUTTON:
      OpenUserGuide(kSoundGuideSection);
      break;
    default:
      break;
  }
}

INT_PTR Notify(HWND page, const NMHDR& header) {
  switch (header.code) {
    case PSN_SETACTIVE:
      ShowStatus(page);
      model->Load();
      ShowChecks(page);
      break;
    case PSN_KILLACTIVE:
    case PSN_APPLY:
      // The boxes go into the options before Main Settings (a later page)
      // saves them; each click has already reached the model.
      model->Apply();
      break;
    default:
      return FALSE;
  }
  SetWindowLongPtrA(page, DWLP_MSGRESULT, header.code == PSN_APPLY ? PSNRET_NOERROR : 0);
  return TRUE;
}

}  // namespace

INT_PTR CALLBACK SoundPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      StorePageValue(page, lParam);
      model = std::make_unique<SoundPage>(Saver().options, *CurrentSoundShare(),
                                          [] { Session().SetModified(); });
      ShowChecks(page);
      return TRUE;
    case WM_DESTROY:
      model.reset();
      return FALSE;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) Command(page, LOWORD(wParam));
      return TRUE;
    case WM_NOTIFY:
      return Notify(page, *reinterpret_cast<const NMHDR*>(lParam));
    default:
      return FALSE;
  }
}

}  // namespace lumox::win32
