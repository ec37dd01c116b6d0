// Pictures on Windows: first the graphics import filters registered on the
// machine, then, when no filter takes the file's extension or the filter
// fails, the Windows Imaging Component, so PNG, JPEG, GIF, TIFF and the
// rest read on any current Windows.
#pragma once

#include <string>
#include <vector>

#include "platform/picture_import.h"

namespace lumox {

class Win32PictureImporter final : public PictureImporter {
 public:
  // The registered filters in the registry's order, then one entry per
  // extension the imaging component decodes (sorted, none repeated).
  std::vector<ImportFilter> Filters() override;
  bool Import(const std::string& path, DibPicture& picture, std::string& error) override;
};

// Imports through one filter library: its "GetFilterInfo" and "ImportGr"
// entries (or their decorated names), a file specification record with
// the file's short path, and the first bitmap of the metafile the filter
// hands back. The library is loaded and unloaded within the call.
bool ImportWithFilter(const std::string& library, const std::string& path, DibPicture& picture,
                      std::string& error);

// Decodes frame 0 of the file with the Windows Imaging Component into 32
// bits per pixel (blue, green, red, unused).
bool ImportWithImagingComponent(const std::string& path, DibPicture& picture, std::string& error);

// The extensions the imaging component decodes, with its decoders' names.
std::vector<ImportFilter> ImagingComponentFilters();

}  // namespace lumox
