#include "platform/posix/posix_shared_memory.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace lumox {
namespace {

// Keeps errno across clean-up calls so a failure reports its first cause.
class ErrnoKeeper {
 public:
  ErrnoKeeper() : saved_(errno) {}
  ~ErrnoKeeper() { errno = saved_; }

 private:
  int saved_;
};

int FlockRetrying(int fd, int operation) {
  int result;
  while ((result = flock(fd, operation)) != 0 && errno == EINTR) {
  }
  return result;
}

// The exclusive lock that serialises opening and closing one block.
class OpenCloseGuard {
 public:
  explicit OpenCloseGuard(const std::string& objectName) {
    fd_ = shm_open((objectName + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ >= 0 && FlockRetrying(fd_, LOCK_EX) != 0) {
      ErrnoKeeper keep;
      close(fd_);
      fd_ = -1;
    }
  }
  ~OpenCloseGuard() {
    if (fd_ >= 0) {
      ErrnoKeeper keep;
      close(fd_);
    }
  }
  OpenCloseGuard(const OpenCloseGuard&) = delete;
  OpenCloseGuard& operator=(const OpenCloseGuard&) = delete;
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

class PosixSharedMemory final : public SharedMemory {
 public:
  PosixSharedMemory(std::string objectName, int fd, uint8_t* data, size_t size, bool created)
      : objectName_(std::move(objectName)), fd_(fd), data_(data), size_(size), created_(created) {}

  ~PosixSharedMemory() override {
    ErrnoKeeper keep;
    OpenCloseGuard guard(objectName_);
    munmap(data_, size_);
    // The last holder removes the object, as the last handle ends a mapping.
    if (guard.held() && flock(fd_, LOCK_EX | LOCK_NB) == 0) shm_unlink(objectName_.c_str());
    close(fd_);
  }

  uint8_t* data() override { return data_; }
  size_t size() const override { return size_; }
  bool created() const override { return created_; }

 private:
  std::string objectName_;
  int fd_;
  uint8_t* data_;
  size_t size_;
  bool created_;
};

}  // namespace

std::unique_ptr<SharedMemory> PosixSharedMemoryProvider::Open(const std::string& name,
                                                              size_t size) {
  if (size == 0 || name.empty() || name.find('/') != std::string::npos) {
    errno = EINVAL;
    return nullptr;
  }
  const std::string objectName = "/" + name;
  OpenCloseGuard guard(objectName);
  if (!guard.held()) return nullptr;

  const int fd = shm_open(objectName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return nullptr;
  auto fail = [fd]() -> std::unique_ptr<SharedMemory> {
    ErrnoKeeper keep;
    close(fd);
    return nullptr;
  };

  // Sole user (the lock is exclusive only when nobody else holds it): the
  // block is new. Truncating to nothing and back gives zeros of our size.
  const bool created = flock(fd, LOCK_EX | LOCK_NB) == 0;
  if (created) {
    if (ftruncate(fd, 0) != 0 || ftruncate(fd, static_cast<off_t>(size)) != 0) return fail();
  }
  // Holders keep a shared lock; for the creator this is the downgrade, safe
  // because the guard keeps every other opener out meanwhile.
  if (FlockRetrying(fd, LOCK_SH) != 0) return fail();

  struct stat info {};
  if (fstat(fd, &info) != 0) return fail();
  const size_t mapSize = std::min(size, static_cast<size_t>(info.st_size));
  if (mapSize == 0) {
    errno = EINVAL;  // an object with nothing in it: not a block we can use
    return fail();
  }
  void* data = mmap(nullptr, mapSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  if (data == MAP_FAILED) return fail();
  return std::make_unique<PosixSharedMemory>(objectName, fd, static_cast<uint8_t*>(data), mapSize,
                                             created);
}

}  // namespace lumox
