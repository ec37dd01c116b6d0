// Feeds arbitrary bytes to the registry file parser. Besides not crashing,
// whatever parses must write back to text that parses to the same registry:
// the file store rewrites the file from the parsed tree on every change.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/registry_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace lumox;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  RegistryTree tree;
  std::string error;
  if (!ParseRegistryText(text, tree, error)) {
    if (error.empty()) std::abort();  // a rejection always says why
    return 0;
  }
  const std::string written = FormatRegistryText(tree);
  RegistryTree reread;
  if (!ParseRegistryText(written, reread, error)) std::abort();
  if (FormatRegistryText(reread) != written) std::abort();
  return 0;
}
