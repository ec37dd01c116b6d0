#include "platform/memory_registry.h"

namespace lumox {

bool MemoryRegistry::KeyExists(RegRoot root, std::string_view path) {
  std::lock_guard lock(mutex_);
  return tree_.KeyExists(root, path);
}

bool MemoryRegistry::CreateKey(RegRoot root, std::string_view path) {
  std::lock_guard lock(mutex_);
  return tree_.CreateKey(root, path);
}

bool MemoryRegistry::DeleteKey(RegRoot root, std::string_view path) {
  std::lock_guard lock(mutex_);
  return tree_.DeleteKey(root, path);
}

bool MemoryRegistry::ReadValue(RegRoot root, std::string_view path, std::string_view name,
                               RegValue& out) {
  std::lock_guard lock(mutex_);
  return tree_.ReadValue(root, path, name, out);
}

bool MemoryRegistry::WriteValue(RegRoot root, std::string_view path, std::string_view name,
                                uint32_t type, const void* data, size_t size) {
  std::lock_guard lock(mutex_);
  return tree_.WriteValue(root, path, name, type, data, size);
}

bool MemoryRegistry::DeleteValue(RegRoot root, std::string_view path, std::string_view name) {
  std::lock_guard lock(mutex_);
  return tree_.DeleteValue(root, path, name);
}

std::vector<std::string> MemoryRegistry::EnumSubkeys(RegRoot root, std::string_view path) {
  std::lock_guard lock(mutex_);
  return tree_.EnumSubkeys(root, path);
}

std::vector<RegValue> MemoryRegistry::EnumValues(RegRoot root, std::string_view path) {
  std::lock_guard lock(mutex_);
  return tree_.EnumValues(root, path);
}

}  // namespace lumox
