#include "platform/posix/file_registry.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cassert>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <thread>

#include "platform/atomic_file.h"
#include "platform/registry_text.h"

namespace lumox {
namespace {

std::string EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

void CreateParentDirectories(const std::string& path) {
  const std::string parent = std::filesystem::path(path).parent_path().string();
  if (parent.empty()) return;
  std::error_code ignored;  // a failure shows when the file is written
  std::filesystem::create_directories(parent, ignored);
}

// The writers' lock: flock on "<file>.lock", held for the object's life.
// Without a lock file (unwritable directory) it holds nothing; writing the
// file then fails too and is reported there.
//
// Writers hold the lock for milliseconds. One that holds it far longer is
// stuck (stopped in a debugger, suspended with ^Z): rather than hang every
// other program's settings, the wait ends after the store's lock patience
// with a report and the write goes ahead without the lock, still atomic on
// its own.
constexpr auto kLockPollInterval = std::chrono::milliseconds(2);

class FileLock {
 public:
  FileLock(const std::string& registryPath, std::chrono::milliseconds patience) {
    CreateParentDirectories(registryPath);
    const std::string lockPath = registryPath + ".lock";
    fd_ = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) return;
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      if (errno != EWOULDBLOCK && errno != EINTR) return;
      if (std::chrono::steady_clock::now() >= deadline) {
        std::fprintf(stderr,
                     "lumox: another program has held \"%s\" for %lld ms; writing the "
                     "settings without waiting for it.\n",
                     lockPath.c_str(), static_cast<long long>(patience.count()));
        return;
      }
      std::this_thread::sleep_for(kLockPollInterval);
    }
  }
  ~FileLock() {
    if (fd_ >= 0) close(fd_);  // closing releases the lock
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  int fd_ = -1;
};

bool ReadWholeFile(int fd, std::string& text) {
  char buffer[65536];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got == 0) return true;
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    text.append(buffer, static_cast<size_t>(got));
  }
}

bool PathExists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

std::string UtcTimestamp() {
  const time_t now = std::time(nullptr);
  tm parts{};
  gmtime_r(&now, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &parts);
  return text;
}

}  // namespace

std::string DefaultRegistryPath() {
  std::string path = EnvironmentValue("LUMOX_REGISTRY");
  if (!path.empty()) return path;
  std::string config = EnvironmentValue("XDG_CONFIG_HOME");
  if (config.empty()) {
    std::string home = EnvironmentValue("HOME");
    if (home.empty()) {
      if (const passwd* user = getpwuid(getuid())) home = user->pw_dir;
    }
    config = home + "/.config";
  }
  return config + "/lumox/registry.reg";
}

FileRegistry::FileRegistry(std::string path, std::chrono::milliseconds lockPatience)
    : path_(std::move(path)), lockPatience_(lockPatience) {}

FileRegistry::~FileRegistry() {
  if (WriteUnsaved()) return;
  std::fprintf(stderr,
               "lumox: the settings file \"%s\" still cannot be written; the changes made "
               "since it could not be written are lost.\n",
               path_.c_str());
}

// ---- Reading the file ----

FileRegistry::FileIdentity FileRegistry::IdentityOf(const struct stat& info) {
  return {true,
          info.st_dev,
          info.st_ino,
          info.st_size,
          int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec,
          int64_t{info.st_ctim.tv_sec} * 1000000000 + info.st_ctim.tv_nsec};
}

FileRegistry::FileIdentity FileRegistry::CurrentIdentity() const {
  struct stat info {};
  return stat(path_.c_str(), &info) == 0 ? IdentityOf(info) : FileIdentity{};
}

void FileRegistry::RefreshIfChanged() {
  if (unreadable_) return;
  if (loaded_ && *loaded_ == CurrentIdentity()) return;
  Reload(false);
}

// The file's content with the changes no write has stored yet on top, so
// that a failed write loses nothing when the file is read again.
bool FileRegistry::Reload(bool haveLock) {
  if (!LoadFile(haveLock)) return false;
  for (const Operation& operation : unsaved_) operation(tree_);
  return true;
}

// Replaces the tree with the file's content. False when the file cannot be
// read; the tree then stays as it was and the store works in memory only.
bool FileRegistry::LoadFile(bool haveLock) {
  const int fd = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) {
    tree_ = RegistryTree();
    loaded_ = FileIdentity{};
    return true;
  }
  std::string text;
  struct stat info {};
  const bool readable = fd >= 0 && fstat(fd, &info) == 0 && ReadWholeFile(fd, text);
  const int readError = errno;
  if (fd >= 0) close(fd);
  if (!readable) {
    std::fprintf(stderr,
                 "lumox: cannot read the settings file \"%s\" (%s). It is left as it is; "
                 "settings changed now are kept only until the program ends.\n",
                 path_.c_str(), std::strerror(readError));
    unreadable_ = true;
    return false;
  }

  RegistryTree fresh;
  std::string error;
  if (ParseRegistryText(text, fresh, error)) {
    tree_ = std::move(fresh);
    loaded_ = IdentityOf(info);
    return true;
  }
  // Only a writer may move the file: look again under the lock, in case
  // another process has just replaced it with a sound one.
  if (!haveLock) {
    FileLock lock(path_, lockPatience_);
    return LoadFile(true);
  }
  MoveAside(error);
  if (unreadable_) return false;
  tree_ = RegistryTree();
  loaded_ = FileIdentity{};
  return true;
}

void FileRegistry::MoveAside(const std::string& problem) {
  const std::string base = path_ + ".damaged-" + UtcTimestamp();
  std::string aside = base;
  for (int n = 2; PathExists(aside); ++n) aside = base + "-" + std::to_string(n);
  if (rename(path_.c_str(), aside.c_str()) == 0) {
    std::fprintf(stderr,
                 "lumox: the settings file \"%s\" is damaged (%s). It was kept as \"%s\"; "
                 "starting with empty settings.\n",
                 path_.c_str(), problem.c_str(), aside.c_str());
    return;
  }
  std::fprintf(stderr,
               "lumox: the settings file \"%s\" is damaged (%s) and could not be moved aside "
               "(%s). It is left as it is; settings changed now are kept only until the "
               "program ends.\n",
               path_.c_str(), problem.c_str(), std::strerror(errno));
  unreadable_ = true;
}

// ---- Writing the file ----

bool FileRegistry::Save() {
  CreateParentDirectories(path_);
  std::string error;
  if (!ReplaceFileAtomically(path_, FormatRegistryText(tree_), FileAccess::OwnerOnly, error)) {
    ReportSaveFailure(error);
    return false;
  }
  unsaved_.clear();
  loaded_ = CurrentIdentity();  // exact: no other writer runs while we hold the lock
  return true;
}

void FileRegistry::ReportSaveFailure(const std::string& what) {
  if (!unsaved_.empty()) return;  // said at the first of the unsaved changes
  std::fprintf(stderr,
               "lumox: cannot write the settings file \"%s\" (%s); changes are kept and "
               "written as soon as the file can be written again.\n",
               path_.c_str(), what.c_str());
}

// Applies a change: inside a batch to the tree and the journal; otherwise at
// once, on a fresh read of the file under the writers' lock.
bool FileRegistry::Apply(const Operation& operation) {
  std::lock_guard guard(mutex_);
  if (batchDepth_ > 0) {
    if (!operation(tree_)) return false;
    journal_.push_back(operation);
    return true;
  }
  if (unreadable_) return operation(tree_);
  FileLock lock(path_, lockPatience_);
  if (!Reload(true)) return operation(tree_);
  if (!operation(tree_)) return false;
  if (!Save()) unsaved_.push_back(operation);
  return true;
}

void FileRegistry::Commit() {
  if (journal_.empty()) return;
  std::vector<Operation> journal = std::move(journal_);
  journal_.clear();
  if (unreadable_) return;
  FileLock lock(path_, lockPatience_);
  // Another process may have written since the batch began: replay the
  // batch's changes on what is in the file now.
  if (!Reload(true)) return;
  for (const Operation& operation : journal) operation(tree_);
  if (!Save()) unsaved_.insert(unsaved_.end(), journal.begin(), journal.end());
}

bool FileRegistry::WriteUnsaved() {
  std::lock_guard guard(mutex_);
  if (unsaved_.empty()) return true;
  FileLock lock(path_, lockPatience_);
  // The reload puts the kept changes on what the file holds now.
  return Reload(true) && Save();
}

void FileRegistry::BeginBatch() {
  std::lock_guard guard(mutex_);
  if (batchDepth_++ == 0) RefreshIfChanged();
}

void FileRegistry::EndBatch() {
  std::lock_guard guard(mutex_);
  assert(batchDepth_ > 0 && "EndBatch without BeginBatch");
  if (batchDepth_ > 0 && --batchDepth_ == 0) Commit();
}

// ---- The registry operations ----

bool FileRegistry::KeyExists(RegRoot root, std::string_view path) {
  std::lock_guard guard(mutex_);
  if (batchDepth_ == 0) RefreshIfChanged();
  return tree_.KeyExists(root, path);
}

bool FileRegistry::ReadValue(RegRoot root, std::string_view path, std::string_view name,
                             RegValue& out) {
  std::lock_guard guard(mutex_);
  if (batchDepth_ == 0) RefreshIfChanged();
  return tree_.ReadValue(root, path, name, out);
}

std::vector<std::string> FileRegistry::EnumSubkeys(RegRoot root, std::string_view path) {
  std::lock_guard guard(mutex_);
  if (batchDepth_ == 0) RefreshIfChanged();
  return tree_.EnumSubkeys(root, path);
}

std::vector<RegValue> FileRegistry::EnumValues(RegRoot root, std::string_view path) {
  std::lock_guard guard(mutex_);
  if (batchDepth_ == 0) RefreshIfChanged();
  return tree_.EnumValues(root, path);
}

bool FileRegistry::CreateKey(RegRoot root, std::string_view path) {
  return Apply([root, path = std::string(path)](RegistryTree& tree) {
    return tree.CreateKey(root, path);
  });
}

bool FileRegistry::DeleteKey(RegRoot root, std::string_view path) {
  return Apply([root, path = std::string(path)](RegistryTree& tree) {
    return tree.DeleteKey(root, path);
  });
}

bool FileRegistry::WriteValue(RegRoot root, std::string_view path, std::string_view name,
                              uint32_t type, const void* data, size_t size) {
  if (data == nullptr && size != 0) return false;
  const auto* bytes = static_cast<const uint8_t*>(data);
  return Apply([root, path = std::string(path), name = std::string(name), type,
                value = std::vector<uint8_t>(bytes, bytes + size)](RegistryTree& tree) {
    return tree.WriteValue(root, path, name, type, value.data(), value.size());
  });
}

bool FileRegistry::DeleteValue(RegRoot root, std::string_view path, std::string_view name) {
  return Apply([root, path = std::string(path), name = std::string(name)](RegistryTree& tree) {
    return tree.DeleteValue(root, path, name);
  });
}

}  // namespace lumox
