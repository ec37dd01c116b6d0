#include "platform/import_filters.h"

#include <cstring>

#include "platform/name_order.h"

namespace lumox {
namespace {

std::string StringValue(RegistryStore& registry, const std::string& key, std::string_view name) {
  RegValue value;
  if (!registry.ReadValue(RegRoot::LocalMachine, key, name, value) || value.type != kRegSz) {
    return {};
  }
  const auto* text = reinterpret_cast<const char*>(value.data.data());
  return std::string(text, strnlen(text, value.data.size()));
}

}  // namespace

std::vector<ImportFilter> RegisteredImportFilters(RegistryStore& registry) {
  std::vector<ImportFilter> filters;
  for (const std::string& subkey : registry.EnumSubkeys(RegRoot::LocalMachine, kImportFilterKey)) {
    const std::string key = std::string(kImportFilterKey) + "\\" + subkey;
    filters.push_back({StringValue(registry, key, "Name"), StringValue(registry, key, "Extensions"),
                       StringValue(registry, key, "Path")});
  }
  return filters;
}

std::string PathExtension(std::string_view path,
                          const std::function<bool(unsigned char)>& isLeadByte) {
  size_t dot = std::string_view::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    const char c = path[i];
    if (c == '.') {
      dot = i;
    } else if (c == ' ' || c == '\\' || c == '/') {
      dot = std::string_view::npos;
    } else if (isLeadByte && isLeadByte(static_cast<unsigned char>(c))) {
      ++i;
    }
  }
  return dot == std::string_view::npos ? std::string() : std::string(path.substr(dot + 1));
}

bool FilterTakesExtension(std::string_view extensions, std::string_view extension) {
  if (extension.empty()) return false;
  constexpr std::string_view kSeparators = " ,;";
  size_t start = 0;
  while (start < extensions.size()) {
    size_t end = extensions.find_first_of(kSeparators, start);
    if (end == std::string_view::npos) end = extensions.size();
    if (NamesEqual(extensions.substr(start, end - start), extension)) return true;
    start = end + 1;
  }
  return false;
}

std::string FindImportFilter(std::string_view path, const std::vector<ImportFilter>& filters,
                             const std::function<bool(const std::string&)>& libraryExists,
                             const std::function<bool(unsigned char)>& isLeadByte) {
  const std::string extension = PathExtension(path, isLeadByte);
  if (extension.empty()) return {};
  for (const ImportFilter& filter : filters) {
    if (!filter.path.empty() && FilterTakesExtension(filter.extension, extension) &&
        libraryExists(filter.path)) {
      return filter.path;
    }
  }
  if (NamesEqual(extension, "jpg")) return "JPEGIM32.FLT";
  if (NamesEqual(extension, "pcx")) return "PCXIMP32.FLT";
  return {};
}

}  // namespace lumox
