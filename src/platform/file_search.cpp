#include "platform/file_search.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/name_order.h"

namespace lumox {

// Backtracking over the last '*' only: linear in practice, and never
// exponential because an earlier star never needs to be revisited.
bool MatchesMask(std::string_view mask, std::string_view name) {
  size_t m = 0;
  size_t n = 0;
  size_t starMask = std::string_view::npos;  // position after the last '*'
  size_t starName = 0;                       // where that star's run ends now
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      starMask = ++m;
      starName = n;
    } else if (m < mask.size() &&
               (mask[m] == '?' || FoldNameChar(mask[m]) == FoldNameChar(name[n]))) {
      ++m;
      ++n;
    } else if (starMask != std::string_view::npos) {
      m = starMask;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

std::vector<std::string> FindFiles(const std::string& directory, std::string_view mask) {
  namespace fs = std::filesystem;
  std::vector<std::string> names;
  std::error_code error;
  // Iterate with error codes throughout: a directory that vanishes or an
  // entry that cannot be examined ends or skips quietly instead of throwing.
  for (fs::directory_iterator it(fs::path(directory), error), end; !error && it != end;
       it.increment(error)) {
    std::error_code statusError;
    if (!it->is_regular_file(statusError)) continue;
    std::string name = it->path().filename().string();
    if (MatchesMask(mask, name)) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const int order = CompareNames(a, b);
    return order != 0 ? order < 0 : a < b;
  });
  return names;
}

}  // namespace lumox
