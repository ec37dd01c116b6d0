// Finding files by a mask such as "*.LMX" or "photo??.bmp".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumox {

// True when name matches mask: '*' matches any run of characters, '?' any
// one character; letters compare without regard to case.
bool MatchesMask(std::string_view mask, std::string_view name);

// The plain files (not directories) in a directory whose names match the
// mask, sorted by name without regard to case. Empty when the directory
// cannot be read.
std::vector<std::string> FindFiles(const std::string& directory, std::string_view mask);

}  // namespace lumox
