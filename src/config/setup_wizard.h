// The setup wizard: the saver's executable, run under the name SETUP.EXE,
// installs itself.
//
// Three pages: the destination directory, the options, and a last page
// that opens the Display control panel or tries the saver. Installing
// copies the saver into the system directory (LUMOX.SCR), two shared files
// into the system and Windows directories, the companion programs,
// documents and shipped settings files into the destination; imports the
// settings files; registers the settings file type and the uninstall entry;
// then carries out the chosen options.
//
// Nothing is left half installed: every file is first copied beside its
// destination under a temporary name, and only when the saver itself could
// be copied are the temporary files renamed into place (a replaced file is
// kept aside until all renames succeeded, and put back if one fails).
// Only then are the registry and the options touched. A companion file
// missing from the source is skipped. An installed saver of a newer
// version is never replaced.
//
// Files go through SetupHost, whose file operations use the standard
// library and can be overridden (tests inject failures); the registry goes
// through Registry(), messages through ConfigDialogs, programs are started
// through System().
#pragma once

#include <compare>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumox {

class ConfigDialogs;

struct FileVersion {
  uint16_t major = 0;
  uint16_t minor = 0;
  uint16_t build = 0;
  auto operator<=>(const FileVersion&) const = default;
};

// This saver's version, as its executable's version resource states it.
constexpr FileVersion kSetupVersion{3, 5, 350};

// True when the running program's file is named SETUP.EXE (any case).
bool IsSetupProgram(std::string_view modulePath);
// "Setup for Lumox v3.5.350".
std::string SetupCaption();

constexpr const char* kDefaultDestination = "C:\\Lumox";

struct InstallOptions {
  bool screenSaver = true;       // make it the system's screen saver
  bool launcher = true;          // the launcher in the Startup folder
  bool desktopUtility = false;   // the program on the desktop as LMXK.EXE
  bool desktopSettings = false;  // the settings files in a desktop folder
  bool player = false;           // run the sound player's own installer
};

enum class ShellFolder { kDesktop, kStartup };

class SetupHost {
 public:
  virtual ~SetupHost() = default;

  // Files, through the standard library.
  virtual bool IsDirectory(const std::string& path);
  virtual bool FileExists(const std::string& path);
  // Creates the directory and its parents; an existing one is fine.
  virtual void MakeDirectory(const std::string& path);
  // Whether a file can be created in the directory (it is tried).
  virtual bool CanWriteIn(const std::string& directory);
  // Copies over an existing file.
  virtual bool CopyFileOver(const std::string& from, const std::string& to);
  // Renames, replacing an existing file.
  virtual bool RenameFile(const std::string& from, const std::string& to);
  virtual void RemoveFile(const std::string& path);
  // The names of the directory's files whose extension is `extension`
  // (with the dot, any case), sorted.
  virtual std::vector<std::string> FilesWithExtension(const std::string& directory,
                                                      std::string_view extension);
  // Up to `maxBytes` from the start of the file; nothing when it cannot be
  // opened.
  virtual std::optional<std::string> ReadStart(const std::string& path, size_t maxBytes);

  // The platform.
  virtual std::optional<FileVersion> VersionOf(const std::string& path) = 0;
  // The folder's path; empty when the system has none.
  virtual std::string FolderPath(ShellFolder folder) = 0;
  // Asks running launchers to close and waits until they have.
  virtual void CloseLaunchers() = 0;
  // Makes the saver the system's screen saver and switches saving on.
  virtual void SelectScreenSaver(const std::string& saverPath) = 0;
  // Tells the shell a folder's contents changed (empty: the file types).
  virtual void ShellChanged(const std::string& folder) = 0;
};

struct SetupPaths {
  std::string executable;  // the running program
  std::string currentDirectory;
  std::string systemDirectory;
  std::string windowsDirectory;
};

class SetupWizard {
 public:
  SetupWizard(SetupHost& host, ConfigDialogs& dialogs, SetupPaths paths);

  // The directory the first page proposes: the one already chosen, else
  // the stored "LumoxDir", else C:\Lumox.
  std::string ProposedDirectory() const;
  // The first page's Next: the directory is created; false (after the
  // "Invalid directory name!" message) when it is no writable directory.
  bool ChooseDirectory(const std::string& typed);
  const std::string& destination() const { return destination_; }

  // Whether the sound player's installer ships beside the program (the
  // option is offered only then).
  bool PlayerInstallerPresent() const;

  // The second page's Next. `progress` hears 0..100 as the work goes on.
  // False, after a message, when nothing was installed.
  bool Install(const InstallOptions& options, const std::function<void(int)>& progress);

  // The last page's buttons.
  void OpenDisplaySettings();
  void TestDrive();

 private:
  struct Copy {
    std::string from;
    std::string to;
    bool required = false;
    bool staged = false;
    bool installed = false;
    bool backedUp = false;
  };

  std::string SourceDirectory() const;
  std::string InstalledSaver() const;
  bool NewerVersionInstalled();
  std::vector<Copy> PlanCopies();
  bool CopyAll(std::vector<Copy>& copies);
  void RollBack(std::vector<Copy>& copies);
  bool Installed(const std::vector<Copy>& copies, const std::string& to) const;
  // Imports the settings files beside the program and copies them into
  // `directory` when it is one; `progress` hears the share done, 0..1.
  void ImportSettingsFiles(const std::string& directory, const std::function<void(double)>& progress);
  void RegisterFileType(const std::string& saverPath);
  void StoreSlogan();
  void CarryOut(const InstallOptions& options);
  void InstallLauncher();

  SetupHost& host_;
  ConfigDialogs& dialogs_;
  SetupPaths paths_;
  std::string destination_;
};

}  // namespace lumox
