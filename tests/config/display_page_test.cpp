#include "config/display_page.h"

#include <gtest/gtest.h>

#include "platform/memory_registry.h"
#include "config_fixture.h"
#include "platform/recording_system.h"
#include "settings/registry_values.h"

namespace lumox {
namespace {

// A system on which modes 1600 wide and more need a restart; every call
// that touches the screen or the sheet is logged.
struct FakeSystem : DisplayModes, SheetWindow {
  bool EnumerateMode(int index, DisplayModeRecord& mode) override {
    if (index >= int(modes.size())) return false;
    mode = modes[size_t(index)];
    return true;
  }
  ModeChangeResult TestMode(const DisplayModeRecord& mode) override {
    return mode.Width() >= 1600 ? ModeChangeResult::kRestartRequired
                                : ModeChangeResult::kSuccessful;
  }
  ModeChangeResult ChangeMode(const DisplayModeRecord& mode, bool record) override {
    log += (record ? "use " : "change ") + std::to_string(mode.Width()) + "; ";
    return changeAnswer.value_or(TestMode(mode));
  }
  void RestoreDesktopMode() override { log += "restore; "; }
  std::optional<DisplayModeRecord> CurrentSettings() override { return std::nullopt; }
  ScreenFormat CurrentScreen() override { return screen; }
  bool Restart() override { return log += "restart; ", true; }
  void Hide() override { log += "hide; "; }
  void Show() override { log += "show; "; }
  void Wait(int ms) override { log += "wait " + std::to_string(ms) + "; "; }
  void PressCancel() override { log += "cancel; "; }

  std::vector<DisplayModeRecord> modes = {MakeDisplayMode(8, 640, 480, 0),
                                          MakeDisplayMode(32, 1600, 1200, 75)};
  std::optional<ModeChangeResult> changeAnswer;  // what changes answer instead of tests
  ScreenFormat screen{16, 1024, 768};
  std::string log;
};

class DisplayPageTest : public ::testing::Test {
 protected:
  DisplayPageTest() {
    InstallRegistry(&registry_);
    InstallSystemServices(&services_);
    registry_.CreateKey(RegRoot::CurrentUser, ControlPanelPath(SettingsKey()));
  }
  ~DisplayPageTest() override {
    InstallSystemServices(nullptr);
    InstallRegistry(nullptr);
  }
  std::vector<uint8_t> Stored() {
    RegValue value;
    registry_.ReadValue(RegRoot::CurrentUser, ControlPanelPath(SettingsKey()), "DisplayMode",
                        value);
    EXPECT_TRUE(value.data.empty() || value.type == kRegBinary);
    return value.data;
  }

  MemoryRegistry registry_;
  RecordingSystemServices services_;
  FakeSystem system_;
  testing::ScriptedDialogs dialogs_;
  DisplayPage page_{system_, dialogs_, system_};
};

TEST_F(DisplayPageTest, DescriptionsShowOnlyTheValidFields) {
  DisplayModeRecord sizeOnly = MakeDisplayMode(4, 320, 200, 1);
  SetModeField(sizeOnly, display_field::kFields, kWidthValid | kHeightValid);
  DisplayModeRecord widthOnly = sizeOnly;
  SetModeField(widthOnly, display_field::kFields, kWidthValid | kFrequencyValid);
  const std::pair<DisplayModeRecord, const char*> cases[] = {
      {MakeDisplayMode(8, 640, 480, 60), "256 Colors at 640x480 60Hz"},
      {MakeDisplayMode(32, 1600, 1200, 75),
       "4294967295 Colors at 1600x1200 75Hz  [Restart Required]"},
      {MakeDisplayMode(24, 800, 600, 1), "16777216 Colors at 800x600 Default Hz"},
      {MakeDisplayMode(64, 800, 600, 0), "4294967295 Colors at 800x600 Default Hz"},
      {sizeOnly, " 320x200"},
      {widthOnly, " Default Hz"},
  };
  for (const auto& [mode, text] : cases) EXPECT_EQ(DescribeMode(mode, system_), text);
}

TEST_F(DisplayPageTest, SetStoresTheWhole156ByteRecordAndClearRemovesIt) {
  page_.Initialize();
  ASSERT_EQ(page_.Modes().size(), 2u);
  EXPECT_EQ(page_.RunModeText(), "Default");
  EXPECT_EQ(page_.CurrentModeText(), "65536 Colors at 1024x768");
  page_.Set();
  const std::vector<uint8_t> stored = Stored();
  ASSERT_EQ(stored.size(), 156u);
  EXPECT_TRUE(std::equal(stored.begin(), stored.end(), system_.modes[0].bytes.begin()));
  EXPECT_EQ(page_.RunModeText(), "256 Colors at 640x480 Default Hz");

  page_.Select(1);  // needs a restart: refused, the stored mode kept
  page_.Set();
  EXPECT_EQ(dialogs_.messages.back(),
            "Can't Use This Mode: This mode requires a restart so it cannot be used.");
  EXPECT_EQ(Stored(), stored);

  DisplayPage reopened(system_, dialogs_, system_);
  reopened.Initialize();
  EXPECT_EQ(reopened.RunModeText(), "256 Colors at 640x480 Default Hz");
  page_.Clear();
  EXPECT_EQ(page_.RunModeText(), "Default");
  EXPECT_TRUE(Stored().empty());

  system_.modes.clear();  // no modes: the buttons do nothing
  page_.Initialize();
  page_.Test();
  page_.Use();
  page_.Set();
  EXPECT_EQ(system_.log, "");
  EXPECT_TRUE(Stored().empty());
}

TEST_F(DisplayPageTest, TestShowsTheModeFiveSecondsOnlyWhenItTookAndUseMayRestart) {
  page_.Initialize();
  page_.Test();
  EXPECT_EQ(dialogs_.messages.back(),
            "Test Display Settings: If you were able to see your screen "
            "properly then this display mode is OK.");
  system_.changeAnswer = ModeChangeResult::kFailed;
  page_.Test();
  EXPECT_EQ(dialogs_.messages.back(), "Error: Unable to change display mode.");
  page_.Select(1);
  page_.Test();
  EXPECT_EQ(dialogs_.messages.back(),
            "Can't Test This Mode: This mode requires a restart so it cannot be tested.");
  EXPECT_EQ(system_.log, "change 640; hide; wait 5000; restore; show; change 640; restore; ");

  system_.log.clear();
  page_.Select(0);
  system_.changeAnswer.reset();
  system_.screen = {8, 640, 480};
  page_.Use();
  EXPECT_EQ(page_.CurrentModeText(), "256 Colors at 640x480");
  system_.changeAnswer = ModeChangeResult::kRestartRequired;
  page_.Use();  // the restart declined
  services_.QueueAnswer(true);
  page_.Use();
  EXPECT_EQ(system_.log, "use 640; use 640; use 640; restart; cancel; ");
}

}  // namespace
}  // namespace lumox
