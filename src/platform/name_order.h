// How registry names compare: without regard to case, in the order the
// Windows registry enumerates keys.
//
// The registry folds names to upper case before comparing them, so a name
// beginning with "[" (0x5B) or "_" (0x5F) sorts after the letters. Saved
// displays such as "[D] Bezier" therefore enumerate after "Active"-like
// names, and the .LMX export writes subkeys in this order. Only ASCII letters
// fold; other bytes compare as unsigned values.
#pragma once

#include <string_view>

namespace lumox {

constexpr unsigned char FoldNameChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'a' && u <= 'z') ? static_cast<unsigned char>(u - 'a' + 'A') : u;
}

// Negative, zero or positive, like strcmp, ignoring case.
constexpr int CompareNames(std::string_view a, std::string_view b) {
  const size_t common = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < common; ++i) {
    const int diff = FoldNameChar(a[i]) - FoldNameChar(b[i]);
    if (diff != 0) return diff;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

constexpr bool NamesEqual(std::string_view a, std::string_view b) {
  return CompareNames(a, b) == 0;
}

// A map comparator for case-insensitive, case-preserving names.
struct NameLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return CompareNames(a, b) < 0; }
};

}  // namespace lumox
