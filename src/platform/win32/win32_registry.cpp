#include "platform/win32/win32_registry.h"

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>

#include "platform/name_order.h"

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

// An open key that closes itself.
class OpenKey {
 public:
  OpenKey(RegRoot root, std::string_view path, REGSAM access) {
    const std::string text(path);
    if (RegOpenKeyExA(RootKey(root), text.c_str(), 0, access, &key_) != ERROR_SUCCESS) {
      key_ = nullptr;
    }
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

// Names with control characters are refused, as the other stores refuse
// them: the API would cut a name at an embedded zero and store the value
// under another name.
bool HasControlCharacter(std::string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

}  // namespace

bool Win32Registry::KeyExists(RegRoot root, std::string_view path) {
  return static_cast<bool>(OpenKey(root, path, KEY_READ));
}

bool Win32Registry::CreateKey(RegRoot root, std::string_view path) {
  if (HasControlCharacter(path)) return false;
  const std::string text(path);
  HKEY key = nullptr;
  if (RegCreateKeyExA(RootKey(root), text.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

bool Win32Registry::DeleteKey(RegRoot root, std::string_view path) {
  // Only a key without subkeys: callers delete from the leaves up.
  if (path.empty() || !EnumSubkeys(root, path).empty()) return false;
  const std::string text(path);
  return RegDeleteKeyA(RootKey(root), text.c_str()) == ERROR_SUCCESS;
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
  if (HasControlCharacter(path) || HasControlCharacter(name)) return false;
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
