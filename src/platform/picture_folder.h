// Where a slide show looks for pictures when it is given no file or mask.
#pragma once

#include <string>

namespace lumox {

// The bitmaps of the Windows directory ("C:\WINDOWS\*.BMP") on Windows; on
// Linux every file of the user's Pictures folder ("~/Pictures/*": files
// that are no pictures are skipped by the loader).
std::string DefaultPictureMask();

}  // namespace lumox
