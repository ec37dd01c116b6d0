// Fuzz target for the settings-file (.LMX) reader.
//
// Each input is imported as the display "Fuzz" into a registry in memory
// that also holds a bystander key and a second display. Whatever the bytes,
// the import must not touch anything outside "Fuzz"'s own key, must leave
// "Fuzz" as it was when it reports failure, and whatever it stored must
// export and import again to the same subtree.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "platform/memory_registry.h"
#include "settings/registry_values.h"
#include "settings/saved_displays.h"
#include "settings/settings_file.h"

namespace {

using namespace lumox;

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "lmx_reader_fuzz: %s\n", what);
    std::abort();
  }
}

constexpr uint32_t kKeyMarker = 0xFFFFFFFF;

struct Entry {
  std::string key;
  std::string name;
  uint32_t type;
  std::vector<uint8_t> data;
  bool operator==(const Entry&) const = default;
};

void DumpInto(RegistryStore& registry, const std::string& path, const std::string& relative,
              std::vector<Entry>& entries) {
  for (const RegValue& value : registry.EnumValues(RegRoot::CurrentUser, path)) {
    entries.push_back({relative, value.name, value.type, value.data});
  }
  for (const std::string& subkey : registry.EnumSubkeys(RegRoot::CurrentUser, path)) {
    const std::string child = relative.empty() ? subkey : relative + "\\" + subkey;
    DumpInto(registry, path.empty() ? subkey : path + "\\" + subkey, child, entries);
    entries.push_back({child, "", kKeyMarker, {}});  // the key itself, even when empty
  }
}

std::vector<Entry> Dump(RegistryStore& registry, const std::string& path) {
  std::vector<Entry> entries;
  DumpInto(registry, path, "", entries);
  return entries;
}

void Put(RegistryStore& registry, const std::string& keyName, const char* name, uint8_t value) {
  const std::string path = ControlPanelPath(keyName);
  registry.CreateKey(RegRoot::CurrentUser, path);
  const uint8_t data[4] = {value, 0, 0, 0};
  registry.WriteValue(RegRoot::CurrentUser, path, name, kRegBinary, data, sizeof data);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MemoryRegistry registry;
  InstallRegistry(&registry);
  Put(registry, "Bystander", "Keep", 1);
  Put(registry, ModuleKey("Other", "Star"), "Control0", 2);
  Put(registry, ModuleKey("Fuzz", "Pattern"), "Control0", 3);

  const std::string fuzzPath = ControlPanelPath(DisplayKey("Fuzz"));
  const std::vector<Entry> outsideBefore = Dump(registry, "Control Panel\\Bystander");
  const std::vector<Entry> otherBefore = Dump(registry, ControlPanelPath(DisplayKey("Other")));
  const std::vector<Entry> fuzzBefore = Dump(registry, fuzzPath);

  const SettingsFileResult result = ImportSettingsBytes("Fuzz", std::span(data, size));

  Check(Dump(registry, "Control Panel\\Bystander") == outsideBefore, "a bystander key changed");
  Check(Dump(registry, ControlPanelPath(DisplayKey("Other"))) == otherBefore,
        "another display changed");
  Check(registry.EnumSubkeys(RegRoot::CurrentUser, "").size() == 1, "a new root key appeared");
  Check(registry.EnumSubkeys(RegRoot::CurrentUser, "Control Panel").size() == 2,
        "a key appeared beside the settings");
  Check(ListSavedDisplays().size() == 2, "a display appeared beside \"Fuzz\"");
  if (!result.ok()) Check(Dump(registry, fuzzPath) == fuzzBefore, "a failed import changed data");
  Check(!result.message.empty(), "a result without a message");

  // What was stored comes back whole through an export and an import.
  std::vector<uint8_t> exported;
  if (result.ok() && SerializeDisplay("Fuzz", exported).ok()) {
    const ParsedSettingsFile parsed = ParseSettingsFile(exported);
    Check(parsed.status == SettingsFileStatus::kOk, "an exported file does not parse");
    Check(ImportSettingsBytes("Again", exported).ok(), "an exported file does not import");
    Check(Dump(registry, ControlPanelPath(DisplayKey("Again"))) == Dump(registry, fuzzPath),
          "a round trip changed the display");
  }

  InstallRegistry(nullptr);
  return 0;
}
