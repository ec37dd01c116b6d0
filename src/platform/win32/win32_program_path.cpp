#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform/program_path.h"

namespace lumox {

std::string ProgramPath() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return "";
  return std::string(path, length);
}

}  // namespace lumox
