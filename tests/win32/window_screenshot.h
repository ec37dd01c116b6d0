// A window's pixels as they are on the screen, saved for a person to look
// at.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

namespace lumox::testing {

// Writes the window as a 24-bit BMP file. False when the picture is one
// flat colour (nothing was painted).
bool SaveScreenshot(HWND window, const std::string& path);

}  // namespace lumox::testing
