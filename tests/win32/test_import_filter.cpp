// A graphics import filter for the tests. Its "pictures" are packed
// bitmaps stored as they are; it checks the records the saver passes in as
// a filter would rely on them, and hands the bitmap back inside a metafile
// (after a record that carries none), in a global memory block.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

void Put16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bytes.resize(GetFileSize(file, nullptr));
  DWORD read = 0;
  const bool ok = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                  read == bytes.size();
  CloseHandle(file);
  return ok;
}

}  // namespace

extern "C" __declspec(dllexport) int WINAPI GetFilterInfo(short version, LPSTR, HGLOBAL* preferences,
                                                          LPVOID) {
  if (version != 2 || preferences == nullptr) return 0;
  *preferences = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 64);
  return 2;
}

extern "C" __declspec(dllexport) int WINAPI ImportGr(HDC dc, const uint8_t* specification,
                                                     HGLOBAL* information, HGLOBAL preferences) {
  uint16_t handle = 0;
  uint32_t position = 0;
  std::memcpy(&handle, specification + 6, 2);
  std::memcpy(&position, specification + 268, 4);
  const char* path = reinterpret_cast<const char*>(specification + 8);
  if (dc != nullptr || preferences == nullptr || (specification[0] & 0x1F) != 0 || handle != 0 ||
      position != 0 || memchr(path, 0, 260) == nullptr || strchr(path, ' ') != nullptr ||
      *information != nullptr) {
    return 1;  // not called as the filter interface says (a blank: not the short path)
  }
  std::vector<uint8_t> dib;
  if (!ReadWholeFile(path, dib)) return 2;

  std::vector<uint8_t> metafile;
  Put16(metafile, 1), Put16(metafile, 9), Put16(metafile, 0x300), Put32(metafile, 0);
  Put16(metafile, 0), Put32(metafile, 0), Put16(metafile, 0);
  Put32(metafile, 4), Put16(metafile, 0x0103), Put16(metafile, 8);  // SETMAPMODE
  if (dib.size() % 2 != 0) dib.push_back(0);
  Put32(metafile, static_cast<uint32_t>(14 + dib.size() / 2)), Put16(metafile, 0x0F43);
  metafile.resize(metafile.size() + 22, 0);  // STRETCHDIB's parameters
  metafile.insert(metafile.end(), dib.begin(), dib.end());
  Put32(metafile, 3), Put16(metafile, 0);
  const uint32_t words = static_cast<uint32_t>(metafile.size() / 2);
  std::memcpy(metafile.data() + 6, &words, 4);

  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, metafile.size());
  if (block == nullptr) return 3;
  std::memcpy(GlobalLock(block), metafile.data(), metafile.size());
  GlobalUnlock(block);
  *information = block;
  return 0;
}
