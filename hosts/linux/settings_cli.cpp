#include "settings_cli.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/posix/file_registry.h"
#include "platform/program_path.h"
#include "platform/system.h"
#include "saver/module_table.h"
#include "saver/runtime_services.h"
#include "settings/registry_values.h"
#include "settings/saved_displays.h"
#include "state/saver_state.h"
#include "settings_commands.h"

namespace lumox::host {
namespace {

// The platform's services, except that a question nobody can answer (no
// terminal) is noted, so the refusal can say why.
class TerminalQuestions final : public SystemServices {
 public:
  explicit TerminalQuestions(SystemServices& platform) : platform_(platform) {}
  bool LaunchProgram(const std::string& commandLine) override {
    return platform_.LaunchProgram(commandLine);
  }
  void Beep() override { platform_.Beep(); }
  bool AskYesNo(const std::string& title, const std::string& text) override {
    int terminal = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (terminal < 0) {
      unanswered = true;
      return false;
    }
    close(terminal);
    return platform_.AskYesNo(title, text);
  }
  void DebugOutput(const std::string& text) override { platform_.DebugOutput(text); }

  bool unanswered = false;

 private:
  SystemServices& platform_;
};

void Print(std::FILE* stream, const std::string& text) {
  if (text.empty()) return;
  std::fputs(text.c_str(), stream);
  if (text.back() != '\n') std::fputc('\n', stream);
}

bool OnDesktop() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

// Replaces this process by the settings window: the one installed beside
// this program, else the one on the PATH. Returns only when neither starts.
void ExecSettingsWindow() {
  const std::string folder = ProgramFolder();
  if (!folder.empty()) {
    std::string path = folder + "/lumox-settings";
    char* args[] = {path.data(), nullptr};
    execv(path.c_str(), args);
  }
  char name[] = "lumox-settings";
  char* args[] = {name, nullptr};
  execvp(name, args);
}

}  // namespace

int ShowConfiguration() {
  // On a desktop the settings window opens; in a terminal without one, or
  // when the window is not installed, the text below says what to do.
  if (OnDesktop()) ExecSettingsWindow();
  std::printf(
      "Lumox keeps its settings in %s\n"
      "(set LUMOX_REGISTRY or use --registry FILE for another file).\n"
      "Without the settings window (lumox-settings on a desktop), change the settings with:\n"
      "  lumox --list                      the saved displays (* marks the active one)\n"
      "  lumox --show NAME                 a saved display's modules, controls and palette\n"
      "  lumox --activate NAME             the display the saver runs\n"
      "  lumox --delete NAME               remove a saved display\n"
      "  lumox --export NAME FILE          write a saved display to a settings file\n"
      "  lumox --import FILE [--as NAME] [--yes]\n"
      "                                    read a settings file into a saved display\n"
      "  lumox /s FILE                     run once with the settings of a file\n",
      DefaultRegistryPath().c_str());
  return 0;
}

int RunSettingsCommand(const HostCommand& command) {
  // The module definitions, and on a first run the first-run displays, so
  // there is something to list. Otherwise nothing is loaded or written: the
  // saver's own set-up would repair a dangling "Active", and --list and
  // --show only read.
  RuntimeServices services = DefaultRuntimeServices();
  services.setUpSavedDisplays = [](SaverState& saver) {
    if (!RegistryKeyExists(ControlPanelPath(SavedKey()))) SetUpSavedDisplays(saver);
  };
  SetUpModuleTable(Saver(), services);

  TerminalQuestions questions(System());
  InstallSystemServices(&questions);
  CommandResult result;
  switch (command.mode) {
    case HostMode::List: result = ListDisplaysCommand(); break;
    case HostMode::Show: result = ShowDisplayCommand(command.name); break;
    case HostMode::Activate: result = ActivateDisplayCommand(command.name); break;
    case HostMode::Delete: result = DeleteDisplayCommand(command.name); break;
    case HostMode::Export: result = ExportDisplayCommand(command.name, command.file); break;
    case HostMode::Import:
      result = ImportFileCommand(command.file, command.asName, command.yes);
      break;
    default: result = {kCommandFailed, "", "not a settings command"}; break;
  }
  InstallSystemServices(nullptr);
  // A change the settings file could not take lives only in this process,
  // which ends now: the command did not do what its output would say. The
  // store has said why, and says again at the end that the change is lost.
  if (result.exitCode == kCommandOk && !Registry().WriteUnsaved()) {
    result = {kCommandFailed, "", ""};
  }

  if (questions.unanswered && result.exitCode != kCommandOk) {
    result.error =
        "a saved display by that name exists and there is no terminal to ask whether "
        "to replace it; add --yes to replace it";
  }
  Print(stdout, result.output);
  if (!result.error.empty())
    Print(stderr, "lumox: " + result.error);
  return result.exitCode;
}

}  // namespace lumox::host
