// The user guide: one HTML file beside the executable, opened in the
// default browser at a page's section.
#pragma once

#include <string>

namespace lumox::win32 {

// Opens "lumox-guide.html#<section>" from the executable's directory (the
// top of the guide for an empty section). False, after telling the user,
// when the guide is not there or nothing could open it.
bool OpenUserGuide(const std::string& section);

}  // namespace lumox::win32
