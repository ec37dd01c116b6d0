#include "config/main_page.h"

#include <algorithm>

#include "platform/name_order.h"
#include "settings/registry_values.h"
#include "settings/saved_displays.h"
#include "settings/settings_file.h"
#include "state/saver_state.h"

namespace lumox {

namespace {

constexpr const char* kMainTitle = "Main Settings";
constexpr const char* kSettingsMask = "*.LMX";

bool IsPriorityClass(int32_t priority) {
  return priority == kPriorityHigh || priority == kPriorityNormal || priority == kPriorityIdle;
}

bool DisplayExists(const std::string& name) {
  return IsValidDisplayName(name) && RegistryKeyExists(ControlPanelPath(DisplayKey(name)));
}

}  // namespace

MainPage::MainPage(ConfigSession& session) : session_(session) {}

MainOptions MainPage::Fill() const {
  const SaverOptions& live = session_.state().options;
  MainOptions options;
  for (int i = 0; i < kModuleCount; ++i) options.active[i] = live.Active[i] != 0;
  options.priority = live.Priority;
  options.clearFirst = live.ClearFirst != 0;
  options.titleSeconds = std::clamp<int32_t>(live.ShowName, 0, kMaxTitleSeconds);
  options.frameDelay = std::clamp<int32_t>(live.Speed, 0, kMaxFrameDelay);
  return options;
}

void MainPage::ReadBack(const MainOptions& options) {
  SaverOptions& live = session_.state().options;
  for (int i = 0; i < kModuleCount; ++i) live.Active[i] = options.active[i] ? 1 : 0;
  if (IsPriorityClass(options.priority)) live.Priority = options.priority;
  live.ClearFirst = options.clearFirst ? 1 : 0;
  live.ShowName = std::clamp<int32_t>(options.titleSeconds, 0, kMaxTitleSeconds);
  live.Speed = std::clamp<int32_t>(options.frameDelay, 0, kMaxFrameDelay);
}

std::vector<std::string> MainPage::DisplayNames() const { return ListSavedDisplays(); }

std::string MainPage::BoxText() const {
  return session_.modified() ? kScratchDisplay : ReadActiveName();
}

bool MainPage::Choose(const std::string& name) {
  if (!DisplayExists(name)) {
    session_.dialogs().ShowMessage(kMainTitle, "There is no saved display named \"" + name + "\".",
                                   MessageIcon::kError);
    return false;
  }
  LoadDisplay(session_.state(), name.c_str());
  WriteActiveName(name);
  session_.ClearModified();
  return true;
}

std::string MainPage::NameToSave(std::string_view boxText) const {
  if (boxText.empty()) return kScratchDisplay;
  if (NamesEqual(boxText, kTestingDisplay)) {
    session_.dialogs().ShowMessage(
        kMainTitle,
        "\"" + std::string(kTestingDisplay) +
            "\" is the name the test runs use for a moment, and is deleted after "
            "each one. Please choose another name.",
        MessageIcon::kError);
    return {};
  }
  const std::string problem = DisplayNameProblem(boxText);
  if (!problem.empty()) {
    session_.dialogs().ShowMessage(kMainTitle, problem, MessageIcon::kError);
    return {};
  }
  return std::string(boxText);
}

bool MainPage::SaveAs(const std::string& name) {
  if (!SaveDisplay(session_.state(), name.c_str())) {
    session_.dialogs().ShowMessage(
        kMainTitle, "The settings could not be saved as \"" + name + "\".", MessageIcon::kError);
    return false;
  }
  session_.ClearModified();
  return true;
}

bool MainPage::Save(std::string_view boxText, const MainOptions& options) {
  const std::string name = NameToSave(boxText);
  if (name.empty()) return false;
  ReadBack(options);
  return SaveAs(name);
}

bool MainPage::Delete(std::string_view boxText) {
  const std::string name(boxText);
  if (name.empty() || !DisplayExists(name)) return false;
  DeleteDisplay(name.c_str());
  return true;
}

bool MainPage::Export(std::string_view boxText, const MainOptions& options) {
  const std::string name = NameToSave(boxText);
  if (name.empty()) return false;
  ReadBack(options);
  if (!SaveAs(name)) return false;

  FileRequest request =
      SettingsFileRequest("Export Settings", kSettingsMask, session_.rememberedDirectory());
  request.fileName = ProposedExportFileName(name);
  const std::string path = session_.dialogs().AskSaveFile(request);
  if (path.empty()) return false;
  session_.RememberDirectoryOf(path);
  const SettingsFileResult result = ExportDisplay(name.c_str(), path);
  if (!result.ok()) session_.dialogs().ShowMessage(kMainTitle, result.message, MessageIcon::kError);
  return result.ok();
}

bool MainPage::Import() {
  FileRequest request =
      SettingsFileRequest("Import Settings", kSettingsMask, session_.rememberedDirectory());
  request.multiple = true;
  const std::vector<std::string> paths = session_.dialogs().AskOpenFiles(request);
  if (paths.empty()) return false;
  session_.RememberDirectoryOf(paths.front());

  std::string chosen;
  for (const std::string& path : paths) {
    std::string name;
    const SettingsFileResult result = ImportWithPrompt(path, &name);
    if (result.ok()) {
      chosen = name;
    } else if (result.status != SettingsFileStatus::kDeclined) {
      session_.dialogs().ShowMessage(kMainTitle, result.message, MessageIcon::kError);
    }
  }
  return !chosen.empty() && Choose(chosen);
}

void MainPage::Preview(const MainOptions& options) {
  ReadBack(options);
  session_.TestRun();
}

void MainPage::Apply(const MainOptions& options) {
  ReadBack(options);
  WriteInt32("Speed", SettingsKey(), session_.state().options.Speed, kRegDword);
  if (session_.modified()) SaveAs(kScratchDisplay);
}

uint32_t ScreenColorCount(int bitsPerPixel, int planes) {
  const int64_t bits = int64_t{bitsPerPixel} * planes;
  if (bits <= 0) return 1;
  if (bits >= 32) return 0xFFFFFFFFu;
  return uint32_t{1} << bits;
}

std::string VideoModeAdvice(uint32_t colorCount) {
  if (colorCount == 256) return "All screen saver features are fully functional in this video mode.";
  return "You are running in a " + std::to_string(colorCount) +
         " color video mode.  Many animation features are only available in 256 color video "
         "modes.  To change your video mode, use the 'Display' panel.  Please consult the "
         "documentation for more information on video modes.";
}

}  // namespace lumox
