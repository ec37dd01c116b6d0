#include "platform/atomic_file.h"

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <atomic>

namespace lumox {
namespace {

std::string SystemMessage(DWORD code) {
  char text[256] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, code, 0, text, sizeof text, nullptr);
  std::string message(text, length);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
    message.pop_back();
  }
  return message.empty() ? "error " + std::to_string(code) : message;
}

// A new temporary file beside `path`, never one that is already there.
HANDLE CreateTemporary(const std::string& path, std::string& temporary) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = path + ".tmp-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(counter++);
    const HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, std::string_view content,
                           FileAccess /*access*/, std::string& error) {
  std::string temporary;
  const HANDLE file = CreateTemporary(path, temporary);
  if (file == INVALID_HANDLE_VALUE) {
    error = SystemMessage(GetLastError());
    return false;
  }
  bool written = true;
  while (written && !content.empty()) {
    DWORD put = 0;
    written = WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &put, nullptr) &&
              put > 0;
    if (written) content.remove_prefix(put);
  }
  written = written && FlushFileBuffers(file);
  DWORD failure = GetLastError();
  CloseHandle(file);
  // Write-through: the rename is on disk when the call returns. A target
  // that another writer (or a virus scanner) has open for a moment refuses
  // the rename; try again briefly.
  for (int attempt = 0; written; ++attempt) {
    if (MoveFileExA(temporary.c_str(), path.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      break;
    }
    failure = GetLastError();
    const bool busy = failure == ERROR_ACCESS_DENIED || failure == ERROR_SHARING_VIOLATION;
    if (!busy || attempt == 100) written = false;
    Sleep(1);
  }
  if (!written) {
    error = SystemMessage(failure);
    DeleteFileA(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace lumox
