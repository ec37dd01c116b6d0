// The registry of one user, kept in a text file (see registry_text.h).
//
// Several processes may use the same file at once (the saver, its
// configuration, a host's settings commands):
//   - Every change is written atomically (ReplaceFileAtomically: a temporary
//     file in the same directory, flushed and renamed over the old file), so
//     a reader (or a process killed mid-write) never sees half a file.
//   - Writers take an advisory lock (flock on "<file>.lock") and re-read the
//     file under it before applying their change, so two processes never lose
//     each other's changes. A lock held beyond the store's patience (default
//     10 s: its holder is stuck) is reported and the write goes ahead.
//   - Each operation checks cheaply (one stat) whether another process
//     replaced the file and re-reads it if so.
//   - A batch (BeginBatch/EndBatch, nesting) keeps a journal of its changes
//     and writes once at the outermost EndBatch, replaying the journal on a
//     fresh read under the lock: the batch lands whole or not at all. Reads
//     inside a batch see the batch's own changes over the state at its start.
//     A batch gathers the changes made through this store from any thread.
//   - A change that cannot be written (a full disk, a size limit) is
//     reported once and kept: it is replayed on every fresh read of the file
//     and written with the next write that succeeds, or by WriteUnsaved.
//     The store tries once more when it ends and says what is lost if that
//     fails too.
//   - A damaged file (one that does not parse) is reported on stderr, moved
//     aside as "<file>.damaged-<UTC time>" and the store starts empty; an
//     unreadable file (permissions) is reported and left alone, and the store
//     keeps its changes in memory only. Neither is ever overwritten.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry_store.h"
#include "platform/registry_tree.h"

namespace lumox {

// $LUMOX_REGISTRY if set, else $XDG_CONFIG_HOME/lumox/registry.reg, else
// $HOME/.config/lumox/registry.reg.
std::string DefaultRegistryPath();

class FileRegistry final : public RegistryStore {
 public:
  static constexpr std::chrono::milliseconds kDefaultLockPatience{10000};
  explicit FileRegistry(std::string path,
                        std::chrono::milliseconds lockPatience = kDefaultLockPatience);
  ~FileRegistry() override;

  bool KeyExists(RegRoot root, std::string_view path) override;
  bool CreateKey(RegRoot root, std::string_view path) override;
  bool DeleteKey(RegRoot root, std::string_view path) override;
  bool ReadValue(RegRoot root, std::string_view path, std::string_view name,
                 RegValue& out) override;
  bool WriteValue(RegRoot root, std::string_view path, std::string_view name, uint32_t type,
                  const void* data, size_t size) override;
  bool DeleteValue(RegRoot root, std::string_view path, std::string_view name) override;
  std::vector<std::string> EnumSubkeys(RegRoot root, std::string_view path) override;
  std::vector<RegValue> EnumValues(RegRoot root, std::string_view path) override;
  void BeginBatch() override;
  void EndBatch() override;
  bool WriteUnsaved() override;

  const std::string& path() const { return path_; }

 private:
  // What tells one version of the file from another without reading it.
  struct FileIdentity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    int64_t modifiedNs = 0;
    int64_t changedNs = 0;
    bool operator==(const FileIdentity&) const = default;
  };
  using Operation = std::function<bool(RegistryTree&)>;

  static FileIdentity IdentityOf(const struct stat& info);
  FileIdentity CurrentIdentity() const;
  void RefreshIfChanged();
  bool LoadFile(bool haveLock);
  bool Reload(bool haveLock);
  void MoveAside(const std::string& problem);
  bool Apply(const Operation& operation);
  void Commit();
  bool Save();
  void ReportSaveFailure(const std::string& what);

  std::mutex mutex_;
  const std::string path_;
  const std::chrono::milliseconds lockPatience_;
  RegistryTree tree_;
  std::optional<FileIdentity> loaded_;  // the file version tree_ came from
  int batchDepth_ = 0;
  std::vector<Operation> journal_;
  std::vector<Operation> unsaved_;  // changes no write has stored yet
  bool unreadable_ = false;  // the file exists but cannot be read: memory only
};

}  // namespace lumox
