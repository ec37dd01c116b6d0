#include "saver/host_window.h"

#include <cstdlib>

#include "platform/clock.h"

namespace lumox {

namespace {

bool IsInputMessage(uint32_t message) {
  switch (message) {
    case kWmKeyDown:
    case kWmSysKeyDown:
    case kWmMouseMove:
    case kWmLeftButtonDown:
    case kWmRightButtonDown:
    case kWmMiddleButtonDown:
      return true;
    default:
      return false;
  }
}

bool IsKeyOrButton(uint32_t message) {
  return IsInputMessage(message) && message != kWmMouseMove;
}

// The answer to the private verify-password message.
LResult VerifyPasswordResult(HostState& state) {
  return state.verifyPassword ? (state.verifyPassword() ? 1 : 0) : 1;
}

// Whether a close request may go through (Windows 95 family).
bool MayClose(HostState& state, HostWindow& window) {
  if (state.checking || state.closing) return false;
  if (!state.verifyPassword) {
    state.closing = true;
    return true;
  }
  if (state.lastCheckTick != kNoCheckYet &&
      TickCount() - state.lastCheckTick < kPasswordRepeatMs) {
    return state.closing;
  }
  state.checking = true;
  window.RemoveTimerMessages(2);
  state.closing = VerifyPasswordResult(state) != 0;
  state.checking = false;
  if (!state.closing) window.HideCursor();
  state.lastCheckTick = TickCount();
  return state.closing;
}

bool MovedBeyondThreshold(const CursorPoint& from, const CursorPoint& to, uint32_t threshold) {
  int64_t distance = std::llabs(static_cast<int64_t>(to.x) - from.x) +
                     std::llabs(static_cast<int64_t>(to.y) - from.y);
  return distance > static_cast<int64_t>(threshold);
}

}  // namespace

LResult HostWindowProc(HostState& state, HostWindow& window, uint32_t message, WParam wParam,
                       LParam lParam) {
  switch (message) {
    case kWmCreate:
      window.DetachInputContext();
      state.lastCursor = window.CursorPosition();
      if (!state.preview) window.HideCursor();
      break;
    case kWmDestroy:
      window.RestoreInputContext();
      window.PostQuit(0);
      break;
    case kWmSetText:
      return 0;  // the title never changes
    case kWmPaint:
      if (state.closing) return window.SystemDefaultProc(message, wParam, lParam);
      if (!state.preview) window.HideCursor();
      break;
    case kWmHelp:
    case kWmContextMenu:
      if (state.preview) {
        window.PostToParent(message, lParam);
        return 1;
      }
      break;
    case kWmSysCommand:
      if (!state.preview) {
        WParam command = wParam & kScMask;
        if (command == kScNextWindow || command == kScPrevWindow || command == kScScreenSave) {
          return 0;
        }
      }
      break;
    case kWmTimer:
      if (state.closing) return 0;
      window.YieldTimeSlice();
      break;
    default:
      if (IsInputMessage(message) && state.closing) {
        return window.SystemDefaultProc(message, wParam, lParam);
      }
      break;
  }
  return window.SaverProc(message, wParam, lParam);
}

LResult HostDefaultProc(HostState& state, HostWindow& window, uint32_t message, WParam wParam,
                        LParam lParam) {
  if (state.preview || state.closing) return window.SystemDefaultProc(message, wParam, lParam);

  if (message == kWmClose) {
    if (state.family95 && !MayClose(state, window)) {
      state.lastCursor = window.CursorPosition();
      return 0;
    }
    return window.SystemDefaultProc(message, wParam, lParam);
  }
  if (message == kWmVerifyPassword) {
    if (state.family95) return VerifyPasswordResult(state);
    return window.SystemDefaultProc(message, wParam, lParam);
  }
  if (state.checking) return window.SystemDefaultProc(message, wParam, lParam);

  if (message == kWmShowWindow) {
    if (wParam != 0) window.HideCursor();
  } else if (message == kWmSetCursor) {
    window.HideCursor();
    return 1;
  } else if (IsKeyOrButton(message)) {
    window.PostClose();
  } else if (message == kWmMouseMove) {
    CursorPoint position = window.CursorPosition();
    if (MovedBeyondThreshold(state.lastCursor, position, state.mouseThreshold)) {
      window.PostClose();
      state.lastCursor = position;
    }
  }
  return window.SystemDefaultProc(message, wParam, lParam);
}

}  // namespace lumox
