#include "config/file_choosers.h"

#include <commdlg.h>

#include <vector>

#include "settings/settings_file.h"

namespace lumox::win32 {

namespace {

// Room for a multiple selection of many files; a single choice needs
// MAX_PATH.
constexpr size_t kSelectionBufferSize = 32768;

// The filter list in the dialog's form: text, zero, patterns, zero, ...,
// and a final zero.
std::string FilterList(const std::vector<FileFilter>& filters) {
  std::string list;
  for (const FileFilter& filter : filters) {
    list += filter.text;
    list += '\0';
    list += filter.patterns;
    list += '\0';
  }
  list += '\0';
  return list;
}

OPENFILENAMEA DialogRecord(HWND owner, const FileRequest& request, const std::string& filters,
                           std::vector<char>& buffer) {
  request.fileName.copy(buffer.data(), buffer.size() - 1);
  OPENFILENAMEA record{};
  record.lStructSize = sizeof record;
  record.hwndOwner = owner;
  record.lpstrFilter = filters.c_str();
  record.nFilterIndex = 1;
  record.lpstrFile = buffer.data();
  record.nMaxFile = static_cast<DWORD>(buffer.size());
  record.lpstrInitialDir = request.directory.empty() ? nullptr : request.directory.c_str();
  record.lpstrTitle = request.title.empty() ? nullptr : request.title.c_str();
  record.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
  return record;
}

}  // namespace

std::vector<std::string> CommonDialogs::AskOpenFiles(const FileRequest& request) {
  const std::string filters = FilterList(request.filters);
  std::vector<char> buffer(request.multiple ? kSelectionBufferSize : MAX_PATH, '\0');
  OPENFILENAMEA record = DialogRecord(owner_, request, filters, buffer);
  record.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (request.multiple) record.Flags |= OFN_ALLOWMULTISELECT;
  if (!GetOpenFileNameA(&record)) return {};
  // The selection ends with an empty name: two zeros in a row.
  size_t end = 0;
  while (end + 1 < buffer.size() && !(buffer[end] == '\0' && buffer[end + 1] == '\0')) ++end;
  return SplitFileSelection(std::string_view(buffer.data(), end + 1));
}

std::string CommonDialogs::AskSaveFile(const FileRequest& request) {
  const std::string filters = FilterList(request.filters);
  std::vector<char> buffer(MAX_PATH, '\0');
  OPENFILENAMEA record = DialogRecord(owner_, request, filters, buffer);
  record.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  if (!GetSaveFileNameA(&record)) return {};
  return buffer.data();
}

void CommonDialogs::ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) {
  const UINT style = icon == MessageIcon::kError         ? MB_ICONERROR
                     : icon == MessageIcon::kInformation ? MB_ICONINFORMATION
                                                         : 0;
  MessageBoxA(owner_, text.c_str(), title.c_str(), MB_OK | style);
}

}  // namespace lumox::win32
