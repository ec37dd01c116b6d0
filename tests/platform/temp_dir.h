// A fresh directory for one test, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace lumox::testing {

class TempDir {
 public:
  TempDir() {
    // create_directory reports whether it made the directory, so a name
    // another test took already is never shared.
    std::random_device seed;
    std::mt19937_64 pick(seed());
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (;;) {
      const std::filesystem::path candidate = base / ("lumox-test-" + std::to_string(pick()));
      std::error_code error;
      if (std::filesystem::create_directory(candidate, error)) {
        path_ = candidate.string();
        return;
      }
      if (error) return;  // no temporary directory at all: tests will fail visibly
    }
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

}  // namespace lumox::testing
