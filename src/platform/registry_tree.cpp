#include "platform/registry_tree.h"

#include <utility>

namespace lumox {

bool IsValidRegistryName(std::string_view name) {
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
  }
  return true;
}

std::vector<std::string_view> SplitKeyPath(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

const RegValue* RegistryKey::FindValue(std::string_view name) const {
  for (const RegValue& value : values) {
    if (NamesEqual(value.name, name)) return &value;
  }
  return nullptr;
}

RegValue* RegistryKey::FindValue(std::string_view name) {
  return const_cast<RegValue*>(std::as_const(*this).FindValue(name));
}

const RegistryKey* RegistryTree::Find(RegRoot root, std::string_view path) const {
  const RegistryKey* key = &roots_[Index(root)];
  for (std::string_view part : SplitKeyPath(path)) {
    auto it = key->subkeys.find(part);
    if (it == key->subkeys.end()) return nullptr;
    key = it->second.get();
  }
  return key;
}

RegistryKey* RegistryTree::Find(RegRoot root, std::string_view path) {
  return const_cast<RegistryKey*>(std::as_const(*this).Find(root, path));
}

bool RegistryTree::KeyExists(RegRoot root, std::string_view path) const {
  return Find(root, path) != nullptr;
}

RegistryKey* RegistryTree::CreateKeyNode(RegRoot root, std::string_view path) {
  const std::vector<std::string_view> parts = SplitKeyPath(path);
  if (parts.size() > kMaxKeyDepth) return nullptr;
  for (std::string_view part : parts) {
    if (!IsValidRegistryName(part) || part.size() > kMaxKeyNameLength) return nullptr;
  }
  RegistryKey* key = &roots_[Index(root)];
  for (std::string_view part : parts) {
    auto it = key->subkeys.find(part);
    if (it == key->subkeys.end()) {
      it = key->subkeys.emplace(std::string(part), std::make_unique<RegistryKey>()).first;
    }
    key = it->second.get();
  }
  return key;
}

bool RegistryTree::CreateKey(RegRoot root, std::string_view path) {
  return CreateKeyNode(root, path) != nullptr;
}

bool RegistryTree::DeleteKey(RegRoot root, std::string_view path) {
  std::vector<std::string_view> parts = SplitKeyPath(path);
  if (parts.empty()) return false;  // the roots cannot be deleted
  const std::string_view leaf = parts.back();
  parts.pop_back();
  RegistryKey* parent = &roots_[Index(root)];
  for (std::string_view part : parts) {
    auto it = parent->subkeys.find(part);
    if (it == parent->subkeys.end()) return false;
    parent = it->second.get();
  }
  auto it = parent->subkeys.find(leaf);
  if (it == parent->subkeys.end() || !it->second->subkeys.empty()) return false;
  parent->subkeys.erase(it);
  return true;
}

bool RegistryTree::ReadValue(RegRoot root, std::string_view path, std::string_view name,
                             RegValue& out) const {
  const RegistryKey* key = Find(root, path);
  const RegValue* value = key != nullptr ? key->FindValue(name) : nullptr;
  if (value == nullptr) return false;
  out = *value;
  return true;
}

bool RegistryTree::WriteValue(RegRoot root, std::string_view path, std::string_view name,
                              uint32_t type, const void* data, size_t size) {
  RegistryKey* key = Find(root, path);
  return key != nullptr && SetValue(*key, name, type, data, size);
}

bool RegistryTree::SetValue(RegistryKey& key, std::string_view name, uint32_t type,
                            const void* data, size_t size) {
  if ((data == nullptr && size != 0) || !IsValidRegistryName(name)) return false;
  RegValue* value = key.FindValue(name);
  if (value == nullptr) value = &key.values.emplace_back(RegValue{std::string(name), kRegNone, {}});
  value->type = type;
  const auto* bytes = static_cast<const uint8_t*>(data);
  value->data.assign(bytes, bytes + size);
  return true;
}

bool RegistryTree::DeleteValue(RegRoot root, std::string_view path, std::string_view name) {
  RegistryKey* key = Find(root, path);
  const RegValue* value = key != nullptr ? key->FindValue(name) : nullptr;
  if (value == nullptr) return false;
  key->values.erase(key->values.begin() + (value - key->values.data()));
  return true;
}

std::vector<std::string> RegistryTree::EnumSubkeys(RegRoot root, std::string_view path) const {
  std::vector<std::string> names;
  if (const RegistryKey* key = Find(root, path)) {
    for (const auto& [name, subkey] : key->subkeys) names.push_back(name);
  }
  return names;
}

std::vector<RegValue> RegistryTree::EnumValues(RegRoot root, std::string_view path) const {
  const RegistryKey* key = Find(root, path);
  return key != nullptr ? key->values : std::vector<RegValue>{};
}

}  // namespace lumox
