// The string table, built from the same entries as the Windows string
// resources (string_table.inc).
#include "resources/strings.h"

#include <algorithm>
#include <iterator>

namespace lumox {
namespace {

struct StringEntry {
  int id;
  const char* text;
};

constexpr StringEntry kStrings[] = {
#define LUMOX_STRING(id, text) {id, text},
#include "resources/string_table.inc"
#undef LUMOX_STRING
};

constexpr bool SortedById() {
  for (size_t i = 1; i < std::size(kStrings); ++i) {
    if (kStrings[i - 1].id >= kStrings[i].id) return false;
  }
  return true;
}
static_assert(SortedById(), "string_table.inc must list ids in ascending order, once each");

}  // namespace

const char* LoadResourceString(int id) {
  const auto* end = std::end(kStrings);
  const auto* entry = std::lower_bound(std::begin(kStrings), end, id,
                                       [](const StringEntry& e, int key) { return e.id < key; });
  return entry != end && entry->id == id ? entry->text : "";
}

}  // namespace lumox
