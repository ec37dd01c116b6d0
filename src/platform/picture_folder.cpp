#include "platform/picture_folder.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace lumox {

std::string DefaultPictureMask() {
#ifdef _WIN32
  char directory[MAX_PATH] = {};
  const UINT length = GetWindowsDirectoryA(directory, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return "C:\\WINDOWS\\*.BMP";
  return std::string(directory, length) + "\\*.BMP";
#else
  return "~/Pictures/*";
#endif
}

}  // namespace lumox
