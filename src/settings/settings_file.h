// Settings files (".LMX"): a saved display as a flat dump of its registry
// subtree.
//
// Layout (integers 32-bit little-endian, no alignment):
//   magic          the bytes 00 42 00 42
//   records        to the end of the file, each:
//     L1, key path   relative to the display's key, zero-terminated
//                    ("" for the display key, "Palette", "Modules\Bezier")
//     L2, value name zero-terminated
//     type           REG_SZ, REG_DWORD or REG_BINARY
//     L3, data       the value's bytes as the registry holds them
// Records come depth first in registry enumeration order: the display's own
// values, then each subkey's values followed by its subkeys.
//
// Limits: value names of at most 127 characters, subkey names of at most
// 255, data of at most 1024 bytes, key paths and value names of at most 259
// characters. The export refuses a display that does not fit (it would not
// come back whole); the reader refuses records that break them.
//
// Reading is done in two steps: the whole file is parsed and checked in
// memory first, and only a file that holds at least one good record touches
// the registry. There the display is replaced inside one registry batch.
// A file cut short imports the records before the cut; a malformed record
// ends the import at that record. No record can write outside the display's
// own key.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumox {

constexpr uint8_t kSettingsFileMagic[4] = {0x00, 0x42, 0x00, 0x42};
constexpr size_t kMaxExportValueName = 127;
constexpr size_t kMaxExportSubkeyName = 255;
constexpr size_t kMaxRecordData = 1024;
constexpr size_t kReaderNameBuffer = 260;  // key path and value name, with the zero

enum class SettingsFileStatus {
  kOk,
  kTruncated,         // ok: the records before the cut were imported
  kStoppedAtBadRecord,  // ok: the records before the bad one were imported
  kCannotOpen,
  kCannotWrite,
  kBadMagic,
  kNoRecords,         // the magic matched but no complete, well-formed record follows
  kMissingDisplay,
  kTooLarge,          // the display holds something the file format cannot carry
  kInvalidName,
  kKeyCreateFailed,
  kDeclined,          // the user answered No to the overwrite question
};

struct SettingsFileResult {
  SettingsFileStatus status = SettingsFileStatus::kOk;
  int records = 0;      // records written or imported
  std::string message;  // for the user: what happened, in a sentence

  bool ok() const {
    return status == SettingsFileStatus::kOk || status == SettingsFileStatus::kTruncated ||
           status == SettingsFileStatus::kStoppedAtBadRecord;
  }
  // The classic result: 1 on success, 0 otherwise.
  int AsInt() const { return ok() ? 1 : 0; }
};

// One value record of a settings file.
struct SettingsRecord {
  std::string keyPath;
  std::string valueName;
  uint32_t type = 0;
  std::vector<uint8_t> data;
};

struct ParsedSettingsFile {
  SettingsFileStatus status = SettingsFileStatus::kOk;  // kOk, kTruncated,
                                                         // kStoppedAtBadRecord, kBadMagic
  std::vector<SettingsRecord> records;
  std::string problem;  // why reading stopped early, when it did
};

// The bytes of the display's settings file, or an error (kMissingDisplay,
// kTooLarge) with `bytes` left empty.
SettingsFileResult SerializeDisplay(const char* name, std::vector<uint8_t>& bytes);

// Writes the display to a file. The file is written only when the whole
// display fits the format; an existing file is replaced as a whole
// (ReplaceFileAtomically), never left half written.
SettingsFileResult ExportDisplay(const char* name, const std::string& filePath);

// Parses a settings file's bytes without touching the registry.
ParsedSettingsFile ParseSettingsFile(std::span<const uint8_t> bytes);

// A key path a record may name: empty (the display key) or subkey names
// joined by single backslashes, none empty, "." or "..". (Names with
// control characters are refused before this test.)
bool IsSafeRecordKeyPath(std::string_view path);

// Replaces the display `name` with the settings in `bytes`.
SettingsFileResult ImportSettingsBytes(const char* name, std::span<const uint8_t> bytes);

// Replaces the display `name` with the settings in the file.
SettingsFileResult ImportSettingsFile(const char* name, const std::string& filePath);

// The display name a settings file imports as: its file name without
// directory and extension.
std::string DisplayNameFromPath(std::string_view filePath);

// Imports a file under its own name, first asking (System().AskYesNo) before
// an existing display of that name is replaced. `nameOut` receives the name.
SettingsFileResult ImportWithPrompt(const std::string& filePath, std::string* nameOut);

// The question asked before a display is overwritten; true to go on (also
// when no display of that name exists).
bool ConfirmOverwrite(const std::string& name);

// The files of a selection from the open dialog, in the dialog's
// multiple-selection form on every platform: the directory, a zero, each
// file name followed by a zero, and an empty name at the end. A list that
// holds one entry only is itself the path.
std::vector<std::string> SplitFileSelection(std::string_view selection);

struct ImportedFile {
  std::string path;
  std::string name;  // the display it was imported as
  SettingsFileResult result;
};

// Import with prompt for each file of a selection, in order.
std::vector<ImportedFile> ImportSeveral(std::string_view selection);

// The file name proposed for exporting a display: every character that is
// not a letter, a digit or one of $%'-_@ ~`!(){.}^#&+,;=[] becomes "_".
std::string ProposedExportFileName(std::string_view displayName);

}  // namespace lumox
