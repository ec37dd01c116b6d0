// The registry as plain data: three root trees of keys holding typed values.
//
// This is the shared model behind the memory registry and the file-backed
// registry: names are case-insensitive and case-preserving, subkeys and
// values are kept in the order the Windows registry enumerates them (subkeys
// sorted as name_order.h sorts them, values in the order they were created),
// values go only into existing keys, and a key is deleted only when it has no
// subkeys.
// Names holding control characters are refused (see IsValidRegistryName).
// No locking: the stores that own a tree guard it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/name_order.h"
#include "platform/registry_store.h"

namespace lumox {

struct RegistryKey {
  // Keyed by the name as first created; lookups ignore case.
  std::map<std::string, std::unique_ptr<RegistryKey>, NameLess> subkeys;
  // In creation order: rewriting a value keeps its place, a value deleted
  // and written again goes to the end.
  std::vector<RegValue> values;

  const RegValue* FindValue(std::string_view name) const;
  RegValue* FindValue(std::string_view name);
};

// Key and value names may hold any byte but the control characters (below
// 0x20), which no caller needs and the text file cannot show; a key name
// cannot hold a backslash, which separates the keys of a path. As in the
// Windows registry, a key name has at most 255 characters and keys nest at
// most 512 deep, which also bounds the recursion of whoever walks the tree.
constexpr size_t kMaxKeyNameLength = 255;
constexpr size_t kMaxKeyDepth = 512;
bool IsValidRegistryName(std::string_view name);

// The components of a key path, split at backslashes; empty components
// (doubled, leading or trailing backslashes) are dropped.
std::vector<std::string_view> SplitKeyPath(std::string_view path);

class RegistryTree {
 public:
  RegistryTree() = default;
  RegistryTree(const RegistryTree&) = delete;
  RegistryTree& operator=(const RegistryTree&) = delete;
  RegistryTree(RegistryTree&&) = default;
  RegistryTree& operator=(RegistryTree&&) = default;

  bool KeyExists(RegRoot root, std::string_view path) const;
  bool CreateKey(RegRoot root, std::string_view path);
  bool DeleteKey(RegRoot root, std::string_view path);
  bool ReadValue(RegRoot root, std::string_view path, std::string_view name, RegValue& out) const;
  bool WriteValue(RegRoot root, std::string_view path, std::string_view name, uint32_t type,
                  const void* data, size_t size);
  bool DeleteValue(RegRoot root, std::string_view path, std::string_view name);
  std::vector<std::string> EnumSubkeys(RegRoot root, std::string_view path) const;
  std::vector<RegValue> EnumValues(RegRoot root, std::string_view path) const;

  // The root key itself, for walking the whole tree (saving to a file).
  const RegistryKey& RootKey(RegRoot root) const { return roots_[Index(root)]; }

  // For bulk loading: the key at path, created with its parents if needed
  // (null for an invalid name), and a value stored straight into a key.
  RegistryKey* CreateKeyNode(RegRoot root, std::string_view path);
  static bool SetValue(RegistryKey& key, std::string_view name, uint32_t type, const void* data,
                       size_t size);

 private:
  static size_t Index(RegRoot root) { return static_cast<size_t>(root); }
  const RegistryKey* Find(RegRoot root, std::string_view path) const;
  RegistryKey* Find(RegRoot root, std::string_view path);

  RegistryKey roots_[3];
};

}  // namespace lumox
