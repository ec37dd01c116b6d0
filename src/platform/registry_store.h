// The registry: keys, typed values, enumeration.
//
// The saver keeps every setting in the registry of the current user. On
// Windows this is the real registry; on Linux a text file in the familiar
// .reg form; in tests a map in memory. All three behave alike:
//   - key paths use backslashes and are relative to a root;
//   - key and value names are case-insensitive and case-preserving;
//   - subkeys enumerate in case-insensitive alphabetical order (the
//     registry's own, see name_order.h) and values in the order they were
//     created, as the Windows registry gives them, so a display exports
//     the same records in the same order everywhere;
//   - a value is written only into an existing key (CreateKey makes keys,
//     with any missing parents);
//   - DeleteKey removes a key only when it has no subkeys (callers delete
//     from the leaves up).
// Failures come back as false / empty results; nothing throws.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumox {

enum class RegRoot { CurrentUser, LocalMachine, ClassesRoot };

// Value types, numbered as the Win32 registry numbers them: the numbers are
// stored in settings files.
constexpr uint32_t kRegNone = 0;
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;

struct RegValue {
  std::string name;
  uint32_t type = kRegNone;
  std::vector<uint8_t> data;
};

class RegistryStore {
 public:
  virtual ~RegistryStore() = default;

  virtual bool KeyExists(RegRoot root, std::string_view path) = 0;
  virtual bool CreateKey(RegRoot root, std::string_view path) = 0;
  virtual bool DeleteKey(RegRoot root, std::string_view path) = 0;

  // The whole value, whatever its size. Callers that read into a fixed
  // buffer compare the size themselves.
  virtual bool ReadValue(RegRoot root, std::string_view path, std::string_view name,
                         RegValue& out) = 0;
  virtual bool WriteValue(RegRoot root, std::string_view path, std::string_view name,
                          uint32_t type, const void* data, size_t size) = 0;
  virtual bool DeleteValue(RegRoot root, std::string_view path, std::string_view name) = 0;

  virtual std::vector<std::string> EnumSubkeys(RegRoot root, std::string_view path) = 0;
  virtual std::vector<RegValue> EnumValues(RegRoot root, std::string_view path) = 0;

  // Groups many changes into one: a file-backed store writes them out once,
  // atomically, at the outermost EndBatch. Batches nest.
  virtual void BeginBatch() {}
  virtual void EndBatch() {}

  // Tries once more to store changes that were kept in memory because
  // writing them failed. False when some are still not stored: they go
  // when the program ends.
  virtual bool WriteUnsaved() { return true; }
};

// Begins a batch and ends it when the scope ends.
class RegistryBatch {
 public:
  explicit RegistryBatch(RegistryStore& store) : store_(store) { store_.BeginBatch(); }
  ~RegistryBatch() { store_.EndBatch(); }
  RegistryBatch(const RegistryBatch&) = delete;
  RegistryBatch& operator=(const RegistryBatch&) = delete;

 private:
  RegistryStore& store_;
};

// The process-wide registry. Tests install a MemoryRegistry.
void InstallRegistry(RegistryStore* store);
RegistryStore& Registry();

}  // namespace lumox
