// The window-message vocabulary of the saver's window logic.
//
// The dismissal rules and hot keys are written against the Win32 message
// numbers and virtual-key codes, so the Windows host passes its messages
// through unchanged and the Linux host translates its events into the same
// numbers. The names differ from the windows.h macros on purpose: the
// Windows host includes both.
#pragma once

#include <cstdint>

namespace lumox {

// The parameter types of a window procedure, as wide as Win32's.
using WParam = uintptr_t;
using LParam = intptr_t;
using LResult = intptr_t;

// Messages.
constexpr uint32_t kWmCreate = 0x0001;
constexpr uint32_t kWmDestroy = 0x0002;
constexpr uint32_t kWmActivate = 0x0006;
constexpr uint32_t kWmSetText = 0x000C;
constexpr uint32_t kWmPaint = 0x000F;
constexpr uint32_t kWmClose = 0x0010;
constexpr uint32_t kWmEraseBackground = 0x0014;
constexpr uint32_t kWmShowWindow = 0x0018;
constexpr uint32_t kWmActivateApp = 0x001C;
constexpr uint32_t kWmSetCursor = 0x0020;
constexpr uint32_t kWmHelp = 0x0053;
constexpr uint32_t kWmContextMenu = 0x007B;
constexpr uint32_t kWmKeyDown = 0x0100;
constexpr uint32_t kWmSysKeyDown = 0x0104;
constexpr uint32_t kWmSysCommand = 0x0112;
constexpr uint32_t kWmTimer = 0x0113;
constexpr uint32_t kWmMouseMove = 0x0200;
constexpr uint32_t kWmLeftButtonDown = 0x0201;
constexpr uint32_t kWmRightButtonDown = 0x0204;
constexpr uint32_t kWmMiddleButtonDown = 0x0207;
// The host's private message that asks for the password check (the first
// application message number).
constexpr uint32_t kWmVerifyPassword = 0x8000;

// System commands (the word parameter of kWmSysCommand; the low four bits
// are the system's own and are masked off before comparing).
constexpr WParam kScMask = 0xFFF0;
constexpr WParam kScNextWindow = 0xF040;
constexpr WParam kScPrevWindow = 0xF050;
constexpr WParam kScScreenSave = 0xF140;

// Virtual-key codes of the hot keys.
constexpr WParam kVkLeft = 0x25;
constexpr WParam kVkRight = 0x27;
constexpr WParam kVkF1 = 0x70;
constexpr WParam kVkF2 = 0x71;
constexpr WParam kVkF3 = 0x72;
constexpr WParam kVkF4 = 0x73;
constexpr WParam kVkF5 = 0x74;
constexpr WParam kVkF6 = 0x75;
constexpr WParam kVkF7 = 0x76;
constexpr WParam kVkF8 = 0x77;
constexpr WParam kVkF9 = 0x78;

// The low word of a word parameter (activation state, for instance).
constexpr uint32_t LowWord(WParam value) { return static_cast<uint32_t>(value & 0xFFFF); }

}  // namespace lumox
