#include "platform/program_path.h"

#include <filesystem>

namespace lumox {

std::string ProgramFolder() {
  const std::string path = ProgramPath();
  if (path.empty()) return "";
  return std::filesystem::path(path).parent_path().string();
}

}  // namespace lumox
