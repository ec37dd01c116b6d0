#include "platform/win32/win32_shared_memory.h"

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace lumox {
namespace {

// A page-file backed mapping and its view. The system zeroes a new mapping
// and frees it with its last handle.
class FileMapping final : public SharedMemory {
 public:
  FileMapping(HANDLE mapping, uint8_t* view, size_t size, bool created)
      : mapping_(mapping), view_(view), size_(size), created_(created) {}
  ~FileMapping() override {
    UnmapViewOfFile(view_);
    CloseHandle(mapping_);
  }
  uint8_t* data() override { return view_; }
  size_t size() const override { return size_; }
  bool created() const override { return created_; }

 private:
  HANDLE mapping_;
  uint8_t* view_;
  size_t size_;
  bool created_;
};

}  // namespace

std::unique_ptr<SharedMemory> Win32SharedMemoryProvider::Open(const std::string& name,
                                                              size_t size) {
  HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      static_cast<DWORD>(size), name.c_str());
  if (!mapping) return nullptr;
  const bool created = GetLastError() != ERROR_ALREADY_EXISTS;
  // An existing mapping may be smaller than asked for: map only what exists.
  void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0);
  if (!view) {
    CloseHandle(mapping);
    return nullptr;
  }
  MEMORY_BASIC_INFORMATION info{};
  size_t mapped = size;
  if (VirtualQuery(view, &info, sizeof info) == sizeof info && info.RegionSize < size) {
    mapped = info.RegionSize;
  }
  return std::make_unique<FileMapping>(mapping, static_cast<uint8_t*>(view), mapped, created);
}

}  // namespace lumox
