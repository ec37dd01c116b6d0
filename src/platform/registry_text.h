// The registry as text, in the familiar .reg form:
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Control Panel\Screen Saver.Lumox]
//   "Active"="[R] Saved Sound Settings"
//   "Speed"=dword:00000000
//   "DisplayMode"=hex:00,01,02,...
//
// Every key is written, empty ones too (a key's existence is data), in
// registry enumeration order. Names and strings escape backslash and double
// quote with a backslash; "@" is a key's default (unnamed) value.
//
// Values are kept byte for byte, whatever their type and size: a REG_SZ is
// written as a quoted string only when its data is exactly one plain text
// followed by one zero; otherwise (no terminator, embedded zeros such as the
// 260-byte "Path" values, control characters) it is written as hex(1):.
// Likewise dword: only for 4-byte REG_DWORDs, hex(n): for everything else.
// Long hex lists continue over lines ending in a backslash.
#pragma once

#include <string>
#include <string_view>

#include "platform/registry_tree.h"

namespace lumox {

std::string FormatRegistryText(const RegistryTree& tree);

// Parses a whole file's text into tree (which should be empty). False on
// anything malformed, with a one-line description ("line 12: ...") in error.
// An empty text is an empty registry.
bool ParseRegistryText(std::string_view text, RegistryTree& tree, std::string& error);

}  // namespace lumox
