#include "saver/render_session.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fake_modules.h"
#include "gfx/screen.h"
#include "state/palette_state.h"
#include "state/saver_state.h"

namespace lumox {
namespace {

using test::Calls;

class RenderSessionTest : public testing::Test {
 protected:
  RenderSessionTest() {
    test::UseFakeModules(services);
    services.setUpSavedDisplays = [this](SaverState& state) {
      for (int i = 0; i < kModuleCount; ++i) state.options.Active[i] = active[i];
    };
    services.createPalette = [this](gfx::Canvas*) {
      Calls().Add("CreatePalette");
      return &palette;
    };
    services.releasePalette = [](PaletteState*) { Calls().Add("ReleasePalette"); };
    services.capture = [this](SaverState&) {
      Calls().Add("Capture");
      block.share.SetU32(share_offset::CaptureRequest, 0);
    };
  }

  RenderSession& Session() {
    if (!session) {
      session = std::make_unique<RenderSession>(saver, screen, &block.share, services, true);
    }
    return *session;
  }
  // Begins a run with only `module` active, its speed control at `speed`.
  void BeginWith(int module, int32_t speed) {
    active = {};
    active[module] = 1;
    RenderBegin(Session());
    saver.paletteReady = 1;
    RenderStartModules(Session());
    saver.table[module].controls[kSpeedControl].Value = speed;
    Calls().Clear();
  }
  size_t Draws() const { return Calls().With("Draw").size(); }

  test::TestEnvironment env;
  test::FakeShare block;
  SaverState saver;
  PaletteState palette;
  RuntimeServices services;
  std::array<int32_t, kModuleCount> active{};
  std::shared_ptr<gfx::Screen> screen = std::make_shared<gfx::Screen>(37, 23);
  std::unique_ptr<RenderSession> session;
};

TEST_F(RenderSessionTest, BeginPreparesTheRun) {
  active[kPattern] = 1;
  screen->surface().Fill(200);
  RenderBegin(Session());
  EXPECT_EQ(saver.runFlag, 1);
  EXPECT_EQ(saver.palette, &palette);
  EXPECT_EQ(saver.livePalette.load(), &palette);
  for (const ModuleDescriptor& module : saver.table) {
    EXPECT_EQ(module.width, 37);
    EXPECT_EQ(module.height, 23);
    EXPECT_EQ(module.dc, &Session().dc);
    EXPECT_EQ(module.palette, &palette);
  }
  // ClearFirst blacks the screen.
  for (size_t i = 0; i < screen->surface().size(); ++i) {
    ASSERT_EQ(screen->surface().data()[i], 0) << i;
  }
  // Nothing runs before the palette is ready.
  EXPECT_TRUE(Calls().With("Init").empty());
}

TEST_F(RenderSessionTest, ClearFirstOffLeavesTheScreen) {
  services.setUpSavedDisplays = [](SaverState& state) {
    state.options.ClearFirst = 0;
    state.options.Active[kPattern] = 1;
  };
  screen->surface().Fill(200);
  RenderBegin(Session());
  EXPECT_EQ(screen->surface().data()[0], 200);
}

TEST_F(RenderSessionTest, StartValidatesInitsAndStartsActiveModulesInOrder) {
  active[kStain] = 1;
  active[kCyclic] = 1;
  RenderBegin(Session());
  Calls().Clear();
  RenderStartModules(Session());
  EXPECT_EQ(Calls().Entries(),
            (std::vector<std::string>{"Validate 1", "Init 1", "Start 1", "Validate 6", "Init 6",
                                      "Start 6"}));
}

TEST_F(RenderSessionTest, NegativeSpeedDrawsEveryNthFrame) {
  BeginWith(kBezier, -3);
  std::vector<uint32_t> drawnIn;
  for (int frame = 1; frame <= 9; ++frame) {
    size_t before = Draws();
    RenderFrame(Session());
    if (Draws() > before) drawnIn.push_back(saver.frameCounter);
  }
  EXPECT_EQ(drawnIn, (std::vector<uint32_t>{3, 6, 9}));
}

TEST_F(RenderSessionTest, SpeedDecidesTheDrawsAndAYieldSleeps) {
  // Positive speed draws up to N times; a yield ends the module's frame and
  // sleeps, except at speed 0, which draws once and ignores the result.
  struct Case {
    int32_t speed;
    bool yields;
    size_t draws;
    uint32_t sleptMs;
  };
  const Case cases[] = {{4, false, 4, 0}, {4, true, 1, kYieldSleepMs}, {-1, true, 1, kYieldSleepMs},
                        {0, true, 1, 0},  {0, false, 1, 0}};
  for (const Case& c : cases) {
    test::ResetFakeModules();
    session.reset();
    BeginWith(kBezier, c.speed);
    test::SetDrawResult(kBezier, c.yields ? kYield : 0);
    const uint32_t start = env.clock.TickCount();
    RenderFrame(Session());
    EXPECT_EQ(Draws(), c.draws) << c.speed << " " << c.yields;
    EXPECT_EQ(env.clock.TickCount() - start, c.sleptMs) << c.speed << " " << c.yields;
  }
  // The speed is read every frame.
  test::SetDrawResult(kBezier, 0);
  saver.table[kBezier].controls[kSpeedControl].Value = 5;
  RenderFrame(Session());
  EXPECT_EQ(Draws(), 6u);
}

TEST_F(RenderSessionTest, FramesArePublishedAtTheFlush) {
  BeginWith(kBezier, 1);
  uint32_t before = screen->PublishedSerial();
  RenderFrame(Session());
  RenderFrame(Session());
  EXPECT_EQ(screen->PublishedSerial() - before, 2u);
}

TEST_F(RenderSessionTest, SpeedOptionPausesEachFrame) {
  BeginWith(kBezier, 1);
  saver.options.Speed = 3;
  uint32_t start = env.clock.TickCount();
  RenderFrame(Session());
  EXPECT_EQ(env.clock.TickCount() - start, 30u);
  saver.options.Speed = 1000000;  // out of range: held to the option's maximum
  start = env.clock.TickCount();
  RenderFrame(Session());
  EXPECT_EQ(env.clock.TickCount() - start, 100u);
}

TEST_F(RenderSessionTest, CaptureRunsBeforeRestart) {
  BeginWith(kBezier, 1);
  block.share.SetU32(share_offset::CaptureRequest, 1);
  block.share.SetU32(share_offset::RestartRequest, 1);
  RenderFrame(Session());
  EXPECT_EQ(Calls().Entries(), (std::vector<std::string>{"Draw 0", "Capture", "Stop 0", "Init 0",
                                                         "Start 0"}));
  EXPECT_EQ(block.share.U32(share_offset::CaptureRequest), 0u);
  EXPECT_EQ(block.share.U32(share_offset::RestartRequest), 0u);
  RenderFrame(Session());
  EXPECT_EQ(Calls().With("Capture").size(), 1u);
}

TEST_F(RenderSessionTest, CaptureRequestIsClearedWithoutACaptureRoutine) {
  services.capture = nullptr;
  BeginWith(kBezier, 1);
  block.share.SetU32(share_offset::CaptureRequest, 1);
  RenderFrame(Session());
  EXPECT_EQ(block.share.U32(share_offset::CaptureRequest), 0u);
}

TEST_F(RenderSessionTest, RestartTouchesOnlyActiveModulesWithoutValidation) {
  active[kPattern] = 1;
  active[kVortex] = 1;
  RenderBegin(Session());
  saver.paletteReady = 1;
  RenderStartModules(Session());
  for (ModuleDescriptor& module : saver.table) module.controls[kSpeedControl].Value = 0;
  Calls().Clear();
  block.share.SetU32(share_offset::RestartRequest, 1);
  RenderFrame(Session());
  EXPECT_EQ(Calls().Entries(),
            (std::vector<std::string>{"Draw 2", "Draw 8", "Stop 2", "Init 2", "Start 2",
                                      "Stop 8", "Init 8", "Start 8"}));
}

TEST_F(RenderSessionTest, PausedRenderDrawsNothing) {
  BeginWith(kBezier, 1);
  saver.renderPaused = 1;
  EXPECT_FALSE(RenderFrame(Session()));
  EXPECT_EQ(Draws(), 0u);
  EXPECT_EQ(saver.frameCounter, 0u);
  saver.renderPaused = 0;
  EXPECT_TRUE(RenderFrame(Session()));
  EXPECT_EQ(saver.frameCounter, 1u);
}

TEST_F(RenderSessionTest, EndStopsActiveModulesThenReleasesThePalette) {
  BeginWith(kSphere, 1);
  saver.options.Active[kStar] = 1;  // the Random module may switch modules
  RenderEnd(Session());
  EXPECT_EQ(Calls().Entries(),
            (std::vector<std::string>{"Stop 5", "Stop 7", "ReleasePalette"}));
  EXPECT_EQ(saver.runFlag, 0);
  EXPECT_EQ(saver.livePalette.load(), nullptr);
  EXPECT_EQ(saver.palette, nullptr);
}

TEST_F(RenderSessionTest, AutoRunLaunchesThePlayerAndReloads) {
  services.setUpSavedDisplays = [](SaverState& state) {
    Calls().Add("LoadSettings");
    state.options.AutoRun = 1;
  };
  services.launchPlayer = [](bool fromSaver, bool fullScreen) {
    Calls().Add(std::string("Launch ") + (fromSaver ? "saver" : "page") +
                (fullScreen ? " full" : " window"));
  };
  services.setProcessPriority = [](int32_t priority) {
    Calls().Add("Priority " + std::to_string(priority));
  };
  RenderBegin(Session());
  EXPECT_EQ(Calls().With("LoadSettings").size(), 2u);
  EXPECT_EQ(Calls().With("Launch"), std::vector<std::string>{"Launch saver full"});
  EXPECT_EQ(saver.autoStarted, 1);
  EXPECT_EQ(Calls().With("Priority"), std::vector<std::string>{"Priority 64"});
}

TEST_F(RenderSessionTest, RunningPlayerMeansNoLaunchAndNormalPriority) {
  services.setUpSavedDisplays = [](SaverState& state) {
    state.options.AutoRun = 1;
    state.options.Priority = kPriorityHigh;
  };
  services.launchPlayer = [](bool, bool) { Calls().Add("Launch"); };
  services.setProcessPriority = [](int32_t priority) {
    Calls().Add("Priority " + std::to_string(priority));
  };
  block.share.SetU32(share_offset::PlayerActive, 1);
  RenderBegin(Session());
  EXPECT_TRUE(Calls().With("Launch").empty());
  EXPECT_EQ(saver.autoStarted, 0);
  EXPECT_EQ(Calls().With("Priority"), std::vector<std::string>{"Priority 32"});
}

}  // namespace
}  // namespace lumox
