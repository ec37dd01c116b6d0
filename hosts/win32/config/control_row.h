// One row of parameter controls, as the module pages and the Palette page
// show them: a label, a value trackbar with its box, low and high
// trackbars with their boxes, a sense box with arrows, and a source list.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>
#include <vector>

namespace lumox::win32 {

// Makes row `index` with its label ending left of x and its controls from
// x on, at y (dialog units). Each element's identifier is its IDC_ROW_*
// base plus `index`; the sense arrows run from 1 to 10.
void BuildControlRow(HWND page, int index, int x, int y, bool visible, const std::string& label,
                     const std::vector<const char*>& sources, HFONT font);

}  // namespace lumox::win32
