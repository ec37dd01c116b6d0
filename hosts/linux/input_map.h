// Turns SDL input into the Win32 messages the saver's window logic reads.
//
// The window logic was written for Win32 input: WM_KEYDOWN with a
// virtual-key code (the hot keys are F1-F9 and the arrows), WM_SYSKEYDOWN
// for Alt combinations and F10, WM_MOUSEMOVE and the button messages with
// the client position packed into the long parameter.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <optional>

#include "saver/messages.h"

namespace lumox::host {

struct WindowMessage {
  uint32_t message = 0;
  WParam wParam = 0;
  LParam lParam = 0;
};

// The virtual-key code of an SDL key; 0 for keys Win32 has no code for
// (they still count as a key press).
WParam VirtualKeyFromSdl(SDL_Keycode key);

// Win32's MAKELPARAM(x, y): the low word x, the high word y.
LParam PackPosition(int x, int y);

// The message an SDL event stands for, if any. Key repeats are key presses
// too (Win32 repeats WM_KEYDOWN). Window close and quit become WM_CLOSE,
// exposure WM_PAINT, focus changes WM_ACTIVATE.
std::optional<WindowMessage> TranslateEvent(const SDL_Event& event);

}  // namespace lumox::host
