// The graphics import filters registered on the machine, and the choice of
// the filter for a picture file.
//
// Each subkey of kImportFilterKey under HKEY_LOCAL_MACHINE (written by the
// installers of the shared graphics filters, any name) is one filter with
// the string values "Name" (display name), "Extensions" (file extensions
// without the dot) and "Path" (the filter library). The registry is read
// through RegistryStore, so the choice is the same code in tests.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/picture_import.h"
#include "platform/registry_store.h"

namespace lumox {

inline constexpr std::string_view kImportFilterKey =
    "SOFTWARE\\Microsoft\\Shared Tools\\Graphics Filters\\Import";

// The registered filters in the registry's enumeration order; a value that
// is missing or not a string reads as empty.
std::vector<ImportFilter> RegisteredImportFilters(RegistryStore& registry);

// The extension of a path without its dot, or empty: the text after the
// last '.' that no blank, '\' or '/' follows. With `isLeadByte`, a byte it
// accepts starts a two-byte character whose second byte is never taken
// for a separator (the ANSI code pages of East Asian systems).
std::string PathExtension(std::string_view path,
                          const std::function<bool(unsigned char)>& isLeadByte = {});

// Whether a filter's "Extensions" value lists `extension` (case-insensitive):
// the value may hold several, separated by blanks, commas or semicolons.
bool FilterTakesExtension(std::string_view extensions, std::string_view extension);

// The filter library for a picture: the "Path" of the first filter that
// takes the file's extension and whose library exists; failing that, the
// filters' usual library names for "jpg" ("JPEGIM32.FLT") and "pcx"
// ("PCXIMP32.FLT"), left to the system's library search; otherwise empty.
std::string FindImportFilter(std::string_view path, const std::vector<ImportFilter>& filters,
                             const std::function<bool(const std::string&)>& libraryExists,
                             const std::function<bool(unsigned char)>& isLeadByte = {});

}  // namespace lumox
