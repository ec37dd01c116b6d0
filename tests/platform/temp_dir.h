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
  // create_directory reports whether it made the directory, so a name
  // another test took already is never shared.
  TempDir() {
    std::mt19937_64 pick(std::random_device{}());
    std::error_code error;
    do {
      path_ = (std::filesystem::temp_directory_path() / ("lumox-test-" + std::to_string(pick()))).string();
    } while (!std::filesystem::create_directory(path_, error) && !error);
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
  // How many entries the directory holds.
  size_t Entries() const {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(path_), {}));
  }

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
