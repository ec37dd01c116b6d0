#include "platform/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace lumox {
namespace {

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t put = write(fd, text.data(), text.size());
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    text.remove_prefix(static_cast<size_t>(put));
  }
  return true;
}

// Opens a new temporary file beside `path`: the process id and a counter
// keep writers in other processes and threads apart, and O_EXCL never
// reuses a file that is already there (someone else's, or a crashed
// writer's leftover).
int CreateTemporary(const std::string& path, mode_t mode, std::string& temporary) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = path + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, std::string_view content, FileAccess access,
                           std::string& error) {
  std::string temporary;
  const int fd = CreateTemporary(path, access == FileAccess::OwnerOnly ? 0600 : 0666, temporary);
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  bool written = WriteAll(fd, content) && fsync(fd) == 0;
  int failure = errno;
  if (close(fd) != 0 && written) {
    written = false;
    failure = errno;
  }
  if (written && rename(temporary.c_str(), path.c_str()) != 0) {
    written = false;
    failure = errno;
  }
  if (!written) {
    error = std::strerror(failure);
    unlink(temporary.c_str());
    return false;
  }
  const std::string parent = std::filesystem::path(path).parent_path().string();
  const int directory =
      open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directory >= 0) {
    fsync(directory);
    close(directory);
  }
  return true;
}

}  // namespace lumox
