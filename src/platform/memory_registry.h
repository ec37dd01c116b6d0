// A registry held in memory, for tests: behaves like the real stores
// (see registry_store.h) and starts empty. Safe to use from several threads.
#pragma once

#include <mutex>

#include "platform/registry_store.h"
#include "platform/registry_tree.h"

namespace lumox {

class MemoryRegistry final : public RegistryStore {
 public:
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

 private:
  std::mutex mutex_;
  RegistryTree tree_;
};

}  // namespace lumox
