#include <unistd.h>

#include "platform/program_path.h"

namespace lumox {

std::string ProgramPath() {
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
  if (length <= 0 || static_cast<size_t>(length) >= sizeof path) return "";
  return std::string(path, static_cast<size_t>(length));
}

}  // namespace lumox
