// The real Windows registry behind RegistryStore.
#pragma once

#include "platform/registry_store.h"

namespace lumox {

class Win32Registry final : public RegistryStore {
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
};

}  // namespace lumox
