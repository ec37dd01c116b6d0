#include "platform/win32/win32_registry.h"

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>

#include "platform/name_order.h"
#include "platform/registry_tree.h"

namespace lumox {
namespace {

HKEY RootKey(RegRoot root) {
  switch (root) {
    case RegRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    case RegRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RegRoot::CurrentUser: break;
  }
  return HKEY_CURRENT_USER;
}

enum class Open { Existing, Create };

// An open key that closes itself. The path is walked one key name at a
// time: the ANSI calls convert a name through a buffer of MAX_PATH
// characters, so a whole path longer than that (a saved display's module
// key under a long display name) would fail although each name is within
// the registry's 255 characters.
class OpenKey {
 public:
  OpenKey(RegRoot root, std::string_view path, REGSAM access, Open open = Open::Existing) {
    const std::vector<std::string_view> names = SplitKeyPath(path);
    if (names.empty()) {
      if (RegOpenKeyExA(RootKey(root), nullptr, 0, access, &key_) != ERROR_SUCCESS) key_ = nullptr;
      return;
    }
    HKEY parent = RootKey(root);
    for (size_t i = 0; i < names.size(); ++i) {
      const std::string name(names[i]);
      const REGSAM parentAccess = open == Open::Create ? KEY_READ | KEY_CREATE_SUB_KEY : KEY_READ;
      const REGSAM wanted = i + 1 < names.size() ? parentAccess : access;
      HKEY child = nullptr;
      const LONG status =
          open == Open::Create
              ? RegCreateKeyExA(parent, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, wanted,
                                nullptr, &child, nullptr)
              : RegOpenKeyExA(parent, name.c_str(), 0, wanted, &child);
      if (i > 0) RegCloseKey(parent);
      if (status != ERROR_SUCCESS) return;
      parent = child;
    }
    key_ = parent;
  }
  ~OpenKey() {
    if (key_) RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  explicit operator bool() const { return key_ != nullptr; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// Names no other store can hold are refused here too: the API would cut a
// name at an embedded zero and store the value under another name, and
// Wine takes key names longer than the 255 characters Windows allows.
bool IsValidKeyPath(std::string_view path) {
  for (std::string_view name : SplitKeyPath(path)) {
    if (!IsValidRegistryName(name) || name.size() > kMaxKeyNameLength) return false;
  }
  return true;
}

}  // namespace

bool Win32Registry::KeyExists(RegRoot root, std::string_view path) {
  return static_cast<bool>(OpenKey(root, path, KEY_READ));
}

bool Win32Registry::CreateKey(RegRoot root, std::string_view path) {
  return IsValidKeyPath(path) && OpenKey(root, path, KEY_READ, Open::Create);
}

bool Win32Registry::DeleteKey(RegRoot root, std::string_view path) {
  // Only a key without subkeys: callers delete from the leaves up.
  std::vector<std::string_view> names = SplitKeyPath(path);
  if (names.empty() || !EnumSubkeys(root, path).empty()) return false;
  const std::string leaf(names.back());
  OpenKey parent(root, path.substr(0, names.back().data() - path.data()), KEY_READ);
  return parent && RegDeleteKeyA(parent.get(), leaf.c_str()) == ERROR_SUCCESS;
}

bool Win32Registry::ReadValue(RegRoot root, std::string_view path, std::string_view name,
                              RegValue& out) {
  OpenKey key(root, path, KEY_QUERY_VALUE);
  if (!key) return false;
  const std::string valueName(name);
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size) !=
      ERROR_SUCCESS) {
    return false;
  }
  std::vector<uint8_t> data(size);
  if (RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, data.data(), &size) !=
      ERROR_SUCCESS) {
    return false;
  }
  data.resize(size);
  out.name = valueName;
  out.type = type;
  out.data = std::move(data);
  return true;
}

bool Win32Registry::WriteValue(RegRoot root, std::string_view path, std::string_view name,
                               uint32_t type, const void* data, size_t size) {
  if (!IsValidKeyPath(path) || !IsValidRegistryName(name)) return false;
  OpenKey key(root, path, KEY_SET_VALUE);
  if (!key) return false;
  const std::string valueName(name);
  return RegSetValueExA(key.get(), valueName.c_str(), 0, type, static_cast<const BYTE*>(data),
                        static_cast<DWORD>(size)) == ERROR_SUCCESS;
}

bool Win32Registry::DeleteValue(RegRoot root, std::string_view path, std::string_view name) {
  OpenKey key(root, path, KEY_SET_VALUE);
  if (!key) return false;
  const std::string valueName(name);
  return RegDeleteValueA(key.get(), valueName.c_str()) == ERROR_SUCCESS;
}

std::vector<std::string> Win32Registry::EnumSubkeys(RegRoot root, std::string_view path) {
  std::vector<std::string> names;
  OpenKey key(root, path, KEY_READ);
  if (!key) return names;
  char name[256];
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof name;
    if (RegEnumKeyExA(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    names.emplace_back(name, length);
  }
  // Windows returns subkeys in this order already; Wine folds names to lower
  // case instead, which moves "_" and "[" ahead of the letters.
  std::sort(names.begin(), names.end(), NameLess{});
  return names;
}

std::vector<RegValue> Win32Registry::EnumValues(RegRoot root, std::string_view path) {
  std::vector<RegValue> values;
  OpenKey key(root, path, KEY_READ);
  if (!key) return values;
  DWORD maxName = 0;
  DWORD maxData = 0;
  if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       &maxName, &maxData, nullptr, nullptr) != ERROR_SUCCESS) {
    return values;
  }
  std::vector<char> name(maxName + 1);
  std::vector<uint8_t> data(maxData);
  for (DWORD index = 0;; ++index) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    DWORD dataLength = static_cast<DWORD>(data.size());
    DWORD type = 0;
    if (RegEnumValueA(key.get(), index, name.data(), &nameLength, nullptr, &type, data.data(),
                      &dataLength) != ERROR_SUCCESS) {
      break;
    }
    values.push_back({std::string(name.data(), nameLength), type,
                      std::vector<uint8_t>(data.begin(), data.begin() + dataLength)});
  }
  // As the registry holds them: in creation order on Windows. (Wine keeps
  // values sorted; the creation order is not recorded there, and keeping it
  // in the user's registry beside the values would show in every other
  // program that reads these keys.)
  return values;
}

}  // namespace lumox
