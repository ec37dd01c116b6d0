#include "settings/settings_file.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/atomic_file.h"
#include "platform/registry_store.h"
#include "platform/system.h"
#include "settings/registry_values.h"
#include "settings/saved_displays.h"

namespace lumox {

namespace {

// Far beyond any display (about 1700 values of at most 1 KiB each); a
// larger file is not a settings file and is not read into memory.
constexpr uintmax_t kMaxSettingsFileSize = 16u << 20;

void AppendU32(std::vector<uint8_t>& bytes, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(value >> shift));
}

void AppendText(std::vector<uint8_t>& bytes, const std::string& text) {
  AppendU32(bytes, static_cast<uint32_t>(text.size() + 1));
  bytes.insert(bytes.end(), text.begin(), text.end());
  bytes.push_back(0);
}

SettingsFileResult Failure(SettingsFileStatus status, std::string message) {
  SettingsFileResult result;
  result.status = status;
  result.message = std::move(message);
  return result;
}

// Appends the records of one key and, depth first, of its subkeys. False,
// with the reason in `problem`, when something does not fit the format.
bool SerializeKey(const std::string& fullPath, const std::string& relativePath,
                  std::vector<uint8_t>& bytes, int& records, std::string& problem) {
  RegistryStore& registry = Registry();
  for (const RegValue& value : registry.EnumValues(RegRoot::CurrentUser, fullPath)) {
    const std::string where = relativePath.empty() ? value.name : relativePath + "\\" + value.name;
    if (value.name.size() > kMaxExportValueName) {
      problem = "the value name \"" + where + "\" is longer than " +
                std::to_string(kMaxExportValueName) + " characters";
      return false;
    }
    if (value.data.size() > kMaxRecordData) {
      problem = "the value \"" + where + "\" holds " + std::to_string(value.data.size()) +
                " bytes, more than the " + std::to_string(kMaxRecordData) +
                " a settings file can carry";
      return false;
    }
    AppendText(bytes, relativePath);
    AppendText(bytes, value.name);
    AppendU32(bytes, value.type);
    AppendU32(bytes, static_cast<uint32_t>(value.data.size()));
    bytes.insert(bytes.end(), value.data.begin(), value.data.end());
    ++records;
  }
  for (const std::string& subkey : registry.EnumSubkeys(RegRoot::CurrentUser, fullPath)) {
    const std::string childPath = relativePath.empty() ? subkey : relativePath + "\\" + subkey;
    if (subkey.size() > kMaxExportSubkeyName || childPath.size() >= kReaderNameBuffer) {
      problem = "the key \"" + childPath + "\" has a name too long for a settings file";
      return false;
    }
    if (!SerializeKey(fullPath + "\\" + subkey, childPath, bytes, records, problem)) return false;
  }
  return true;
}

// Reads the little pieces of a record; every read says whether the bytes
// were there.
class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  size_t remaining() const { return bytes_.size() - pos_; }
  bool ReadU32(uint32_t& value) {
    if (remaining() < 4) return false;
    value = uint32_t{bytes_[pos_]} | uint32_t{bytes_[pos_ + 1]} << 8 |
            uint32_t{bytes_[pos_ + 2]} << 16 | uint32_t{bytes_[pos_ + 3]} << 24;
    pos_ += 4;
    return true;
  }
  bool ReadBytes(size_t count, std::span<const uint8_t>& out) {
    if (remaining() < count) return false;
    out = bytes_.subspan(pos_, count);
    pos_ += count;
    return true;
  }

 private:
  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
};

enum class FieldResult { kRead, kCut, kBad };

// A zero-terminated name field: its length (with the zero) and its bytes.
FieldResult ReadNameField(ByteReader& reader, const char* what, std::string& name,
                          std::string& problem) {
  uint32_t length = 0;
  if (!reader.ReadU32(length)) return FieldResult::kCut;
  if (length == 0 || length > kReaderNameBuffer) {
    problem = std::string("a ") + what + " length of " + std::to_string(length) +
              " bytes (at most " + std::to_string(kReaderNameBuffer) + " are allowed)";
    return FieldResult::kBad;
  }
  std::span<const uint8_t> field;
  if (!reader.ReadBytes(length, field)) return FieldResult::kCut;
  const auto* text = reinterpret_cast<const char*>(field.data());
  if (field[length - 1] != 0 || std::memchr(text, 0, length - 1) != nullptr) {
    problem = std::string("a ") + what + " without its single terminating zero";
    return FieldResult::kBad;
  }
  name.assign(text, length - 1);
  // No store keeps control characters in names, and no export writes them.
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) {
      problem = std::string("a ") + what + " with a control character";
      return FieldResult::kBad;
    }
  }
  return FieldResult::kRead;
}

// One record; kCut when the file ends inside it.
FieldResult ReadRecord(ByteReader& reader, SettingsRecord& record, std::string& problem) {
  FieldResult field = ReadNameField(reader, "key path", record.keyPath, problem);
  if (field != FieldResult::kRead) return field;
  if (!IsSafeRecordKeyPath(record.keyPath)) {
    problem = "the key path \"" + record.keyPath + "\", which points outside the display";
    return FieldResult::kBad;
  }
  field = ReadNameField(reader, "value name", record.valueName, problem);
  if (field != FieldResult::kRead) return field;
  uint32_t length = 0;
  if (!reader.ReadU32(record.type) || !reader.ReadU32(length)) return FieldResult::kCut;
  if (length > kMaxRecordData) {
    problem = "a value of " + std::to_string(length) + " bytes (at most " +
              std::to_string(kMaxRecordData) + " are allowed)";
    return FieldResult::kBad;
  }
  std::span<const uint8_t> data;
  if (!reader.ReadBytes(length, data)) return FieldResult::kCut;
  record.data.assign(data.begin(), data.end());
  return FieldResult::kRead;
}

bool IsFileSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace

SettingsFileResult SerializeDisplay(const char* name, std::vector<uint8_t>& bytes) {
  bytes.clear();
  if (!IsValidDisplayName(name)) {
    return Failure(SettingsFileStatus::kInvalidName, DisplayNameProblem(name));
  }
  const std::string displayPath = ControlPanelPath(DisplayKey(name));
  if (!RegistryKeyExists(displayPath)) {
    return Failure(SettingsFileStatus::kMissingDisplay,
                   std::string("There is no saved display named \"") + name + "\".");
  }
  std::vector<uint8_t> file(std::begin(kSettingsFileMagic), std::end(kSettingsFileMagic));
  SettingsFileResult result;
  std::string problem;
  if (!SerializeKey(displayPath, "", file, result.records, problem)) {
    return Failure(SettingsFileStatus::kTooLarge, std::string("Cannot export \"") + name +
                                                      "\": " + problem + ".");
  }
  bytes = std::move(file);
  return result;
}

SettingsFileResult ExportDisplay(const char* name, const std::string& filePath) {
  std::vector<uint8_t> bytes;
  SettingsFileResult result = SerializeDisplay(name, bytes);
  if (!result.ok()) return result;

  std::string error;
  const std::string_view content(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (!ReplaceFileAtomically(filePath, content, FileAccess::Everyone, error)) {
    return Failure(SettingsFileStatus::kCannotWrite,
                   "Cannot write \"" + filePath + "\" (" + error + ").");
  }
  return result;
}

bool IsSafeRecordKeyPath(std::string_view path) {
  if (path.empty()) return true;
  size_t start = 0;
  while (true) {
    const size_t end = path.find('\\', start);
    const std::string_view part =
        path.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (part.empty() || part == "." || part == "..") return false;
    if (end == std::string_view::npos) return true;
    start = end + 1;
  }
}

ParsedSettingsFile ParseSettingsFile(std::span<const uint8_t> bytes) {
  ParsedSettingsFile parsed;
  if (bytes.size() < 4 || std::memcmp(bytes.data(), kSettingsFileMagic, 4) != 0) {
    parsed.status = SettingsFileStatus::kBadMagic;
    parsed.problem = "it does not start like a settings file";
    return parsed;
  }
  ByteReader reader(bytes.subspan(4));
  while (reader.remaining() > 0) {
    SettingsRecord record;
    std::string problem;
    const FieldResult read = ReadRecord(reader, record, problem);
    if (read == FieldResult::kCut) {
      parsed.status = SettingsFileStatus::kTruncated;
      parsed.problem = "the file ends in the middle of a setting";
      break;
    }
    if (read == FieldResult::kBad) {
      parsed.status = SettingsFileStatus::kStoppedAtBadRecord;
      parsed.problem = "setting " + std::to_string(parsed.records.size() + 1) + " has " + problem;
      break;
    }
    parsed.records.push_back(std::move(record));
  }
  return parsed;
}

SettingsFileResult ImportSettingsBytes(const char* name, std::span<const uint8_t> bytes) {
  if (!IsValidDisplayName(name)) {
    return Failure(SettingsFileStatus::kInvalidName, DisplayNameProblem(name));
  }
  ParsedSettingsFile parsed = ParseSettingsFile(bytes);
  if (parsed.status == SettingsFileStatus::kBadMagic) {
    return Failure(SettingsFileStatus::kBadMagic, "This is not a settings file: " +
                                                      parsed.problem + ".");
  }
  if (parsed.records.empty()) {
    std::string message = "The settings file holds no settings";
    if (!parsed.problem.empty()) message += ": " + parsed.problem;
    return Failure(SettingsFileStatus::kNoRecords, message + ". Nothing was changed.");
  }

  SettingsFileResult result;
  result.status = parsed.status;
  std::string failedKeys;
  {
    RegistryStore& registry = Registry();
    RegistryBatch batch(registry);
    DeleteDisplay(name);
    const std::string displayPath = ControlPanelPath(DisplayKey(name));
    for (const SettingsRecord& record : parsed.records) {
      const std::string keyPath =
          record.keyPath.empty() ? displayPath : displayPath + "\\" + record.keyPath;
      if (!registry.CreateKey(RegRoot::CurrentUser, keyPath) ||
          !registry.WriteValue(RegRoot::CurrentUser, keyPath, record.valueName, record.type,
                               record.data.data(), record.data.size())) {
        result.status = SettingsFileStatus::kKeyCreateFailed;
        if (failedKeys.empty()) failedKeys = record.keyPath.empty() ? "(display)" : record.keyPath;
        continue;
      }
      ++result.records;
    }
  }

  const std::string imported = std::to_string(result.records) + " settings imported into \"" +
                               name + "\"";
  switch (result.status) {
    case SettingsFileStatus::kKeyCreateFailed:
      result.message = "Some settings could not be stored (first under \"" + failedKeys +
                       "\"); " + imported + ".";
      break;
    case SettingsFileStatus::kTruncated:
    case SettingsFileStatus::kStoppedAtBadRecord:
      result.message = "The settings file was read only in part: " + parsed.problem + "; " +
                       imported + ".";
      break;
    default:
      result.message = imported + ".";
  }
  return result;
}

SettingsFileResult ImportSettingsFile(const char* name, const std::string& filePath) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path path(filePath);
  if (!fs::is_regular_file(path, error)) {
    return Failure(SettingsFileStatus::kCannotOpen, "Cannot open \"" + filePath + "\".");
  }
  const uintmax_t size = fs::file_size(path, error);
  if (error || size > kMaxSettingsFileSize) {
    return Failure(error ? SettingsFileStatus::kCannotOpen : SettingsFileStatus::kTooLarge,
                   "\"" + filePath + "\" is not a settings file (it cannot be read whole).");
  }
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.good() && !in.eof()) {
    return Failure(SettingsFileStatus::kCannotOpen, "Cannot read \"" + filePath + "\".");
  }
  return ImportSettingsBytes(name, bytes);
}

std::string DisplayNameFromPath(std::string_view filePath) {
  size_t start = 0;
  for (size_t i = 0; i < filePath.size(); ++i) {
    if (IsFileSeparator(filePath[i])) start = i + 1;
  }
  std::string_view base = filePath.substr(start);
  const size_t dot = base.rfind('.');
  if (dot != std::string_view::npos) base = base.substr(0, dot);
  return std::string(base);
}

bool ConfirmOverwrite(const std::string& name) {
  if (!RegistryKeyExists(ControlPanelPath(DisplayKey(name)))) return true;
  return System().AskYesNo("Settings by this name already exist!",
                           "This will overwrite your existing settings for \"" + name +
                               "\"\n\nDo you wish to proceed?");
}

SettingsFileResult ImportWithPrompt(const std::string& filePath, std::string* nameOut) {
  const std::string name = DisplayNameFromPath(filePath);
  if (nameOut) *nameOut = name;
  if (!IsValidDisplayName(name)) {
    return Failure(SettingsFileStatus::kInvalidName,
                   "\"" + filePath + "\" does not give a usable display name: " +
                       DisplayNameProblem(name));
  }
  if (!ConfirmOverwrite(name)) {
    return Failure(SettingsFileStatus::kDeclined, "\"" + name + "\" was left as it was.");
  }
  return ImportSettingsFile(name.c_str(), filePath);
}

std::vector<std::string> SplitFileSelection(std::string_view selection) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start < selection.size()) {
    const size_t end = std::min(selection.find('\0', start), selection.size());
    if (end == start) break;  // the empty name that ends the list
    parts.emplace_back(selection.substr(start, end - start));
    start = end + 1;
  }
  if (parts.size() <= 1) return parts;

#ifdef _WIN32
  constexpr char kSeparator = '\\';
#else
  constexpr char kSeparator = '/';
#endif
  const std::string& directory = parts.front();
  const bool endsWithSeparator = !directory.empty() && IsFileSeparator(directory.back());
  std::vector<std::string> paths;
  for (size_t i = 1; i < parts.size(); ++i) {
    paths.push_back(endsWithSeparator ? directory + parts[i]
                                      : directory + kSeparator + parts[i]);
  }
  return paths;
}

std::vector<ImportedFile> ImportSeveral(std::string_view selection) {
  std::vector<ImportedFile> imported;
  for (const std::string& path : SplitFileSelection(selection)) {
    ImportedFile file;
    file.path = path;
    file.result = ImportWithPrompt(path, &file.name);
    imported.push_back(std::move(file));
  }
  return imported;
}

std::string ProposedExportFileName(std::string_view displayName) {
  static constexpr std::string_view kKept = "$%'-_@ ~`!(){.}^#&+,;=[]";
  std::string fileName(displayName);
  for (char& c : fileName) {
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    const bool digit = c >= '0' && c <= '9';
    if (!letter && !digit && kKept.find(c) == std::string_view::npos) c = '_';
  }
  return fileName;
}

}  // namespace lumox
