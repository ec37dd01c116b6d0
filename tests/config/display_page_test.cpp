#include "config/display_page.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/memory_registry.h"
#include "recording_dialogs.h"
#include "settings/registry_values.h"

namespace lumox {
namespace {

// A system with a list of modes; a mode's answer to a test or change is
// looked up by its width, and every call that changes the screen is logged.
struct FakeSystem : DisplayModes, SheetWindow {
  bool EnumerateMode(int index, DisplayModeRecord& mode) override {
    if (index >= static_cast<int>(modes.size())) return false;
    mode = modes[static_cast<size_t>(index)];
    return true;
  }
  ModeChangeResult Answer(const DisplayModeRecord& mode) {
    const auto found = answers.find(mode.Width());
    return found == answers.end() ? ModeChangeResult::kSuccessful : found->second;
  }
  ModeChangeResult TestMode(const DisplayModeRecord& mode) override { return Answer(mode); }
  ModeChangeResult ChangeMode(const DisplayModeRecord& mode, bool record) override {
    log += (record ? "use " : "change ") + std::to_string(mode.Width()) + "; ";
    return changeAnswer.value_or(Answer(mode));
  }
  void RestoreDesktopMode() override { log += "restore; "; }
  std::optional<DisplayModeRecord> CurrentSettings() override { return std::nullopt; }
  ScreenFormat CurrentScreen() override { return screen; }
  bool Restart() override {
    log += "restart; ";
    return true;
  }
  void Hide() override { log += "hide; "; }
  void Show() override { log += "show; "; }
  void Wait(int ms) override { log += "wait " + std::to_string(ms) + "; "; }
  void PressCancel() override { log += "cancel; "; }

  std::vector<DisplayModeRecord> modes;
  std::map<uint32_t, ModeChangeResult> answers;
  std::optional<ModeChangeResult> changeAnswer;  // overrides the table for changes
  ScreenFormat screen{16, 1024, 768};
  std::string log;
};

class DisplayPageTest : public ::testing::Test {
 protected:
  DisplayPageTest() {
    InstallRegistry(&registry_);
    registry_.CreateKey(RegRoot::CurrentUser, ControlPanelPath(SettingsKey()));
    system_.modes = {MakeDisplayMode(8, 640, 480, 0), MakeDisplayMode(32, 1600, 1200, 75)};
    system_.answers[1600] = ModeChangeResult::kRestartRequired;
  }
  ~DisplayPageTest() override { InstallRegistry(nullptr); }
  RegValue Stored() {
    RegValue value;
    registry_.ReadValue(RegRoot::CurrentUser, ControlPanelPath(SettingsKey()), "DisplayMode",
                        value);
    return value;
  }

  MemoryRegistry registry_;
  FakeSystem system_;
  testing::RecordingDialogs dialogs_;
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
  EXPECT_EQ(DescribeScreen({32, 1280, 1024}), "4294967295 Colors at 1280x1024");
}

TEST_F(DisplayPageTest, SetStoresTheWhole156ByteRecordAndClearRemovesIt) {
  page_.Initialize();
  ASSERT_EQ(page_.Modes().size(), 2u);
  EXPECT_EQ(page_.RunModeText(), "Default");
  EXPECT_EQ(page_.CurrentModeText(), "65536 Colors at 1024x768");
  page_.Set();
  const RegValue stored = Stored();
  EXPECT_EQ(stored.type, kRegBinary);
  ASSERT_EQ(stored.data.size(), 156u);
  EXPECT_TRUE(std::equal(stored.data.begin(), stored.data.end(), system_.modes[0].bytes.begin()));
  EXPECT_EQ(page_.RunModeText(), "256 Colors at 640x480 Default Hz");

  page_.Select(1);  // needs a restart: refused, the stored mode kept
  page_.Set();
  EXPECT_TRUE(page_.CantTest());
  EXPECT_EQ(dialogs_.messages.back(),
            "Can't Use This Mode: This mode requires a restart so it cannot be used.");
  EXPECT_EQ(Stored().data, stored.data);

  DisplayPage reopened(system_, dialogs_, system_);
  reopened.Initialize();
  EXPECT_EQ(reopened.RunModeText(), "256 Colors at 640x480 Default Hz");
  page_.Clear();
  EXPECT_EQ(page_.RunModeText(), "Default");
  EXPECT_TRUE(Stored().data.empty());
  reopened.Clear();  // nothing left to delete: the text stays
  EXPECT_EQ(reopened.RunModeText(), "256 Colors at 640x480 Default Hz");
}

TEST_F(DisplayPageTest, TestShowsTheModeFiveSecondsOnlyWhenItTook) {
  page_.Initialize();
  page_.Test();
  EXPECT_EQ(system_.log, "change 640; hide; wait 5000; restore; show; ");
  EXPECT_EQ(dialogs_.messages.back(),
            "Test Display Settings: If you were able to see your screen properly then this display "
            "mode is OK.");

  system_.log.clear();
  system_.changeAnswer = ModeChangeResult::kFailed;
  page_.Test();
  EXPECT_EQ(system_.log, "change 640; restore; ");
  EXPECT_EQ(dialogs_.messages.back(), "Error: Unable to change display mode.");

  system_.log.clear();
  page_.Select(1);
  page_.Test();
  EXPECT_EQ(system_.log, "");
  EXPECT_EQ(dialogs_.messages.back(),
            "Can't Test This Mode: This mode requires a restart so it cannot be tested.");
}

TEST_F(DisplayPageTest, UseAsksForARestartWhenTheSystemWantsOne) {
  page_.Initialize();
  system_.screen = {8, 640, 480};
  page_.Use();
  EXPECT_EQ(system_.log, "use 640; ");
  EXPECT_EQ(page_.CurrentModeText(), "256 Colors at 640x480");

  system_.changeAnswer = ModeChangeResult::kRestartRequired;
  page_.Use();  // declined
  dialogs_.answerYes = true;
  page_.Use();
  EXPECT_EQ(system_.log, "use 640; use 640; use 640; restart; cancel; ");
  EXPECT_EQ(dialogs_.messages.size(), 2u);
}

TEST_F(DisplayPageTest, NoModesMeansButtonsDoNothing) {
  system_.modes.clear();
  page_.Initialize();
  EXPECT_EQ(page_.Selected(), -1);
  page_.Test();
  page_.Use();
  page_.Set();
  EXPECT_EQ(system_.log, "");
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_TRUE(Stored().data.empty());
}

}  // namespace
}  // namespace lumox
