// A walk through the configuration sheet from inside its own modal loop:
// a thread timer calls Tick, which takes the next step. A walk that stalls
// presses Cancel after `maxTicks` ticks, so the sheet always ends.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "config/config_sheet.h"
#include "exports.h"

namespace lumox::testing {

class SheetWalk {
 public:
  explicit SheetWalk(int maxTicks) : maxTicks_(maxTicks) {}

  void Tick() {
    HWND sheet = win32::CurrentConfigSheet();
    if (sheet && next_ < steps_.size()) steps_[next_++](sheet);
    if (++ticks_ == maxTicks_ && win32::CurrentConfigSheet()) {
      ADD_FAILURE() << "the walk stopped at step " << next_;
      PropSheet_PressButton(win32::CurrentConfigSheet(), PSBTN_CANCEL);
    }
  }
  bool finished() const { return next_ == steps_.size(); }

  // Runs the configuration dialog, a step every `tickMs`.
  void Run(UINT tickMs) {
    running_ = this;
    const UINT_PTR timer = SetTimer(nullptr, 0, tickMs, [](HWND, UINT, UINT_PTR, DWORD) { running_->Tick(); });
    win32::RunConfigureDialog(GetModuleHandleA(nullptr), nullptr);
    KillTimer(nullptr, timer);
    running_ = nullptr;
  }

 protected:
  void Add(std::function<void(HWND)> step) { steps_.push_back(std::move(step)); }

 private:
  std::vector<std::function<void(HWND)>> steps_;
  size_t next_ = 0;
  int ticks_ = 0;
  int maxTicks_;
  static inline SheetWalk* running_ = nullptr;
};

// The page the sheet shows, and the two ways a walk works its controls.
inline HWND CurrentPage() { return PropSheet_GetCurrentPageHwnd(win32::CurrentConfigSheet()); }
inline void Click(HWND page, int id) { SendMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0); }
inline void Notify(HWND page, int id, int code) {
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

}  // namespace lumox::testing
