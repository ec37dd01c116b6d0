#include "saver/saver_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "fake_modules.h"
#include "state/palette_state.h"
#include "state/saver_state.h"

namespace lumox {
namespace {

using test::Calls;
using Log = std::vector<std::string>;

// The window and system side, recording into the shared call log. The
// stored display mode is 1024 x 768 on an 800 x 600 screen.
class FakeSaverHost : public SaverWindowHost {
 public:
  LResult DefaultProc(uint32_t message, WParam, LParam) override {
    passedOn.push_back(message);
    return 0;
  }
  WindowSize ClientSize() override { return client; }
  WindowSize ScreenSize() override { return {800, 600}; }
  bool TestDisplayMode(const DisplayModeRecord&) override { return modeAccepted; }
  bool ChangeDisplayMode(const DisplayModeRecord&) override { return true; }
  void RestoreDisplayMode() override { Calls().Add("RestoreDisplayMode"); }
  void ResizeWindow(int32_t width, int32_t height) override { client = {width, height}; }
  void BringToForeground() override {}
  bool StartRenderThread(SoundShare*, WindowSize size) override {
    Calls().Add("StartRenderThread " + std::to_string(size.width) + "x" +
                std::to_string(size.height));
    return true;
  }
  bool WaitRenderThread(uint32_t timeoutMs) override {
    Calls().Add("WaitRenderThread " + std::to_string(timeoutMs));
    return renderEnds;
  }
  void PostQuit(int exitCode) override { quitCodes.push_back(exitCode); }

  std::vector<uint32_t> passedOn;
  std::vector<int> quitCodes;
  WindowSize client{800, 600};
  bool modeAccepted = true;
  bool renderEnds = true;
};

class SaverWindowTest : public testing::Test {
 protected:
  SaverWindowTest() {
    services.importSettingsFile = [this](const std::string& path, const std::string& name) {
      Calls().Add("Import " + path);
      if (importSucceeds) registry["display " + name] = path;
      return importSucceeds;
    };
    services.readActiveName = [this] { return registry["Active"]; };
    services.writeActiveName = [this](const std::string& name) { registry["Active"] = name; };
    services.deleteDisplay = [this](const std::string& name) { registry.erase("display " + name); };
    services.writeVersionStamp = [this] {
      if (stampThrows) throw std::runtime_error("registry fault");
      Calls().Add("WriteVersionStamp");
    };
    services.readSlogan = [] { return std::string("Hello there"); };
    services.attachSaverWindow = [this]() { return attachSucceeds ? &block.share : nullptr; };
    services.detachSaverWindow = [this](SoundShare*, bool unmap) {
      Calls().Add(std::string(unmap ? "Detach" : "Detach, kept mapped") + ", LauncherClosed " +
                  std::to_string(block.share.U32(share_offset::LauncherClosed)));
    };
    services.readDisplayMode = [this](DisplayModeRecord& mode) {
      mode.bytes[109] = 0x04, mode.bytes[113] = 0x03;  // 1024 x 768
      return displayModeStored;
    };
  }

  LResult Send(uint32_t message, WParam wParam = 0) {
    return ScreenSaverProc(*window, message, wParam, 0);
  }
  // Creates a fresh window, with the stored display mode switched to.
  void CreateModeSwitched() {
    window.emplace(saver, services, host, "lumox.scr /s");
    host.client = {800, 600};
    displayModeStored = true;
    ASSERT_EQ(Send(kWmCreate), 0);
    ASSERT_TRUE(window->modeSwitched);
    host.passedOn.clear();
  }
  size_t MovesPassedOn() const {
    return static_cast<size_t>(std::count(host.passedOn.begin(), host.passedOn.end(), kWmMouseMove));
  }

  test::TestEnvironment env;
  test::FakeShare block;
  SaverState saver;
  RuntimeServices services;
  FakeSaverHost host;
  std::map<std::string, std::string> registry{{"Active", "Calm Waters"}};
  bool importSucceeds = true, attachSucceeds = true, stampThrows = false;
  bool displayModeStored = false;
  std::optional<SaverWindow> window{std::in_place, saver, services, host, "lumox.scr /s"};
};

TEST_F(SaverWindowTest, ASettingsFileRunLeavesActiveAndTheDisplaysAsTheyWereOnEveryPath) {
  const struct { bool importSucceeds, attachSucceeds, stampThrows; LResult created; bool testing; }
      cases[] = {{true, true, false, 0, true}, {false, true, false, 0, false},
                 {true, false, false, -1, false},
                 // A fault after the import posts quit 43; WM_DESTROY may or may not follow.
                 {true, true, true, 0, false}};
  for (const auto& c : cases) {
    for (bool destroyed : {true, false}) {
      if (c.testing && !destroyed) continue;  // WM_DESTROY always follows a window
      importSucceeds = c.importSucceeds;
      attachSucceeds = c.attachSucceeds;
      stampThrows = c.stampThrows;
      SaverWindow run{saver, services, host, "\"C:\\Lumox\\lumox.scr\" /S C:\\My Files\\deep.lmx"};
      EXPECT_EQ(ScreenSaverProc(run, kWmCreate, 0, 0), c.created);
      EXPECT_EQ(registry["Active"] == kTestingDisplayName, c.testing);
      if (destroyed && c.created == 0) ScreenSaverProc(run, kWmDestroy, 0, 0);
      EXPECT_EQ(registry["Active"], "Calm Waters") << c.importSucceeds << c.attachSucceeds;
      EXPECT_EQ(registry.count(std::string("display ") + kTestingDisplayName), 0u);
    }
  }
  EXPECT_EQ(Calls().With("Import").front(), "Import C:\\My Files\\deep.lmx");
  EXPECT_EQ(host.quitCodes, (std::vector<int>{kFaultExitCode, kFaultExitCode}));
}

TEST_F(SaverWindowTest, AStoredModeIsUsedOnlyFullScreenAndTheRenderThreadTakesItsSize) {
  const struct { WindowSize client; bool stored, accepted, switched; const char* renderSize; }
      cases[] = {{{800, 600}, true, true, true, "1024x768"},
                 {{800, 600}, true, false, false, "800x600"},
                 {{800, 600}, false, true, false, "800x600"},
                 {{200, 150}, true, true, false, "200x150"}};  // a preview
  for (const auto& c : cases) {
    Calls().Clear();
    host.client = c.client;
    displayModeStored = c.stored;
    host.modeAccepted = c.accepted;
    SaverWindow run{saver, services, host, "lumox.scr /s"};
    ASSERT_EQ(ScreenSaverProc(run, kWmCreate, 0, 0), 0);
    EXPECT_EQ(run.modeSwitched, c.switched);
    for (int i = 0; i < 2; ++i) ScreenSaverProc(run, kWmEraseBackground, 0, 0);
    EXPECT_EQ(Calls().With("StartRenderThread"), Log{std::string("StartRenderThread ") + c.renderSize});
  }
  // The display settles for 200 ms before the window is resized.
  EXPECT_EQ(env.clock.TickCount(), 100000u + kModeSettleMs);
  EXPECT_STREQ(saver.slogan, "Hello there");
  EXPECT_EQ(Calls().With("WriteVersionStamp").size(), 1u) << "one per creation";
}

TEST_F(SaverWindowTest, InASwitchedModeCloseWaitsForInputAndDeactivationNeverDismisses) {
  CreateModeSwitched();
  EXPECT_EQ(Send(kWmActivate, 0) + Send(kWmActivateApp, 0) + Send(kWmClose), 0);
  EXPECT_TRUE(host.passedOn.empty());
  for (uint32_t message : {kWmActivate, kWmRightButtonDown, kWmClose}) Send(message, 1);
  EXPECT_EQ(host.passedOn, (std::vector<uint32_t>{kWmActivate, kWmRightButtonDown, kWmClose}));
}

TEST_F(SaverWindowTest, HotKeysDoTheirCommandAndNeverDismiss) {
  PaletteState palette;
  palette.settings.values[kDirection][kRed].Value = 3;
  palette.settings.values[kDirection][kGreen].Value = -2;
  Send(kWmCreate);
  for (WParam key : {kVkF3, kVkF4, kVkF8}) Send(kWmKeyDown, key);  // no palette yet: nothing
  saver.livePalette = &palette;
  SoundShare& share = block.share;
  share.SetU32(share_offset::KeyLevel, 2);
  // Pressed in this order from cleared requests; after each: the key level (1..20), the restart
  // and capture requests, the pauses (render x 10 + palette) and the beeps.
  const struct { WParam key; int presses; std::array<int64_t, 5> after; } keys[] = {
      {kVkLeft, 5, {1, 0, 0, 0, 0}}, {kVkRight, 30, {20, 0, 0, 0, 0}}, {kVkF2, 1, {20, 1, 0, 0, 0}},
      {kVkF1, 1, {20, 0, 1, 0, 1}}, {kVkF3, 1, {20, 0, 1, 0, 1}}, {kVkF5, 1, {20, 0, 0, 11, 0}},
      {kVkF6, 1, {20, 0, 0, 1, 0}}, {kVkF7, 1, {20, 0, 0, 0, 0}}, {kVkF7, 1, {20, 0, 0, 1, 0}},
      {kVkF5, 1, {20, 0, 0, 10, 0}}, {kVkF9, 1, {20, 0, 0, 10, 1}}};
  for (const auto& k : keys) {
    share.SetU32(share_offset::CaptureRequest, 0);
    share.SetU32(share_offset::RestartRequest, 0);
    const int beepsBefore = env.system.beeps();
    for (int i = 0; i < k.presses; ++i) EXPECT_EQ(Send(kWmKeyDown, k.key), 0);
    EXPECT_EQ((std::array<int64_t, 5>{share.U32(share_offset::KeyLevel),
                                      share.U32(share_offset::RestartRequest),
                                      share.U32(share_offset::CaptureRequest),
                                      saver.renderPaused * 10 + saver.palettePaused,
                                      env.system.beeps() - beepsBefore}),
              k.after) << k.key;
  }
  // F3 made the palette custom and live; F4 changes now, F8 reverses.
  env.clock.Set(123456);
  for (WParam key : {kVkF4, kVkF8}) Send(kWmKeyDown, key);
  for (int c = 0; c < kChannels; ++c) {
    EXPECT_EQ(palette.settings.Effect[c], kEffectCustom);
    EXPECT_EQ(palette.channels[c].ChangeTime, 123456u);
  }
  EXPECT_EQ(palette.LiveColors, 1);
  EXPECT_EQ(palette.settings.values[kDirection][kRed].Value * 10 +
                palette.settings.values[kDirection][kGreen].Value, -28);
  EXPECT_TRUE(host.passedOn.empty() && !window->userInput);
  Send(kWmKeyDown, 'A');
  EXPECT_TRUE(window->userInput);
  EXPECT_EQ(host.passedOn, std::vector<uint32_t>{kWmKeyDown});
}

TEST_F(SaverWindowTest, InASwitchedModeOnlyASustainedBurstGoesOnToTheDistanceRule) {
  // Within the first eight seconds a burst needs twenty counted messages,
  // later six; the message that starts a burst is not counted, and a pause
  // of two seconds starts a new one.
  const struct { uint32_t waitMs; int needed, pausedAfter; } cases[] = {
      {9000, 6, 0}, {0, 20, 0}, {9000, 6, 4}};
  for (const auto& c : cases) {
    CreateModeSwitched();
    const auto moves = [this](int count, uint32_t gapMs) {
      for (int i = 0; i < count; ++i) env.clock.Advance(gapMs), Send(kWmMouseMove);
    };
    moves(1, c.waitMs);
    moves(c.pausedAfter, 0);
    moves(c.pausedAfter ? 1 : 0, kBurstWindowMs);
    moves(c.needed - 1, 50);
    ASSERT_EQ(MovesPassedOn() * 10 + window->userInput, 0u) << c.needed;
    Send(kWmMouseMove);
    EXPECT_EQ(MovesPassedOn() * 10 + window->userInput, 11u) << c.needed;
  }
}

TEST_F(SaverWindowTest, TearDownOrderAndAnAbandonedThreadKeepsOnlyTheMapping) {
  for (bool renderEnds : {true, false}) {
    host.renderEnds = renderEnds;
    CreateModeSwitched();
    Send(kWmEraseBackground);
    saver.runFlag = saver.autoStarted = 1;
    block.share.SetU32(share_offset::LauncherClosed, 0);
    Calls().Clear();
    Send(kWmDestroy);
    EXPECT_EQ(saver.runFlag, 0);
    EXPECT_EQ(Calls().Entries(),
              (Log{"RestoreDisplayMode", "WaitRenderThread 2000",
                   std::string(renderEnds ? "Detach" : "Detach, kept mapped") +
                       ", LauncherClosed 1"}));
    EXPECT_EQ(host.passedOn, std::vector<uint32_t>{kWmDestroy});
  }
}

}  // namespace
}  // namespace lumox
