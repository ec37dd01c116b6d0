// The call into a graphics import filter library.
//
// A filter exports "GetFilterInfo" (version 2, an empty initialisation
// string, a handle that receives its preference block) and "ImportGr" (no
// device context, the 272-byte file specification record, the picture
// information record, the preference block). It answers with a global
// memory block holding a metafile, from which the first embedded bitmap is
// copied out; the block, the preference block and the library are released
// before the call returns.
#include "platform/win32/win32_picture_import.h"

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstring>

#include "platform/metafile_bitmap.h"

namespace lumox {
namespace {

using GetFilterInfoEntry = int(WINAPI*)(short version, LPSTR initialisation, HGLOBAL* preferences,
                                        LPVOID reserved);
using ImportEntry = int(WINAPI*)(HDC dc, void* fileSpecification, void* pictureInformation,
                                 HGLOBAL preferences);

constexpr short kFilterVersion = 2;

// The file specification record: a flag word (its five lowest bits clear),
// two unused words, a 16-bit file handle (0), the short path (260 bytes),
// a 32-bit file position (0).
constexpr size_t kFileSpecificationSize = 272;
constexpr size_t kSpecificationPathAt = 8;
constexpr size_t kSpecificationPathSize = 260;

// What the filter fills: the metafile block first. A 32-bit filter's record
// is 24 bytes; a 64-bit one's handle and record are wider.
struct PictureInformation {
  HGLOBAL picture;
  RECT bounds;
  WORD unitsPerInch;
};
static_assert(sizeof(void*) != 4 || sizeof(PictureInformation) == 24);

class Library {
 public:
  explicit Library(const std::string& name) {
    // A bare name (the usual filter names) is searched for in the system's
    // own directories only, never in the current directory; a full path
    // finds the filter's own dependencies beside it.
    const bool bare = name.find_first_of("\\/:") == std::string::npos;
    module_ = LoadLibraryExA(name.c_str(), nullptr,
                             bare ? LOAD_LIBRARY_SEARCH_DEFAULT_DIRS : LOAD_WITH_ALTERED_SEARCH_PATH);
  }
  ~Library() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  bool loaded() const { return module_ != nullptr; }
  // The entry under its plain name, or else under the name a 32-bit
  // stdcall export carries.
  FARPROC Entry(const char* name, const char* decoratedName) const {
    FARPROC entry = GetProcAddress(module_, name);
    return entry != nullptr ? entry : GetProcAddress(module_, decoratedName);
  }

 private:
  HMODULE module_ = nullptr;
};

class GlobalBlock {
 public:
  ~GlobalBlock() {
    if (handle != nullptr) GlobalFree(handle);
  }
  HGLOBAL handle = nullptr;
};

bool Fail(std::string& error, const char* message) {
  error = message;
  return false;
}

bool FillFileSpecification(const std::string& path, uint8_t (&record)[kFileSpecificationSize]) {
  std::memset(record, 0, sizeof record);
  char shortPath[kSpecificationPathSize] = {};
  const DWORD length = GetShortPathNameA(path.c_str(), shortPath, sizeof shortPath);
  if (length == 0 || length >= sizeof shortPath) {
    // No short form (the volume keeps none): the full path, if it fits.
    if (path.size() >= sizeof shortPath) return false;
    std::memcpy(shortPath, path.c_str(), path.size() + 1);
  }
  std::memcpy(record + kSpecificationPathAt, shortPath, sizeof shortPath);
  return true;
}

bool CopyFirstBitmap(HGLOBAL block, DibPicture& picture, std::string& error) {
  const auto* bytes = static_cast<const uint8_t*>(GlobalLock(block));
  if (bytes == nullptr) return Fail(error, "The import filter gave no picture.");
  const std::span<const uint8_t> metafile(bytes, GlobalSize(block));
  const std::span<const uint8_t> dib = FindMetafileBitmap(metafile);
  const bool read = dib.empty() ? Fail(error, "The import filter's picture holds no bitmap.")
                                : UnpackDib(dib, picture, error);
  GlobalUnlock(block);
  return read;
}

}  // namespace

bool ImportWithFilter(const std::string& library, const std::string& path, DibPicture& picture,
                      std::string& error) {
  Library filter(library);
  if (!filter.loaded()) return Fail(error, "The import filter cannot be loaded.");
  const auto getInfo = reinterpret_cast<GetFilterInfoEntry>(
      reinterpret_cast<void*>(filter.Entry("GetFilterInfo", "GetFilterInfo@16")));
  const auto import = reinterpret_cast<ImportEntry>(
      reinterpret_cast<void*>(filter.Entry("ImportGr", "ImportGr@16")));
  if (import == nullptr) return Fail(error, "The import filter has no import entry.");

  GlobalBlock preferences;
  if (getInfo != nullptr) {
    char initialisation[1] = {};
    if (getInfo(kFilterVersion, initialisation, &preferences.handle, nullptr) != 2) {
      return Fail(error, "The import filter refused to start.");
    }
  }
  uint8_t specification[kFileSpecificationSize];
  if (!FillFileSpecification(path, specification)) {
    return Fail(error, "The picture's path is too long for the import filter.");
  }
  PictureInformation information{};
  const int result = import(nullptr, specification, &information, preferences.handle);
  GlobalBlock metafile;
  metafile.handle = information.picture;
  if (result != 0 || metafile.handle == nullptr) {
    return Fail(error, "The import filter cannot read the picture.");
  }
  return CopyFirstBitmap(metafile.handle, picture, error);
}

}  // namespace lumox
