#include "config/config_session.h"

#include <cctype>
#include <utility>

#include "control/sound_link.h"
#include "platform/system.h"
#include "settings/saved_displays.h"
#include "state/saver_state.h"

namespace lumox {

// The build number the caption shows after the version.
constexpr int kSaverBuild = 350;

ConfigSession::ConfigSession(SaverState& state, ConfigDialogs& dialogs, std::string saverPath,
                             std::string startDirectory)
    : state_(state),
      dialogs_(dialogs),
      saverPath_(std::move(saverPath)),
      rememberedDirectory_(std::move(startDirectory)) {}

bool ConfigSession::Begin() {
  if (running_) return false;
  running_ = true;
  state_.configDialogOpen = true;
  return true;
}

void ConfigSession::End() { state_.configDialogOpen = false; }

void ConfigSession::TestRun() {
  // A second test before the pages were activated again keeps the name
  // from before the first: "Active" names the test display by now.
  if (!testRunPending_) previousActive_ = ReadActiveName();
  testRunPending_ = true;
  const bool saved = SaveDisplay(state_, kTestingDisplay);
  if (saved && System().LaunchProgram(SaverCommandLine(saverPath_))) return;
  // Nothing runs the test display: it goes at once rather than staying
  // "Active" until a page happens to be activated.
  System().Beep();
  EndTestRun();
}

bool ConfigSession::EndTestRun() {
  if (!testRunPending_) return false;
  testRunPending_ = false;
  DeleteDisplay(kTestingDisplay);
  WriteActiveName(previousActive_);
  return true;
}

void ConfigSession::RememberDirectoryOf(std::string_view path) {
  const std::string directory = DirectoryOf(path);
  if (!directory.empty()) rememberedDirectory_ = directory;
}

std::string SaverCommandLine(std::string_view saverPath) {
  const std::string path(saverPath);
  if (path.find(' ') == std::string::npos) return path + " /S";
  return "\"" + path + "\" /S";
}

std::string SheetCaption(uint16_t playerMajor, uint16_t playerMinor) {
  std::string caption = "Lumox v" + std::to_string(kSaverVersionMajor) + "." +
                        std::to_string(kSaverVersionMinor) + "." + std::to_string(kSaverBuild);
  if (playerMajor != 0) {
    caption += " w/Auralis v" + std::to_string(playerMajor) + "." + std::to_string(playerMinor);
  }
  return caption;
}

std::string ModuleGuideSection(int moduleIndex) {
  // The Bitmap module's page is the "Slide Show" page, and so is its section.
  std::string section =
      std::string("module-") + (moduleIndex == kBitmap ? "slide-show" : kModuleNames[moduleIndex]);
  for (char& c : section) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return section;
}

std::string DirectoryOf(std::string_view path) {
  const size_t slash = path.find_last_of("\\/");
  if (slash == std::string_view::npos) return {};
  // The root keeps its separator: "C:\" and "/", not "C:" and "".
  if (slash == 0 || (slash == 2 && path[1] == ':')) return std::string(path.substr(0, slash + 1));
  return std::string(path.substr(0, slash));
}

FileRequest SettingsFileRequest(std::string title, std::string_view mask, std::string directory) {
  FileRequest request;
  request.title = std::move(title);
  request.filters = {{std::string(mask), std::string(mask)}};
  request.directory = std::move(directory);
  request.defaultExtension = std::string(mask.substr(mask.size() < 3 ? 0 : mask.size() - 3));
  return request;
}

}  // namespace lumox
