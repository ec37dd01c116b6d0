#include "config/setup_wizard.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>

#include "config/config_session.h"
#include "platform/registry_store.h"
#include "platform/system.h"
#include "settings/registry_values.h"
#include "settings/settings_file.h"

namespace lumox {

namespace fs = std::filesystem;

namespace {

constexpr size_t kDirectorySize = 259;  // characters, before the terminating zero
constexpr size_t kSloganSize = 255;
constexpr const char* kInstallProblem = "Install Problem...";
constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lumox";

// The companion files the destination directory receives.
constexpr const char* kCompanionFiles[] = {"Kestrun.EXE", "UnInstall.EXE", "Random.SCR",
                                           "Setup.EXE",   "ReadMe.TXT",    "FAQ.TXT",
                                           "File_ID.DIZ", "License.TXT"};

std::string Join(const std::string& directory, std::string_view name) {
  return (fs::path(directory) / fs::path(name)).string();
}

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

// Paths name the same file (the file systems setup writes to ignore case).
bool SamePath(const std::string& a, const std::string& b) {
  return Upper(fs::path(a).lexically_normal().string()) == Upper(fs::path(b).lexically_normal().string());
}

std::string Temporary(const std::string& path) { return path + ".setup-new"; }
std::string Backup(const std::string& path) { return path + ".setup-old"; }

// A text value, the key made first if need be.
void WriteString(RegRoot root, const std::string& key, std::string_view name, const std::string& text) {
  Registry().CreateKey(root, key);
  Registry().WriteValue(root, key, name, kRegSz, text.c_str(), text.size() + 1);
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

std::string VersionText(const FileVersion& version) {
  char text[32];
  std::snprintf(text, sizeof text, "%u.%u.%u", unsigned{version.major}, unsigned{version.minor},
                unsigned{version.build});
  return text;
}

}  // namespace

bool IsSetupProgram(std::string_view modulePath) {
  const size_t slash = modulePath.find_last_of("\\/");
  const std::string_view name = slash == std::string_view::npos ? modulePath : modulePath.substr(slash + 1);
  return Upper(name) == "SETUP.EXE";
}

std::string SetupCaption() { return "Setup for Lumox v" + VersionText(kSetupVersion); }

bool SetupHost::IsDirectory(const std::string& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

bool SetupHost::FileExists(const std::string& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

void SetupHost::MakeDirectory(const std::string& path) {
  std::error_code error;
  fs::create_directories(path, error);
}

bool SetupHost::CanWriteIn(const std::string& directory) {
  const std::string probe = Join(directory, "lumox-setup.probe");
  const bool written = static_cast<bool>(std::ofstream(probe, std::ios::binary) << "probe");
  RemoveFile(probe);
  return written;
}

bool SetupHost::CopyFileOver(const std::string& from, const std::string& to) {
  std::error_code error;
  return fs::copy_file(from, to, fs::copy_options::overwrite_existing, error);
}

bool SetupHost::RenameFile(const std::string& from, const std::string& to) {
  std::error_code error;
  fs::rename(from, to, error);
  return !error;
}

void SetupHost::RemoveFile(const std::string& path) {
  std::error_code error;
  fs::remove(path, error);
}

std::vector<std::string> SetupHost::FilesWithExtension(const std::string& directory,
                                                       std::string_view extension) {
  std::vector<std::string> names;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(directory, error)) {
    if (entry.is_regular_file(error) && Upper(entry.path().extension().string()) == Upper(extension)) {
      names.push_back(entry.path().filename().string());
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::optional<std::string> SetupHost::ReadStart(const std::string& path, size_t maxBytes) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::string bytes(maxBytes, '\0');
  file.read(bytes.data(), static_cast<std::streamsize>(maxBytes));
  bytes.resize(static_cast<size_t>(file.gcount()));
  return bytes;
}

SetupWizard::SetupWizard(SetupHost& host, ConfigDialogs& dialogs, SetupPaths paths)
    : host_(host), dialogs_(dialogs), paths_(std::move(paths)) {}

std::string SetupWizard::SourceDirectory() const {
  return fs::path(paths_.executable).parent_path().string();
}

std::string SetupWizard::InstalledSaver() const { return Join(paths_.systemDirectory, "LUMOX.SCR"); }

std::string SetupWizard::ProposedDirectory() const {
  if (!destination_.empty()) return destination_;
  std::string stored;
  if (ReadText("LumoxDir", SettingsKey(), kDirectorySize + 1, stored) && !stored.empty()) return stored;
  return kDefaultDestination;
}

bool SetupWizard::ChooseDirectory(const std::string& typed) {
  destination_ = typed.substr(0, kDirectorySize);
  host_.MakeDirectory(destination_);
  if (destination_.empty() || !host_.IsDirectory(destination_) || !host_.CanWriteIn(destination_)) {
    dialogs_.ShowMessage("Invalid directory name!", destination_, MessageIcon::kError);
    return false;
  }
  return true;
}

bool SetupWizard::PlayerInstallerPresent() const {
  return host_.FileExists(Join(SourceDirectory(), "Auralis.EXE"));
}

bool SetupWizard::NewerVersionInstalled() {
  for (const std::string& path : {InstalledSaver(), Join(destination_, "Setup.EXE")}) {
    if (SamePath(path, paths_.executable)) continue;
    const std::optional<FileVersion> installed = host_.VersionOf(path);
    if (installed && *installed > kSetupVersion) {
      dialogs_.ShowMessage(kInstallProblem,
                           "Version " + VersionText(*installed) + " of The Lumoxic Screen Saver is "
                               "already installed as " + path + ".  Setup " +
                               VersionText(kSetupVersion) + " leaves the newer version in place.",
                           MessageIcon::kError);
      return true;
    }
  }
  return false;
}

std::vector<SetupWizard::Copy> SetupWizard::PlanCopies() {
  const std::string source = SourceDirectory();
  std::vector<Copy> copies;
  copies.push_back({paths_.executable, InstalledSaver(), true});
  copies.push_back({Join(paths_.currentDirectory, "RANDOM.SCR"), Join(paths_.systemDirectory, "RANDOM.SCR")});
  copies.push_back({Join(paths_.currentDirectory, "LMXKAUR.HLP"), Join(paths_.windowsDirectory, "LMXKAUR.HLP")});
  if (host_.IsDirectory(destination_)) {
    std::vector<std::string> names(std::begin(kCompanionFiles), std::end(kCompanionFiles));
    for (const std::string& name : host_.FilesWithExtension(source, ".LMX")) names.push_back(name);
    for (const std::string& name : names) copies.push_back({Join(source, name), Join(destination_, name)});
  }
  // A companion that did not ship is skipped; a file already in its place
  // (setup run from the destination) stays as it is.
  std::erase_if(copies, [&](const Copy& copy) {
    return SamePath(copy.from, copy.to) || (!copy.required && !host_.FileExists(copy.from));
  });
  return copies;
}

bool SetupWizard::CopyAll(std::vector<Copy>& copies) {
  for (Copy& copy : copies) {
    copy.staged = host_.CopyFileOver(copy.from, Temporary(copy.to));
    if (copy.staged) continue;
    host_.RemoveFile(Temporary(copy.to));
    if (copy.required) {
      RollBack(copies);
      return false;
    }
  }
  for (Copy& copy : copies) {
    if (!copy.staged) continue;
    if (host_.FileExists(copy.to)) {
      copy.backedUp = host_.RenameFile(copy.to, Backup(copy.to));
      if (!copy.backedUp) {
        RollBack(copies);
        return false;
      }
    }
    copy.installed = host_.RenameFile(Temporary(copy.to), copy.to);
    if (!copy.installed) {
      RollBack(copies);
      return false;
    }
  }
  for (const Copy& copy : copies) {
    if (copy.backedUp) host_.RemoveFile(Backup(copy.to));
  }
  return true;
}

void SetupWizard::RollBack(std::vector<Copy>& copies) {
  for (Copy& copy : copies) {
    if (copy.installed) host_.RemoveFile(copy.to);
    if (copy.backedUp) host_.RenameFile(Backup(copy.to), copy.to);
    if (copy.staged) host_.RemoveFile(Temporary(copy.to));
    copy.staged = copy.installed = copy.backedUp = false;
  }
}

bool SetupWizard::Installed(const std::vector<Copy>& copies, const std::string& to) const {
  return std::any_of(copies.begin(), copies.end(),
                     [&](const Copy& copy) { return copy.installed && SamePath(copy.to, to); });
}

bool SetupWizard::Install(const InstallOptions& options, const std::function<void(int)>& progress) {
  progress(0);
  if (NewerVersionInstalled()) return false;
  std::vector<Copy> copies = PlanCopies();
  if (!CopyAll(copies)) {
    dialogs_.ShowMessage(kInstallProblem,
                         "Unable to install. Please check to make sure that you have enough disk "
                         "space (about 1MB).",
                         MessageIcon::kError);
    return false;
  }
  progress(5);
  WriteString(RegRoot::CurrentUser, ControlPanelPath(SettingsKey()), "LumoxDir", destination_);
  ImportSettingsFiles("", [&](double done) { progress(5 + static_cast<int>(done * 90)); });
  progress(95);
  RegisterFileType(InstalledSaver());
  const std::string uninstaller = Join(destination_, "UnInstall.EXE");
  if (Installed(copies, uninstaller)) {
    WriteString(RegRoot::LocalMachine, kUninstallKey, "DisplayName", "The Lumoxic Screen Saver");
    WriteString(RegRoot::LocalMachine, kUninstallKey, "UninstallString", uninstaller);
  }
  StoreSlogan();
  progress(99);
  CarryOut(options);
  progress(100);
  return true;
}

void SetupWizard::ImportSettingsFiles(const std::string& directory,
                                      const std::function<void(double)>& progress) {
  const std::string source = SourceDirectory();
  const std::vector<std::string> names = host_.FilesWithExtension(source, ".LMX");
  const bool copy = !directory.empty() && host_.IsDirectory(directory);
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string path = Join(source, names[i]);
    // A file that does not import is still copied.
    ImportSettingsFile(DisplayNameFromPath(names[i]).c_str(), path);
    if (copy) host_.CopyFileOver(path, Join(directory, names[i]));
    if (progress) progress(static_cast<double>(i + 1) / static_cast<double>(names.size()));
  }
}

void SetupWizard::RegisterFileType(const std::string& saverPath) {
  WriteString(RegRoot::ClassesRoot, ".LMX", "", "Lumox");
  WriteString(RegRoot::ClassesRoot, ".LMX", "Content Type", "application/lumox");
  WriteString(RegRoot::ClassesRoot, "Lumox\\shell\\open\\command", "", "Lumox.SCR /S %1");
  WriteString(RegRoot::ClassesRoot, "Lumox\\DefaultIcon", "", saverPath + ",2");
  host_.ShellChanged("");
}

void SetupWizard::StoreSlogan() {
  std::optional<std::string> slogan = host_.ReadStart(Join(SourceDirectory(), "Slogan.TXT"), kSloganSize + 1);
  if (!slogan) return;
  slogan->resize(std::min(slogan->size(), kSloganSize));
  slogan->resize(std::min(slogan->size(), slogan->find('\0')));
  WriteString(RegRoot::CurrentUser, ControlPanelPath(SettingsKey()), "Slogan", *slogan);
}

void SetupWizard::InstallLauncher() {
  const std::string startup = host_.FolderPath(ShellFolder::kStartup);
  if (startup.empty()) return;
  host_.CloseLaunchers();
  const std::string launcher = Join(startup, "Kestrun.EXE");
  if (host_.IsDirectory(startup)) host_.CopyFileOver(Join(SourceDirectory(), "Kestrun.EXE"), launcher);
  if (host_.FileExists(launcher)) System().LaunchProgram(Quoted(launcher));
  host_.ShellChanged(startup);
}

void SetupWizard::CarryOut(const InstallOptions& options) {
  if (options.launcher) InstallLauncher();
  const std::string desktop = host_.FolderPath(ShellFolder::kDesktop);
  if (options.desktopUtility && !desktop.empty()) {
    host_.CopyFileOver(paths_.executable, Join(desktop, "LMXK.EXE"));
    host_.ShellChanged(desktop);
  }
  if (options.desktopSettings && !desktop.empty()) {
    const std::string folder = Join(desktop, "LMXK - Saved Settings");
    host_.MakeDirectory(folder);
    ImportSettingsFiles(folder, {});
    host_.ShellChanged(desktop);
  }
  if (options.player && PlayerInstallerPresent()) {
    System().LaunchProgram(Quoted(Join(SourceDirectory(), "Auralis.EXE")) + " /install");
  }
  if (options.screenSaver) {
    WriteString(RegRoot::CurrentUser, ControlPanelPath("Desktop"), "SCRNSAVE.EXE", InstalledSaver());
    host_.SelectScreenSaver(InstalledSaver());
  }
}

void SetupWizard::OpenDisplaySettings() { System().LaunchProgram("control desktop"); }

void SetupWizard::TestDrive() { System().LaunchProgram(Quoted(InstalledSaver()) + " /C"); }

}  // namespace lumox
