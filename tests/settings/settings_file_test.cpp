#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "settings/registry_values.h"
#include "settings/saved_displays.h"
#include "settings_fixture.h"

namespace lumox {
namespace {

using testing::DumpedValue;
using testing::SettingsTest;

using Bytes = std::vector<uint8_t>;

void AppendU32(Bytes& bytes, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(value >> shift));
}

void AppendRaw(Bytes& bytes, std::string_view raw) { bytes.insert(bytes.end(), raw.begin(), raw.end()); }

// A record with lengths that match its fields.
Bytes Record(std::string_view path, std::string_view name, const Bytes& data,
             uint32_t type = kRegBinary) {
  Bytes bytes;
  AppendU32(bytes, static_cast<uint32_t>(path.size() + 1));
  AppendRaw(bytes, path);
  bytes.push_back(0);
  AppendU32(bytes, static_cast<uint32_t>(name.size() + 1));
  AppendRaw(bytes, name);
  bytes.push_back(0);
  AppendU32(bytes, type);
  AppendU32(bytes, static_cast<uint32_t>(data.size()));
  bytes.insert(bytes.end(), data.begin(), data.end());
  return bytes;
}

Bytes Magic() { return Bytes(std::begin(kSettingsFileMagic), std::end(kSettingsFileMagic)); }

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

class SettingsFileTest : public SettingsTest {
 protected:
  void SetUp() override {
    SettingsTest::SetUp();
    directory_ = TestTempPath("lumox_settings_");
    std::filesystem::create_directories(directory_);
  }
  void TearDown() override {
    std::filesystem::remove_all(directory_);
    SettingsTest::TearDown();
  }

  std::string FilePath(const std::string& name) { return (directory_ / name).string(); }

  static Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  static void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  std::vector<DumpedValue> DumpDisplay(const std::string& name) {
    return Dump(ControlPanelPath(DisplayKey(name)));
  }

  // A display with options, two modules (one with a full-length Path), and
  // a palette with custom colours.
  void MakeRichDisplay(const char* name) {
    state().options.Active = {};
    state().options.Active[kBitmap] = 1;
    state().options.Active[kStar] = 1;
    std::memset(state().table[kBitmap].text, 'p', kModuleTextSize - 1);
    state().table[kStar].controls[3].Value = 77;
    palette().settings.Effect[kRed] = kEffectCustom;
    for (int i = 0; i < kPaletteEntries; ++i) {
      palette().custom[i].Set({uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)});
    }
    SaveDisplay(state(), name);
  }

 private:
  std::filesystem::path directory_;
};

TEST_F(SettingsFileTest, ExportThenImportUnderAnotherNameGivesAnIdenticalSubtree) {
  MakeRichDisplay("Source");
  const std::string file = FilePath("Source.LMX");
  const SettingsFileResult exported = ExportDisplay("Source", file);
  ASSERT_TRUE(exported.ok()) << exported.message;

  const SettingsFileResult imported = ImportSettingsFile("Copy", file);
  ASSERT_EQ(imported.status, SettingsFileStatus::kOk) << imported.message;
  EXPECT_EQ(imported.records, exported.records);
  EXPECT_EQ(imported.AsInt(), 1);

  const std::vector<DumpedValue> source = DumpDisplay("Source");
  EXPECT_EQ(DumpDisplay("Copy"), source);
  RegValue path;
  ASSERT_TRUE(registry().ReadValue(RegRoot::CurrentUser,
                                   ControlPanelPath(ModuleKey("Copy", "Bitmap")), "Path", path));
  EXPECT_EQ(path.data.size(), 260u);

  // Records run depth first: the options, then each module, then the palette.
  const Bytes bytes = ReadFile(file);
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(0, std::memcmp(bytes.data(), kSettingsFileMagic, 4));
  const ParsedSettingsFile parsed = ParseSettingsFile(bytes);
  ASSERT_EQ(parsed.records.size(), source.size());
  EXPECT_EQ(parsed.records.front().keyPath, "");
  EXPECT_EQ(parsed.records.back().keyPath, "Palette");
  for (size_t i = 0; i < source.size(); ++i) {
    EXPECT_EQ(parsed.records[i].keyPath, std::get<0>(source[i]));
    EXPECT_EQ(parsed.records[i].valueName, std::get<1>(source[i]));
  }
}

TEST_F(SettingsFileTest, ExportProposesAFileNameOfSafeCharacters) {
  EXPECT_EQ(ProposedExportFileName("My/Display:1"), "My_Display_1");
  EXPECT_EQ(ProposedExportFileName("Capture #3"), "Capture #3");
  EXPECT_EQ(ProposedExportFileName("$%'-_@ ~`!(){.}^#&+,;=[]"), "$%'-_@ ~`!(){.}^#&+,;=[]");
  EXPECT_EQ(ProposedExportFileName("a\\b*c?d\"e<f>g|h\ti\xe9"), "a_b_c_d_e_f_g_h_i_");
}

TEST_F(SettingsFileTest, ExportRefusesWhatTheFormatCannotCarryAndKeepsTheOldFile) {
  const std::string file = FilePath("Out.LMX");
  WriteFile(file, {'o', 'l', 'd'});

  SettingsFileResult result = ExportDisplay("Nowhere", file);
  EXPECT_EQ(result.status, SettingsFileStatus::kMissingDisplay);
  EXPECT_EQ(result.AsInt(), 0);
  EXPECT_EQ(ReadFile(file), (Bytes{'o', 'l', 'd'}));

  SaveDisplay(state(), "Big");
  PutBytes(PaletteKey("Big"), "Huge", kRegBinary, Bytes(1025, 1));
  result = ExportDisplay("Big", file);
  EXPECT_EQ(result.status, SettingsFileStatus::kTooLarge);
  EXPECT_NE(result.message.find("Huge"), std::string::npos) << result.message;
  EXPECT_EQ(ReadFile(file), (Bytes{'o', 'l', 'd'}));

  PutBytes(PaletteKey("Big"), "Huge", kRegBinary, Bytes(1024, 1));  // exactly the limit
  EXPECT_TRUE(ExportDisplay("Big", file).ok());
  EXPECT_FALSE(std::filesystem::exists(file + ".tmp"));
}

TEST_F(SettingsFileTest, AFileThatIsNotASettingsFileChangesNothing) {
  MakeRichDisplay("Target");
  const auto before = Dump("");
  const Bytes record = Record("", "Priority", {1, 0, 0, 0});
  const Bytes wrongMagic = Concat({{0x42, 0x00, 0x42, 0x00}, record});

  for (const Bytes& bytes : {wrongMagic, Bytes{}, Bytes{0x00, 0x42, 0x00}}) {
    const SettingsFileResult result = ImportSettingsBytes("Target", bytes);
    EXPECT_EQ(result.status, SettingsFileStatus::kBadMagic);
    EXPECT_EQ(result.AsInt(), 0);
    EXPECT_EQ(Dump(""), before);
  }
  const SettingsFileResult missing = ImportSettingsFile("Target", FilePath("missing.LMX"));
  EXPECT_EQ(missing.status, SettingsFileStatus::kCannotOpen);
  EXPECT_EQ(ImportSettingsFile("Target", FilePath("")).status, SettingsFileStatus::kCannotOpen);
  EXPECT_EQ(Dump(""), before);
}

TEST_F(SettingsFileTest, ATruncatedFileImportsTheRecordsBeforeTheCut) {
  const std::vector<Bytes> records = {
      Record("", "Priority", {64, 0, 0, 0}),
      Record("Modules\\Pattern", "Control0", {5, 0, 0, 0}),
      Record("Modules\\Pattern", "Path", Bytes(260, 'q'), kRegSz),
      Record("Palette", "RedEffect", {2, 0, 0, 0}),
  };
  Bytes file = Magic();
  std::vector<size_t> ends;
  for (const Bytes& record : records) {
    file.insert(file.end(), record.begin(), record.end());
    ends.push_back(file.size());
  }
  const ParsedSettingsFile whole = ParseSettingsFile(file);
  ASSERT_EQ(whole.records.size(), records.size());

  for (size_t cut = 0; cut <= file.size(); ++cut) {
    DeleteDisplay("T");
    PutInt(DisplayKey("T"), "Marker", 1);
    const SettingsFileResult result =
        ImportSettingsBytes("T", std::span<const uint8_t>(file.data(), cut));

    size_t complete = 0;
    while (complete < ends.size() && ends[complete] <= cut) ++complete;
    if (cut < 4) {
      EXPECT_EQ(result.status, SettingsFileStatus::kBadMagic) << cut;
    } else if (complete == 0) {
      EXPECT_EQ(result.status, SettingsFileStatus::kNoRecords) << cut;
    } else {
      const bool atBoundary = ends[complete - 1] == cut;
      EXPECT_EQ(result.status, atBoundary ? SettingsFileStatus::kOk : SettingsFileStatus::kTruncated)
          << cut;
      EXPECT_EQ(result.AsInt(), 1) << cut;
      EXPECT_EQ(result.records, static_cast<int>(complete)) << cut;
    }
    // Nothing is lost before a complete record arrives; after that exactly
    // the complete records make up the display.
    const std::vector<DumpedValue> display = DumpDisplay("T");
    if (complete == 0) {
      ASSERT_EQ(display.size(), 1u) << cut;
      EXPECT_EQ(std::get<1>(display[0]), "Marker");
    } else {
      ASSERT_EQ(display.size(), complete) << cut;
      for (size_t i = 0; i < complete; ++i) {
        EXPECT_EQ(std::get<0>(display[i]), whole.records[i].keyPath) << cut;
        EXPECT_EQ(std::get<3>(display[i]), whole.records[i].data) << cut;
      }
    }
  }
}

TEST_F(SettingsFileTest, HostileRecordsStopTheImportAndNeverWriteOutsideTheDisplay) {
  auto raw = [](uint32_t l1, std::string_view path, uint32_t l2, std::string_view name,
                uint32_t l3, const Bytes& data) {
    Bytes bytes;
    AppendU32(bytes, l1);
    AppendRaw(bytes, path);
    AppendU32(bytes, l2);
    AppendRaw(bytes, name);
    AppendU32(bytes, kRegBinary);
    AppendU32(bytes, l3);
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
  };
  using namespace std::string_view_literals;
  const Bytes four = {1, 2, 3, 4};
  const std::vector<std::pair<const char*, Bytes>> hostile = {
      {"huge key path length", raw(0xFFFFFFFF, "Palette\0"sv, 2, "X\0"sv, 4, four)},
      {"key path length 261", raw(261, std::string(260, 'a') + '\0', 2, "X\0"sv, 4, four)},
      {"zero key path length", raw(0, ""sv, 2, "X\0"sv, 4, four)},
      {"key path without zero", raw(7, "Palette"sv, 2, "X\0"sv, 4, four)},
      {"zero inside key path", raw(8, "Pal\0tte\0"sv, 2, "X\0"sv, 4, four)},
      {"parent components", Record("..\\..\\x", "X", four)},
      {"parent at the end", Record("Modules\\..", "X", four)},
      {"current component", Record(".", "X", four)},
      {"absolute path", Record("\\Software", "X", four)},
      {"empty component", Record("Modules\\\\Star", "X", four)},
      {"trailing backslash", Record("Palette\\", "X", four)},
      {"control character in key", Record("Modules\\\x10itmap", "X", four)},
      {"control character in name", Record("Palette", "X\n", four)},
      {"huge value name length", raw(1, "\0"sv, 0x7FFFFFFF, "X\0"sv, 4, four)},
      {"value name without zero", raw(1, "\0"sv, 1, "X"sv, 4, four)},
      {"huge data length", raw(1, "\0"sv, 2, "X\0"sv, 0xFFFFFFFF, four)},
      {"data beyond 1024 bytes", raw(1, "\0"sv, 2, "X\0"sv, 1025, Bytes(1025, 0))},
  };
  const Bytes good = Record("Palette", "GreenEffect", {3, 0, 0, 0});

  for (const auto& [what, record] : hostile) {
    DeleteDisplay("T");
    PutInt(DisplayKey("T"), "Marker", 1);
    PutInt("Elsewhere", "Keep", 2);
    const auto before = Dump("");
    const auto beforeKeys = DumpKeys("");

    // Rejected before any good record: nothing changes.
    SettingsFileResult result = ImportSettingsBytes("T", Concat({Magic(), record, good}));
    EXPECT_EQ(result.status, SettingsFileStatus::kNoRecords) << what;
    EXPECT_FALSE(result.message.empty()) << what;
    EXPECT_EQ(Dump(""), before) << what;

    // After a good record: that record is imported, the rest refused.
    result = ImportSettingsBytes("T", Concat({Magic(), good, record, good}));
    EXPECT_EQ(result.status, SettingsFileStatus::kStoppedAtBadRecord) << what;
    EXPECT_EQ(result.AsInt(), 1) << what;
    EXPECT_EQ(result.records, 1) << what;
    EXPECT_NE(result.message.find("setting 2"), std::string::npos) << what << result.message;
    const std::string displayPath = ControlPanelPath(DisplayKey("T"));
    for (const std::string& key : DumpKeys("")) {
      const bool known = std::find(beforeKeys.begin(), beforeKeys.end(), key) != beforeKeys.end();
      EXPECT_TRUE(known || key.rfind(displayPath + "\\", 0) == 0) << what << ": " << key;
    }
    EXPECT_EQ(DumpDisplay("T"),
              (std::vector<DumpedValue>{{"Palette", "GreenEffect", kRegBinary, {3, 0, 0, 0}}}))
        << what;
  }
}

TEST_F(SettingsFileTest, ImportIntoAnUnusableNameIsRefused) {
  const Bytes file = Concat({Magic(), Record("", "Priority", {1, 0, 0, 0})});
  PutInt(SavedKey() + "\\Other", "Priority", 1);
  const auto before = Dump("");
  for (const char* name : {"", "..", "a\\b"}) {
    EXPECT_EQ(ImportSettingsBytes(name, file).status, SettingsFileStatus::kInvalidName) << name;
  }
  EXPECT_EQ(Dump(""), before);
}

TEST_F(SettingsFileTest, ImportWithPromptAsksBeforeReplacingADisplay) {
  MakeRichDisplay("Shipped");
  ASSERT_TRUE(ExportDisplay("Shipped", FilePath("Shipped.LMX")).ok());
  PutInt(DisplayKey("Shipped"), "Priority", kPriorityHigh);  // the user's own change
  const auto before = Dump("");

  std::string name;
  system().QueueAnswer(false);
  SettingsFileResult result = ImportWithPrompt(FilePath("Shipped.LMX"), &name);
  EXPECT_EQ(result.status, SettingsFileStatus::kDeclined);
  EXPECT_EQ(result.AsInt(), 0);
  EXPECT_EQ(name, "Shipped");
  EXPECT_EQ(Dump(""), before);
  ASSERT_EQ(system().questions().size(), 1u);
  EXPECT_EQ(system().questions()[0].title, "Settings by this name already exist!");
  EXPECT_EQ(system().questions()[0].text,
            "This will overwrite your existing settings for \"Shipped\"\n\nDo you wish to proceed?");

  system().QueueAnswer(true);
  result = ImportWithPrompt(FilePath("Shipped.LMX"), &name);
  EXPECT_EQ(result.AsInt(), 1);
  EXPECT_EQ(GetInt(DisplayKey("Shipped"), "Priority"), kPriorityIdle);

  // A new name is imported without a question.
  std::filesystem::copy_file(FilePath("Shipped.LMX"), FilePath("New One.v2.LMX"));
  result = ImportWithPrompt(FilePath("New One.v2.LMX"), &name);
  EXPECT_EQ(result.AsInt(), 1);
  EXPECT_EQ(name, "New One.v2");
  EXPECT_EQ(system().questions().size(), 2u);
  EXPECT_EQ(DumpDisplay("New One.v2"), DumpDisplay("Shipped"));
}

TEST_F(SettingsFileTest, SeveralSelectedFilesAreImportedEachWithItsOwnQuestion) {
  MakeRichDisplay("One");
  ASSERT_TRUE(ExportDisplay("One", FilePath("One.LMX")).ok());
  std::filesystem::copy_file(FilePath("One.LMX"), FilePath("Two Words.LMX"));
  std::filesystem::copy_file(FilePath("One.LMX"), FilePath("Three.LMX"));
  state().options.Active = {};
  state().options.Active[kPattern] = 1;
  SaveDisplay(state(), "Three");
  std::string selection = FilePath("") + '\0';  // the directory, then the names
  for (const char* name : {"One.LMX", "Two Words.LMX", "Three.LMX"}) {
    selection += std::string(name) + '\0';
  }
  selection += '\0';

  system().QueueAnswer(true);   // One
  system().QueueAnswer(false);  // Three
  const std::vector<ImportedFile> imported = ImportSeveral(selection);
  ASSERT_EQ(imported.size(), 3u);
  EXPECT_EQ(imported[0].name, "One");
  EXPECT_EQ(imported[1].name, "Two Words");
  EXPECT_EQ(imported[2].name, "Three");
  EXPECT_TRUE(imported[0].result.ok());
  EXPECT_TRUE(imported[1].result.ok());
  EXPECT_EQ(imported[2].result.status, SettingsFileStatus::kDeclined);
  ASSERT_EQ(system().questions().size(), 2u);
  EXPECT_NE(system().questions()[1].text.find("\"Three\""), std::string::npos);
  EXPECT_EQ(DumpDisplay("Two Words"), DumpDisplay("One"));
  EXPECT_TRUE(KeyExists(ModuleKey("Three", "Pattern")));  // declined: left as it was
  EXPECT_FALSE(KeyExists(ModuleKey("Three", "Bitmap")));

  // A single entry is the path itself.
  EXPECT_EQ(SplitFileSelection(std::string("/x/a.LMX\0", 10)),
            std::vector<std::string>{"/x/a.LMX"});
  EXPECT_TRUE(SplitFileSelection("").empty());
}

TEST_F(SettingsFileTest, DisplayNameIsTheFileNameWithoutDirectoryAndExtension) {
  EXPECT_EQ(DisplayNameFromPath("/home/me/Warm Colours.LMX"), "Warm Colours");
  EXPECT_EQ(DisplayNameFromPath("C:\\Saved\\Capture #3.lmx"), "Capture #3");
  EXPECT_EQ(DisplayNameFromPath("plain"), "plain");
  EXPECT_EQ(DisplayNameFromPath("dir.d/.LMX"), "");
}

}  // namespace
}  // namespace lumox
