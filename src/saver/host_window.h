// The host side of the saver window: hiding the cursor, filtering input,
// and deciding when genuine user input closes the saver (after a password
// check on the Windows 95 family).
//
// HostWindowProc is the window class's procedure; it consumes a few
// messages and hands the rest to the saver's own procedure
// (ScreenSaverProc). What that procedure does not consume comes back to
// HostDefaultProc, which applies the dismissal rules and ends in the
// system's default handling. Both are fed with Win32 message numbers
// (saver/messages.h) and ask the window and the system for everything else
// through HostWindow, so the rules run the same under either host and in
// tests.
#pragma once

#include <cstdint>
#include <functional>

#include "saver/messages.h"

namespace lumox {

struct CursorPoint {
  int32_t x = 0;
  int32_t y = 0;
};

// What the host rules ask of the window and the system.
class HostWindow {
 public:
  virtual ~HostWindow() = default;
  // The saver's own procedure (ScreenSaverProc).
  virtual LResult SaverProc(uint32_t message, WParam wParam, LParam lParam) = 0;
  // The system's default handling (DefWindowProc); WM_CLOSE there destroys
  // the window.
  virtual LResult SystemDefaultProc(uint32_t message, WParam wParam, LParam lParam) = 0;
  virtual void PostClose() = 0;
  virtual void PostQuit(int exitCode) = 0;
  virtual void HideCursor() = 0;
  virtual CursorPoint CursorPosition() = 0;
  // Drops up to `count` pending timer messages of the window.
  virtual void RemoveTimerMessages(int count) = 0;
  // Posts the message to the parent window with the parent as word
  // parameter; nothing when there is no parent window.
  virtual void PostToParent(uint32_t message, LParam lParam) = 0;
  // Gives the rest of the time slice away (Sleep(0)).
  virtual void YieldTimeSlice() = 0;
  // The input method: detach the window's input context at creation and
  // put the previous one back at destruction (nothing where there is none).
  virtual void DetachInputContext() = 0;
  virtual void RestoreInputContext() = 0;
};

constexpr uint32_t kNoCheckYet = 0xFFFFFFFFu;
constexpr uint32_t kMouseThreshold = 4;
// A close request this soon after the last password dialog closed is
// ignored: it is usually the dialog's own key or click arriving late.
constexpr uint32_t kPasswordRepeatMs = 200;

struct HostState {
  bool family95 = false;
  // The window is a child of a preview window.
  bool preview = false;
  // A password check (or the lack of one) decided that the saver may close;
  // never goes back to false.
  bool closing = false;
  // A password dialog is up right now.
  bool checking = false;
  uint32_t mouseThreshold = kMouseThreshold;
  CursorPoint lastCursor;
  // The password check of the Windows 95 family; empty when none is set up.
  // Returns whether the password was accepted.
  std::function<bool()> verifyPassword;
  uint32_t lastCheckTick = kNoCheckYet;
};

// The window class's procedure.
LResult HostWindowProc(HostState& state, HostWindow& window, uint32_t message, WParam wParam,
                       LParam lParam);

// The dismissal and password rules, then the system's default handling.
LResult HostDefaultProc(HostState& state, HostWindow& window, uint32_t message, WParam wParam,
                        LParam lParam);

}  // namespace lumox
