#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "platform/temp_dir.h"
#include "settings/registry_values.h"
#include "settings/saved_displays.h"
#include "settings_fixture.h"

namespace lumox {
namespace {

using testing::Bytes;
using testing::DumpedValue;
using namespace std::literals;

void AppendU32(Bytes& bytes, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(value >> shift));
}

// A record; each length not given (-1) is its field's own, with the zero.
Bytes Record(std::string_view path, std::string_view name, const Bytes& data,
             uint32_t type = kRegBinary, int64_t l1 = -1, int64_t l2 = -1, int64_t l3 = -1) {
  Bytes bytes;
  auto text = [&](std::string_view field, int64_t length) {
    AppendU32(bytes, static_cast<uint32_t>(length >= 0 ? length : int64_t(field.size()) + 1));
    bytes.insert(bytes.end(), field.begin(), field.end());
    if (length < 0) bytes.push_back(0);
  };
  text(path, l1);
  text(name, l2);
  AppendU32(bytes, type);
  AppendU32(bytes, static_cast<uint32_t>(l3 >= 0 ? l3 : int64_t(data.size())));
  bytes.insert(bytes.end(), data.begin(), data.end());
  return bytes;
}

// The magic, then the records.
Bytes File(std::initializer_list<Bytes> records) {
  Bytes all = {0x00, 0x42, 0x00, 0x42};
  for (const Bytes& record : records) all.insert(all.end(), record.begin(), record.end());
  return all;
}

class SettingsFileTest : public testing::SettingsTest {
 protected:
  std::string FilePath(const std::string& name) { return dir_.File(name); }
  Bytes ReadBytes(const std::string& path) {
    const std::string text = testing::ReadFile(path);
    return Bytes(text.begin(), text.end());
  }
  // The display's values without its key entries.
  std::vector<DumpedValue> Values(const std::string& name) {
    std::vector<DumpedValue> values = DumpDisplay(name);
    std::erase_if(values, [](const DumpedValue& v) { return std::get<2>(v) == kRegNone; });
    return values;
  }
  // A display with options, two modules (one with a full-length Path), and
  // a palette with custom colours.
  void MakeRichDisplay(const char* name) {
    Activate({kBitmap, kStar});
    std::memset(state().table[kBitmap].text, 'p', kModuleTextSize - 1);
    palette().settings.Effect[kRed] = kEffectCustom;
    for (int i = 0; i < kPaletteEntries; ++i)
      palette().custom[i].Set({uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)});
    ASSERT_TRUE(SaveDisplay(state(), name));
  }

  testing::TempDir dir_;
};

TEST_F(SettingsFileTest, FileNamesAndDisplayNames) {
  EXPECT_EQ(ProposedExportFileName("My/Display:1 a\\b*c?d\"e<f>g|h\ti\xe9"), "My_Display_1 a_b_c_d_e_f_g_h_i_");
  EXPECT_EQ(ProposedExportFileName("Capture #3 $%'-_@ ~`!(){.}^#&+,;=[] AZaz09"),
            "Capture #3 $%'-_@ ~`!(){.}^#&+,;=[] AZaz09");
  EXPECT_EQ(DisplayNameFromPath("C:\\Saved\\Capture #3.v2.lmx"), "Capture #3.v2");
  EXPECT_EQ(DisplayNameFromPath("dir.d/.LMX"), "");
}

// A value beyond 1024 bytes cannot be carried: the export names it and
// leaves the old file alone.
TEST_F(SettingsFileTest, ExportRefusesWhatTheFormatCannotCarry) {
  const std::string file = FilePath("Out.LMX");
  testing::WriteFile(file, "old");
  EXPECT_EQ(ExportDisplay("Nowhere", file).status, SettingsFileStatus::kMissingDisplay);
  SaveDisplay(state(), "Big");
  PutBytes(PaletteKey("Big"), "Huge", Bytes(1025, 1));
  const SettingsFileResult tooLarge = ExportDisplay("Big", file);
  EXPECT_EQ(tooLarge.status, SettingsFileStatus::kTooLarge);
  EXPECT_EQ(tooLarge.AsInt(), 0);
  EXPECT_NE(tooLarge.message.find("Huge"), std::string::npos) << tooLarge.message;
  EXPECT_EQ(testing::ReadFile(file), "old");

  PutBytes(PaletteKey("Big"), "Huge", Bytes(1024, 1));  // exactly the limit
  EXPECT_TRUE(ExportDisplay("Big", file).ok());
  EXPECT_EQ(ParseSettingsFile(ReadBytes(file)).status, SettingsFileStatus::kOk);
}

// No settings file comes near 16 MB: a larger file is refused before it
// is read, one of exactly that size is read and judged by its contents.
TEST_F(SettingsFileTest, ImportRefusesAFileTooLargeToBeSettings) {
  const std::string file = FilePath("Big.LMX");
  testing::WriteFile(file, "");
  std::filesystem::resize_file(file, 16u << 20);
  EXPECT_EQ(ImportSettingsFile("Big", file).status, SettingsFileStatus::kBadMagic);
  std::filesystem::resize_file(file, (16u << 20) + 1);
  const SettingsFileResult tooLarge = ImportSettingsFile("Big", file);
  EXPECT_EQ(tooLarge.status, SettingsFileStatus::kTooLarge);
  EXPECT_NE(tooLarge.message.find(file), std::string::npos) << tooLarge.message;
  EXPECT_FALSE(KeyExists(DisplayKey("Big")));
}

// Cut anywhere: nothing changes before the first complete record, and
// after that exactly the complete records make up the display.
TEST_F(SettingsFileTest, ATruncatedFileImportsTheRecordsBeforeTheCut) {
  Bytes file = File({});
  std::vector<size_t> ends;
  for (const Bytes& record : {Record("", "Priority", {64, 0, 0, 0}), Record("Modules\\Pattern", "Control0", {5, 0, 0, 0}),
                              Record("Modules\\Pattern", "Path", Bytes(260, 'q'), kRegSz),
                              Record("Palette", "RedEffect", {2, 0, 0, 0})}) {
    file.insert(file.end(), record.begin(), record.end());
    ends.push_back(file.size());
  }
  const ParsedSettingsFile whole = ParseSettingsFile(file);
  ASSERT_EQ(whole.records.size(), 4u);
  for (size_t cut = 0; cut <= file.size(); ++cut) {
    DeleteDisplay("T");
    PutInt(DisplayKey("T"), "Marker", 1);
    const SettingsFileResult result = ImportSettingsBytes("T", std::span(file.data(), cut));
    const size_t complete = std::count_if(ends.begin(), ends.end(), [&](size_t e) { return e <= cut; });
    const bool atEnd = complete > 0 && ends[complete - 1] == cut;
    EXPECT_EQ(result.status, cut < 4           ? SettingsFileStatus::kBadMagic
                             : complete == 0   ? SettingsFileStatus::kNoRecords
                             : atEnd           ? SettingsFileStatus::kOk
                                               : SettingsFileStatus::kTruncated) << cut;
    EXPECT_EQ(result.records, static_cast<int>(complete)) << cut;
    const std::vector<DumpedValue> values = Values("T");
    ASSERT_EQ(values.size(), complete == 0 ? 1 : complete) << cut;
    for (size_t i = 0; i < complete; ++i) {
      EXPECT_EQ(std::get<0>(values[i]), whole.records[i].keyPath) << cut;
      EXPECT_EQ(std::get<3>(values[i]), whole.records[i].data) << cut;
    }
  }
}

TEST_F(SettingsFileTest, HostileRecordsStopTheImportAndNeverWriteOutsideTheDisplay) {
  const Bytes four = {1, 2, 3, 4};
  const std::vector<std::pair<const char*, Bytes>> hostile = {
      {"key path length 261", Record(std::string(260, 'a') + '\0', "X", four, kRegBinary, 261)},
      {"zero key path length", Record("", "X", four, kRegBinary, 0)},
      {"key path without zero", Record("Palette", "X", four, kRegBinary, 7)},
      {"zero inside key path", Record("Pal\0tte\0"sv, "X", four, kRegBinary, 8)},
      {"parent components", Record("..\\..\\x", "X", four)},
      {"current component", Record(".", "X", four)},
      {"absolute path", Record("\\Software", "X", four)},
      {"empty component", Record("Modules\\\\Star", "X", four)},
      {"control character in name", Record("Palette", "X\n", four)},
      {"data beyond 1024 bytes", Record("", "X", Bytes(1025, 0))},
  };
  const Bytes good = Record("Palette", "GreenEffect", {3, 0, 0, 0});
  PutInt("Elsewhere", "Keep", 2);
  PutInt(DisplayKey("Other"), "Keep", 3);
  const auto withoutT = Dump("");
  PutInt(DisplayKey("T"), "Marker", 1);
  const auto before = Dump("");
  for (const auto& [what, record] : hostile) {

    // Rejected before any good record: nothing changes.
    SettingsFileResult result = ImportSettingsBytes("T", File({record, good}));
    EXPECT_EQ(result.status, SettingsFileStatus::kNoRecords) << what;
    EXPECT_FALSE(result.message.empty()) << what;
    EXPECT_EQ(Dump(""), before) << what;

    // After a good record: that record is imported, the rest refused, and
    // nothing lands outside the display.
    result = ImportSettingsBytes("T", File({good, record, good}));
    EXPECT_EQ(result.status, SettingsFileStatus::kStoppedAtBadRecord) << what;
    EXPECT_EQ(result.records, 1) << what;
    EXPECT_NE(result.message.find("setting 2"), std::string::npos) << what << result.message;
    const std::vector<DumpedValue> expected = {{"Palette", "", kRegNone, {}},
                                               {"Palette", "GreenEffect", kRegBinary, {3, 0, 0, 0}}};
    EXPECT_EQ(DumpDisplay("T"), expected) << what;
    DeleteDisplay("T");
    EXPECT_EQ(Dump(""), withoutT) << what;
    PutInt(DisplayKey("T"), "Marker", 1);
  }
}

// Each file imports under its own name, after a question where that name
// exists already.
TEST_F(SettingsFileTest, SeveralSelectedFilesAreImportedEachWithItsOwnQuestion) {
  MakeRichDisplay("One");
  ASSERT_TRUE(ExportDisplay("One", FilePath("One.LMX")).ok());
  PutInt(DisplayKey("One"), "Priority", kPriorityHigh);  // the user's own change
  std::filesystem::copy_file(FilePath("One.LMX"), FilePath("Two Words.v2.LMX"));
  std::string selection = dir_.path() + '\0';  // the directory, then the names
  for (const char* name : {"One.LMX", "Two Words.v2.LMX", "One.LMX"}) selection += name + "\0"s;
  system().QueueAnswer(false);
  system().QueueAnswer(true);
  const std::vector<ImportedFile> imported = ImportSeveral(selection + '\0');
  ASSERT_EQ(imported.size(), 3u);
  EXPECT_EQ(imported[0].result.status, SettingsFileStatus::kDeclined);
  EXPECT_EQ(imported[1].name, "Two Words.v2");  // a new name: no question
  ASSERT_EQ(system().questions().size(), 2u);
  EXPECT_EQ(system().questions()[1].title, "Settings by this name already exist!");
  EXPECT_EQ(system().questions()[1].text,
            "This will overwrite your existing settings for \"One\"\n\nDo you wish to proceed?");
  EXPECT_EQ(GetInt(DisplayKey("One"), "Priority"), kPriorityIdle);  // replaced after Yes
  EXPECT_EQ(DumpDisplay("Two Words.v2"), DumpDisplay("One"));
  // A single entry is the path itself.
  EXPECT_EQ(SplitFileSelection("/x/a.LMX\0"sv), std::vector<std::string>{"/x/a.LMX"});
}

}  // namespace
}  // namespace lumox
