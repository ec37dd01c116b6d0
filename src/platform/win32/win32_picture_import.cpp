#include "platform/win32/win32_picture_import.h"

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <exception>

#include "platform/import_filters.h"
#include "platform/name_order.h"
#include "platform/platform_defaults.h"

namespace lumox {
namespace {

bool LibraryExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != 0; }

}  // namespace

std::vector<ImportFilter> Win32PictureImporter::Filters() {
  try {
    std::vector<ImportFilter> filters = RegisteredImportFilters(Registry());
    for (ImportFilter& decoded : ImagingComponentFilters()) {
      bool listed = false;
      for (const ImportFilter& filter : filters) {
        listed = listed || FilterTakesExtension(filter.extension, decoded.extension);
      }
      if (!listed) filters.push_back(std::move(decoded));
    }
    return filters;
  } catch (const std::exception&) {
    return {};
  }
}

bool Win32PictureImporter::Import(const std::string& path, DibPicture& picture,
                                  std::string& error) {
  try {
    const std::string library =
        FindImportFilter(path, RegisteredImportFilters(Registry()), LibraryExists, IsLeadByte);
    if (!library.empty() && ImportWithFilter(library, path, picture, error)) return true;
    return ImportWithImagingComponent(path, picture, error);
  } catch (const std::exception&) {
    error = "There is not enough memory for the picture.";
    return false;
  }
}

PictureImporter& PlatformPictureImporter() {
  static Win32PictureImporter importer;
  return importer;
}

}  // namespace lumox
