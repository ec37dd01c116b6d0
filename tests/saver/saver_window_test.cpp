#include "saver/saver_window.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <string>
#include <vector>

#include "fake_modules.h"
#include "state/palette_state.h"
#include "state/saver_state.h"

namespace lumox {
namespace {

using test::Calls;

// The window and system side, recording into the shared call log.
class FakeSaverHost : public SaverWindowHost {
 public:
  LResult DefaultProc(uint32_t message, WParam, LParam) override {
    defaultMessages.push_back(message);
    return 0;
  }
  WindowSize ClientSize() override { return client; }
  WindowSize ScreenSize() override { return screen; }
  bool TestDisplayMode(const DisplayModeRecord&) override {
    Calls().Add("TestDisplayMode");
    return modeAccepted;
  }
  bool ChangeDisplayMode(const DisplayModeRecord& mode) override {
    Calls().Add("ChangeDisplayMode");
    client = {static_cast<int32_t>(mode.Width()), static_cast<int32_t>(mode.Height())};
    return true;
  }
  void RestoreDisplayMode() override { Calls().Add("RestoreDisplayMode"); }
  void ResizeWindow(int32_t width, int32_t height) override {
    Calls().Add("ResizeWindow " + std::to_string(width) + "x" + std::to_string(height));
  }
  void BringToForeground() override { Calls().Add("BringToForeground"); }
  bool StartRenderThread(SoundShare*) override {
    Calls().Add("StartRenderThread");
    return true;
  }
  bool WaitRenderThread(uint32_t timeoutMs) override {
    Calls().Add("WaitRenderThread " + std::to_string(timeoutMs));
    return renderEnds;
  }
  void PostQuit(int exitCode) override { quitCodes.push_back(exitCode); }

  std::vector<uint32_t> defaultMessages;
  std::vector<int> quitCodes;
  WindowSize client{800, 600};
  WindowSize screen{800, 600};
  bool modeAccepted = true;
  bool renderEnds = true;
};

class SaverWindowTest : public testing::Test {
 protected:
  SaverWindowTest() {
    services.buildControlNames = [] { Calls().Add("BuildControlNames"); };
    services.importSettingsFile = [this](const std::string& path, const std::string& name) {
      Calls().Add("Import " + path + " as " + name);
      if (!importSucceeds) return false;
      registry["display " + name] = "imported";
      return true;
    };
    services.readActiveName = [this] { return registry["Active"]; };
    services.writeActiveName = [this](const std::string& name) {
      Calls().Add("WriteActive " + name);
      registry["Active"] = name;
    };
    services.deleteDisplay = [this](const std::string& name) {
      Calls().Add("DeleteDisplay " + name);
      registry.erase("display " + name);
    };
    services.writeVersionStamp = [] { Calls().Add("WriteVersionStamp"); };
    services.readSlogan = [] { return std::string("Hello there"); };
    services.attachSaverWindow = [this]() -> SoundShare* {
      Calls().Add("Attach");
      return attachSucceeds ? &block.share : nullptr;
    };
    services.detachSaverWindow = [](SoundShare*) { Calls().Add("Detach"); };
    services.readDisplayMode = [this](DisplayModeRecord& mode) {
      if (!displayModeStored) return false;
      mode.bytes[108] = 0x00;  // 1024 x 768
      mode.bytes[109] = 0x04;
      mode.bytes[112] = 0x00;
      mode.bytes[113] = 0x03;
      return true;
    };
  }

  LResult Send(uint32_t message, WParam wParam = 0, LParam lParam = 0) {
    return ScreenSaverProc(window, message, wParam, lParam);
  }
  // Creates the window with a switched display mode.
  void CreateModeSwitched() {
    displayModeStored = true;
    ASSERT_EQ(Send(kWmCreate), 0);
    ASSERT_TRUE(window.modeSwitched);
  }
  void MoveMouse() { Send(kWmMouseMove); }
  size_t MovesPassedOn() const {
    size_t n = 0;
    for (uint32_t m : host.defaultMessages) n += m == kWmMouseMove;
    return n;
  }

  test::TestEnvironment env;
  test::FakeShare block;
  SaverState saver;
  RuntimeServices services;
  FakeSaverHost host;
  std::map<std::string, std::string> registry{{"Active", "Calm Waters"}};
  bool importSucceeds = true;
  bool attachSucceeds = true;
  bool displayModeStored = false;
  SaverWindow window{saver, services, host, "lumox.scr /s"};
};

TEST_F(SaverWindowTest, CreationReadsTheSloganAndStampsTheVersion) {
  EXPECT_EQ(Send(kWmCreate), 0);
  EXPECT_STREQ(saver.slogan, "Hello there");
  EXPECT_EQ(Calls().With("WriteVersionStamp").size(), 1u);
  EXPECT_EQ(window.creationTick, env.clock.TickCount());
}

TEST_F(SaverWindowTest, SettingsFileRunImportsTheFileAsTheActiveDisplay) {
  window.commandLine = "\"C:\\Lumox\\lumox.scr\" /S C:\\Settings\\Deep Blue.lmx";
  ASSERT_EQ(Send(kWmCreate), 0);
  EXPECT_TRUE(window.testing);
  EXPECT_EQ(registry["Active"], kTestingDisplayName);
  EXPECT_EQ(Calls().With("Import"),
            std::vector<std::string>{"Import C:\\Settings\\Deep Blue.lmx as Testing Current Settings"});
}

TEST_F(SaverWindowTest, FailedImportLeavesActiveAlone) {
  window.commandLine = "lumox.scr /s missing.lmx";
  importSucceeds = false;
  ASSERT_EQ(Send(kWmCreate), 0);
  EXPECT_FALSE(window.testing);
  Send(kWmDestroy);
  EXPECT_EQ(registry["Active"], "Calm Waters");
  EXPECT_TRUE(Calls().With("WriteActive").empty());
  EXPECT_TRUE(Calls().With("DeleteDisplay").empty());
}

TEST_F(SaverWindowTest, NoSharedBlockRefusesTheWindowAndUndoesTheSettingsFileRun) {
  window.commandLine = "lumox.scr /s deep.lmx";
  attachSucceeds = false;
  EXPECT_EQ(Send(kWmCreate), -1);
  EXPECT_EQ(registry["Active"], "Calm Waters");
  EXPECT_EQ(registry.count(std::string("display ") + kTestingDisplayName), 0u);
  // No render thread without the block.
  Send(kWmEraseBackground);
  EXPECT_TRUE(Calls().With("StartRenderThread").empty());
}

TEST_F(SaverWindowTest, StoredDisplayModeOnlyForAFullScreenWindow) {
  displayModeStored = true;
  host.client = {200, 150};  // a preview
  ASSERT_EQ(Send(kWmCreate), 0);
  EXPECT_FALSE(window.modeSwitched);
  EXPECT_TRUE(Calls().With("TestDisplayMode").empty());
}

TEST_F(SaverWindowTest, StoredDisplayModeSwitchesAndResizes) {
  CreateModeSwitched();
  EXPECT_EQ(Calls().With("ResizeWindow"), std::vector<std::string>{"ResizeWindow 1024x768"});
  // The display settles before the window is resized.
  EXPECT_EQ(window.creationTick, 100000u + kModeSettleMs);
}

TEST_F(SaverWindowTest, RejectedDisplayModeKeepsTheCurrentOne) {
  displayModeStored = true;
  host.modeAccepted = false;
  ASSERT_EQ(Send(kWmCreate), 0);
  EXPECT_FALSE(window.modeSwitched);
  EXPECT_TRUE(Calls().With("ChangeDisplayMode").empty());
  // The normal rules then apply: WM_CLOSE goes on.
  Send(kWmClose);
  EXPECT_EQ(host.defaultMessages, std::vector<uint32_t>{kWmClose});
}

TEST_F(SaverWindowTest, RenderThreadStartsOnceOnTheFirstErase) {
  Send(kWmCreate);
  EXPECT_EQ(Send(kWmEraseBackground), 0);
  EXPECT_EQ(Send(kWmEraseBackground), 0);
  EXPECT_EQ(Calls().With("StartRenderThread").size(), 1u);
  EXPECT_EQ(Calls().With("BringToForeground").size(), 1u);
  EXPECT_TRUE(host.defaultMessages.empty());
}

TEST_F(SaverWindowTest, DeactivationNeverDismisses) {
  Send(kWmCreate);
  EXPECT_EQ(Send(kWmActivate, 0), 0);
  EXPECT_EQ(Send(kWmActivateApp, 0), 0);
  EXPECT_TRUE(host.defaultMessages.empty());
  Send(kWmActivate, 1);
  EXPECT_EQ(host.defaultMessages, std::vector<uint32_t>{kWmActivate});
}

TEST_F(SaverWindowTest, CloseIsIgnoredInASwitchedModeUntilInputIsSeen) {
  CreateModeSwitched();
  EXPECT_EQ(Send(kWmClose), 0);
  EXPECT_TRUE(host.defaultMessages.empty());
  Send(kWmRightButtonDown);
  Send(kWmClose);
  EXPECT_EQ(host.defaultMessages, (std::vector<uint32_t>{kWmRightButtonDown, kWmClose}));
}

TEST_F(SaverWindowTest, HotKeysNeverDismiss) {
  Send(kWmCreate);
  for (WParam key = kVkF1; key <= kVkF9; ++key) EXPECT_EQ(Send(kWmKeyDown, key), 0);
  Send(kWmKeyDown, kVkLeft);
  Send(kWmKeyDown, kVkRight);
  EXPECT_TRUE(host.defaultMessages.empty());
  EXPECT_FALSE(window.userInput);

  Send(kWmKeyDown, 'A');
  EXPECT_TRUE(window.userInput);
  EXPECT_EQ(host.defaultMessages, std::vector<uint32_t>{kWmKeyDown});
}

TEST_F(SaverWindowTest, ArrowKeysKeepKeyLevelWithinOneToTwenty) {
  Send(kWmCreate);
  SoundShare& share = block.share;
  share.SetU32(share_offset::KeyLevel, 2);
  for (int i = 0; i < 5; ++i) Send(kWmKeyDown, kVkLeft);
  EXPECT_EQ(share.U32(share_offset::KeyLevel), 1u);
  for (int i = 0; i < 30; ++i) Send(kWmKeyDown, kVkRight);
  EXPECT_EQ(share.U32(share_offset::KeyLevel), 20u);
  Send(kWmKeyDown, kVkLeft);
  EXPECT_EQ(share.U32(share_offset::KeyLevel), 19u);
}

TEST_F(SaverWindowTest, CaptureAndRestartRequests) {
  Send(kWmCreate);
  Send(kWmKeyDown, kVkF2);
  EXPECT_EQ(block.share.U32(share_offset::RestartRequest), 1u);
  EXPECT_EQ(block.share.U32(share_offset::CaptureRequest), 0u);
  EXPECT_EQ(env.system.beeps(), 0);
  Send(kWmKeyDown, kVkF1);
  EXPECT_EQ(block.share.U32(share_offset::CaptureRequest), 1u);
  EXPECT_EQ(env.system.beeps(), 1);
}

TEST_F(SaverWindowTest, PaletteHotKeys) {
  PaletteState palette;
  palette.settings.values[kDirection][kRed].Value = 3;
  palette.settings.values[kDirection][kGreen].Value = -2;
  palette.settings.values[kDirection][kBlue].Value = 0;
  saver.livePalette = &palette;
  Send(kWmCreate);

  Send(kWmKeyDown, kVkF3);
  for (int c = 0; c < kChannels; ++c) EXPECT_EQ(palette.settings.Effect[c], kEffectCustom);
  EXPECT_EQ(palette.LiveColors, 1);
  EXPECT_EQ(block.share.U32(share_offset::CaptureRequest), 1u);
  EXPECT_EQ(env.system.beeps(), 1);

  env.clock.Set(123456);
  Send(kWmKeyDown, kVkF4);
  for (int c = 0; c < kChannels; ++c) EXPECT_EQ(palette.channels[c].ChangeTime, 123456u);

  Send(kWmKeyDown, kVkF8);
  EXPECT_EQ(palette.settings.values[kDirection][kRed].Value, -3);
  EXPECT_EQ(palette.settings.values[kDirection][kGreen].Value, 2);
  EXPECT_EQ(palette.settings.values[kDirection][kBlue].Value, 0);
}

TEST_F(SaverWindowTest, PaletteKeysBeforeThePaletteExistsAreHarmless) {
  Send(kWmCreate);
  Send(kWmKeyDown, kVkF3);
  Send(kWmKeyDown, kVkF4);
  Send(kWmKeyDown, kVkF8);
  EXPECT_EQ(block.share.U32(share_offset::CaptureRequest), 1u);
}

TEST_F(SaverWindowTest, PauseKeysToggleTheThreadFlags) {
  Send(kWmCreate);
  Send(kWmKeyDown, kVkF5);
  EXPECT_EQ(saver.renderPaused, 1);
  EXPECT_EQ(saver.palettePaused, 1);
  Send(kWmKeyDown, kVkF6);
  EXPECT_EQ(saver.renderPaused, 0);
  EXPECT_EQ(saver.palettePaused, 1);
  Send(kWmKeyDown, kVkF7);
  EXPECT_EQ(saver.palettePaused, 0);
  Send(kWmKeyDown, kVkF5);
  EXPECT_EQ(saver.renderPaused, 1);
  EXPECT_EQ(saver.palettePaused, 1);
}

TEST_F(SaverWindowTest, MouseLockStopsMovementFromDismissing) {
  Send(kWmCreate);
  Send(kWmKeyDown, kVkF9);
  EXPECT_EQ(env.system.beeps(), 1);
  for (int i = 0; i < 50; ++i) MoveMouse();
  EXPECT_EQ(MovesPassedOn(), 0u);
  Send(kWmKeyDown, kVkF9);
  MoveMouse();
  EXPECT_EQ(MovesPassedOn(), 1u);  // to the distance rule at once
}

TEST_F(SaverWindowTest, ABurstDismissesAtItsSixthCountedMessageOrItsTwentiethEarlyOn) {
  // Within the first eight seconds after creation a burst needs twenty
  // counted messages, later six; the message that starts it is not counted.
  for (const auto& [waitMs, needed] : {std::pair{9000u, 6}, std::pair{0u, 20}}) {
    host.defaultMessages.clear();
    host.client = host.screen;  // full screen again after the last mode switch
    SaverWindow fresh{saver, services, host, "lumox.scr /s"};
    displayModeStored = true;
    ASSERT_EQ(ScreenSaverProc(fresh, kWmCreate, 0, 0), 0);
    ASSERT_TRUE(fresh.modeSwitched);
    env.clock.Advance(waitMs);
    ScreenSaverProc(fresh, kWmMouseMove, 0, 0);
    for (int i = 1; i < needed; ++i) {
      env.clock.Advance(50);
      ScreenSaverProc(fresh, kWmMouseMove, 0, 0);
      ASSERT_EQ(MovesPassedOn(), 0u) << "counted message " << i << " of " << needed;
    }
    env.clock.Advance(50);
    ScreenSaverProc(fresh, kWmMouseMove, 0, 0);
    EXPECT_EQ(MovesPassedOn(), 1u) << needed;
    EXPECT_TRUE(fresh.userInput);
  }
}

TEST_F(SaverWindowTest, APauseOfTwoSecondsStartsANewBurst) {
  CreateModeSwitched();
  env.clock.Advance(9000);
  MoveMouse();
  for (int i = 0; i < 4; ++i) MoveMouse();  // four counted
  env.clock.Advance(2000);
  MoveMouse();  // a new burst
  for (int i = 0; i < 5; ++i) MoveMouse();
  EXPECT_EQ(MovesPassedOn(), 0u);
  MoveMouse();
  EXPECT_EQ(MovesPassedOn(), 1u);
}

TEST_F(SaverWindowTest, ASingleJiggleNeverDismissesInASwitchedMode) {
  CreateModeSwitched();
  for (int i = 0; i < 10; ++i) {
    env.clock.Advance(2500);
    MoveMouse();
    MoveMouse();
  }
  EXPECT_EQ(MovesPassedOn(), 0u);
  EXPECT_EQ(Send(kWmClose), 0);
}

TEST_F(SaverWindowTest, TearDownOrder) {
  window.commandLine = "lumox.scr /s deep.lmx";
  CreateModeSwitched();
  Send(kWmEraseBackground);
  saver.runFlag = 1;
  saver.autoStarted = 1;
  Calls().Clear();
  services.detachSaverWindow = [this](SoundShare*) {
    Calls().Add("Detach, LauncherClosed " +
                std::to_string(block.share.U32(share_offset::LauncherClosed)));
  };

  Send(kWmDestroy);
  EXPECT_EQ(saver.runFlag, 0);
  EXPECT_EQ(Calls().Entries(),
            (std::vector<std::string>{"RestoreDisplayMode", "WaitRenderThread 2000",
                                      "DeleteDisplay Testing Current Settings",
                                      "WriteActive Calm Waters", "Detach, LauncherClosed 1"}));
  EXPECT_EQ(host.defaultMessages, std::vector<uint32_t>{kWmDestroy});
}

TEST_F(SaverWindowTest, AnAbandonedRenderThreadKeepsTheBlockMapped) {
  Send(kWmCreate);
  Send(kWmEraseBackground);
  host.renderEnds = false;
  Send(kWmDestroy);
  EXPECT_TRUE(Calls().With("Detach").empty());
  EXPECT_EQ(block.share.U32(share_offset::LauncherClosed), 0u);
}

TEST_F(SaverWindowTest, AFaultEndsTheMessageLoopWith43) {
  services.buildControlNames = [] { throw std::runtime_error("boom"); };
  EXPECT_EQ(Send(kWmCreate), 0);
  EXPECT_EQ(host.quitCodes, std::vector<int>{kFaultExitCode});
  EXPECT_FALSE(env.system.debugLines().empty());
}

}  // namespace
}  // namespace lumox
