#include "config/setup_wizard.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "config/config_fixture.h"
#include "platform/temp_dir.h"
#include "settings/registry_values.h"

namespace lumox::testing {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) { return ReadFile(path.string()); }

void Write(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  WriteFile(path.string(), text);
}

// Real files in a temporary tree; the platform's part recorded, versions
// and failures scripted.
class FakeHost final : public SetupHost {
 public:
  explicit FakeHost(fs::path desktop) : desktop_(std::move(desktop)) {}
  bool CopyFileOver(const std::string& from, const std::string& to) override {
    return to.find(failCopyTo) == std::string::npos && SetupHost::CopyFileOver(from, to);
  }
  bool RenameFile(const std::string& from, const std::string& to) override {
    return (failMoveTo.empty() || to != failMoveTo) && SetupHost::RenameFile(from, to);
  }
  std::optional<FileVersion> VersionOf(const std::string& path) override {
    const auto found = versions.find(path);
    if (found == versions.end()) return std::nullopt;
    return found->second;
  }
  std::string FolderPath(ShellFolder folder) override {
    return (desktop_ / (folder == ShellFolder::kDesktop ? "Desktop" : "Startup")).string();
  }
  void CloseLaunchers() override { ++launcherCloses; }
  void SelectScreenSaver(const std::string& saverPath) override { selected = saverPath; }
  void ShellChanged(const std::string&) override {}

  std::string failCopyTo = "\n";  // a part of the destinations whose copy fails
  std::string failMoveTo;         // a destination whose rename fails
  std::map<std::string, FileVersion> versions;
  int launcherCloses = 0;
  std::string selected;

 private:
  fs::path desktop_;
};

class SetupWizardTest : public ConfigTest {
 protected:
  void SetUp() override {
    ConfigTest::SetUp();
    for (const char* name : {"Kestrun.EXE", "UnInstall.EXE", "ReadMe.TXT", "License.TXT"})
      Write(root / "dist" / name, std::string("new ") + name);
    Write(root / "dist" / "SETUP.EXE", "new saver");
    Write(root / "dist" / "Broken.LMX", "not a settings file");
    Write(root / "dist" / "Slogan.TXT", std::string(300, 'S'));
    Write(root / "cwd" / "RANDOM.SCR", "random saver");
    for (const char* folder : {"sys", "win", "home/Startup", "home/Desktop"}) fs::create_directories(root / folder);
  }

  SetupWizard Wizard() {
    return SetupWizard(host, dialogs, {(root / "dist" / "SETUP.EXE").string(), (root / "cwd").string(),
                                       (root / "sys").string(), (root / "win").string()});
  }
  std::string Destination() const { return (root / "Lumox").string(); }
  std::string Saver() const { return (root / "sys" / "LUMOX.SCR").string(); }

  bool Install(SetupWizard& wizard, const InstallOptions& options = {}) {
    return wizard.Install(options, [this](int position) { progress.push_back(position); });
  }

  // Files left under a temporary or backup name anywhere in the tree.
  int Leftovers() const {
    int count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root))
      count += entry.path().string().find(".setup-") != std::string::npos;
    return count;
  }

  // A stored text without its terminating zero; "<none>" when missing.
  static std::string Text(RegRoot at, const std::string& key, const std::string& name = "") {
    RegValue value;
    if (!Registry().ReadValue(at, key, name, value) || value.data.empty()) return "<none>";
    return std::string(value.data.begin(), value.data.end() - 1);
  }

  TempDir dir;
  fs::path root{dir.path()};
  FakeHost host{root / "home"};
  std::vector<int> progress;
};

TEST(SetupProgram, IsRecognisedByItsFileNameInAnyCase) {
  for (const char* path : {"C:\\DISK1\\SETUP.EXE", "c:\\disk1\\Setup.exe", "setup.EXE"})
    EXPECT_TRUE(IsSetupProgram(path)) << path;
  for (const char* path : {"C:\\WINDOWS\\SYSTEM\\LUMOX.SCR", "C:\\SETUP.EXE\\LUMOX.SCR", "C:\\DISK1\\MYSETUP.EXE"})
    EXPECT_FALSE(IsSetupProgram(path)) << path;
  EXPECT_EQ(SetupCaption(), "Setup for Lumox v3.5.350");
}

TEST_F(SetupWizardTest, TheDirectoryMustBeAWritableDirectory) {
  SetupWizard wizard = Wizard();
  EXPECT_EQ(wizard.ProposedDirectory(), "C:\\Lumox");
  Write(root / "plain-file", "x");
  EXPECT_FALSE(wizard.ChooseDirectory((root / "plain-file").string()));
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0], "Invalid directory name!: " + (root / "plain-file").string());
  // A directory that is not there yet is made, parents and all.
  EXPECT_TRUE(wizard.ChooseDirectory((root / "a" / "b").string()));
  EXPECT_TRUE(fs::is_directory(root / "a" / "b"));
}

TEST_F(SetupWizardTest, InstallReplacesAnOlderSaverAndPlacesTheFilesRegistryValuesAndOptions) {
  Write(Saver(), "old saver");
  host.versions[Saver()] = {3, 4, 999};
  SetupWizard wizard = Wizard();
  EXPECT_FALSE(wizard.PlayerInstallerPresent());
  Write(root / "dist" / "Auralis.EXE", "player");
  EXPECT_TRUE(wizard.PlayerInstallerPresent());
  ASSERT_TRUE(wizard.ChooseDirectory(Destination()));
  InstallOptions options;
  options.desktopUtility = options.desktopSettings = options.player = true;
  ASSERT_TRUE(Install(wizard, options)) << ::testing::PrintToString(dialogs.messages);

  EXPECT_EQ(Read(Saver()), "new saver");
  EXPECT_EQ(Read(root / "sys" / "RANDOM.SCR"), "random saver");
  EXPECT_FALSE(fs::exists(root / "win" / "LMXKAUR.HLP"));  // not shipped: skipped
  for (const char* name : {"Kestrun.EXE", "UnInstall.EXE", "ReadMe.TXT", "License.TXT"})
    EXPECT_EQ(Read(root / "Lumox" / name), std::string("new ") + name);
  // A settings file that does not import is still copied.
  EXPECT_EQ(Read(root / "Lumox" / "Broken.LMX"), "not a settings file");
  EXPECT_EQ(Read(root / "home" / "Desktop" / "LMXK.EXE"), "new saver");
  EXPECT_EQ(Read(root / "home" / "Desktop" / "LMXK - Saved Settings" / "Broken.LMX"), "not a settings file");
  EXPECT_EQ(Read(root / "home" / "Startup" / "Kestrun.EXE"), "new Kestrun.EXE");
  EXPECT_EQ(Leftovers(), 0);

  const std::string settings = ControlPanelPath(SettingsKey());
  const std::tuple<RegRoot, std::string, const char*, std::string> values[] = {
      {RegRoot::CurrentUser, settings, "LumoxDir", Destination()},
      {RegRoot::CurrentUser, settings, "Slogan", std::string(255, 'S')},
      {RegRoot::CurrentUser, ControlPanelPath("Desktop"), "SCRNSAVE.EXE", Saver()},
      {RegRoot::ClassesRoot, ".LMX", "", "Lumox"},
      {RegRoot::ClassesRoot, ".LMX", "Content Type", "application/lumox"},
      {RegRoot::ClassesRoot, "Lumox\\shell\\open\\command", "", "Lumox.SCR /S %1"},
      {RegRoot::ClassesRoot, "Lumox\\DefaultIcon", "", Saver() + ",2"},
      {RegRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Lumox",
       "UninstallString", (root / "Lumox" / "UnInstall.EXE").string()},
  };
  for (const auto& [at, key, name, text] : values) EXPECT_EQ(Text(at, key, name), text) << key << " " << name;
  EXPECT_EQ(host.selected, Saver());

  EXPECT_EQ(host.launcherCloses, 1);
  ASSERT_EQ(system().launches().size(), 2u);
  EXPECT_NE(system().launches()[0].find("Kestrun.EXE"), std::string::npos);
  EXPECT_NE(system().launches()[1].find("Auralis.EXE\" /install"), std::string::npos);
  EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
  EXPECT_EQ(progress.back(), 100);
}

// Whatever stops the installation, the files and registry stay as they were.
TEST_F(SetupWizardTest, AFailedOrRefusedInstallChangesNothing) {
  struct Case {
    const char* what;
    std::function<void(FakeHost&, const fs::path& root)> arrange;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"newer saver installed",
       [](FakeHost& h, const fs::path& r) { h.versions[(r / "sys" / "LUMOX.SCR").string()] = {3, 6, 0}; }, "Version 3.6.0"},
      {"saver not copied", [](FakeHost& h, const fs::path&) { h.failCopyTo = "LUMOX.SCR"; },
       "Unable to install."},
      {"a late rename fails",
       [](FakeHost& h, const fs::path& r) { h.failMoveTo = (r / "Lumox" / "ReadMe.TXT").string(); },
       "Unable to install."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Write(Saver(), "old saver");
    Write(root / "Lumox" / "Kestrun.EXE", "old launcher");
    host = FakeHost(root / "home");
    c.arrange(host, root);
    dialogs.messages.clear();
    SetupWizard wizard = Wizard();
    ASSERT_TRUE(wizard.ChooseDirectory(Destination()));
    EXPECT_FALSE(Install(wizard));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find(std::string("Install Problem...: ") + c.message), std::string::npos)
        << dialogs.messages[0];
    EXPECT_EQ(Read(Saver()), "old saver");
    EXPECT_EQ(Read(root / "Lumox" / "Kestrun.EXE"), "old launcher");
    EXPECT_FALSE(fs::exists(root / "Lumox" / "UnInstall.EXE"));
    EXPECT_FALSE(fs::exists(root / "sys" / "RANDOM.SCR"));
    EXPECT_EQ(Leftovers(), 0);
    EXPECT_EQ(Text(RegRoot::CurrentUser, ControlPanelPath(SettingsKey()), "LumoxDir"), "<none>");
    EXPECT_EQ(Text(RegRoot::ClassesRoot, ".LMX"), "<none>");
    EXPECT_TRUE(host.selected.empty());
  }
}

}  // namespace
}  // namespace lumox::testing
