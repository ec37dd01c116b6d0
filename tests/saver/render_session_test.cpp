#include "saver/render_session.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fake_modules.h"
#include "gfx/screen.h"
#include "saver/frame_pacer.h"
#include "state/palette_state.h"
#include "state/saver_state.h"

namespace lumox {
namespace {

using test::Calls;
using Log = std::vector<std::string>;

class RenderSessionTest : public testing::Test {
 protected:
  RenderSessionTest() {
    test::UseFakeModules(services);
    services.setUpSavedDisplays = [this](SaverState& state) {
      for (int i = 0; i < kModuleCount; ++i) state.options.Active[i] = active[i];
      state.options.ClearFirst = clearFirst;
    };
    services.createPalette = [this](gfx::Canvas*) { return &palette; };
    services.releasePalette = [](PaletteState*) { Calls().Add("ReleasePalette"); };
    services.capture = [](SaverState&) { Calls().Add("Capture"); };
  }

  // Begins a run of the `active` modules (all drawn once per frame) and
  // clears the log.
  RenderSession& Begin(FramePacer* pacer = nullptr) {
    session = std::make_unique<RenderSession>(saver, screen, &block.share, services, true, pacer);
    RenderBegin(*session);
    RenderStartModules(*session);
    Calls().Clear();
    return *session;
  }

  test::TestEnvironment env;
  test::FakeShare block;
  SaverState saver;
  PaletteState palette;
  RuntimeServices services;
  std::array<int32_t, kModuleCount> active{};
  int32_t clearFirst = 1;
  std::shared_ptr<gfx::Screen> screen = std::make_shared<gfx::Screen>(37, 23);
  std::unique_ptr<RenderSession> session;
};

TEST_F(RenderSessionTest, BeginPreparesTheTableAndClearsOnlyWithClearFirst) {
  active[kStain] = active[kCyclic] = 1;
  for (int32_t clear : {0, 1}) {
    clearFirst = clear;
    screen->surface().Fill(200);
    session = std::make_unique<RenderSession>(saver, screen, &block.share, services, true);
    RenderBegin(*session);
    EXPECT_EQ(saver.runFlag, 1);
    EXPECT_EQ(saver.livePalette.load(), &palette);
    for (const ModuleDescriptor& module : saver.table) {
      EXPECT_EQ(module.width * 100 + module.height, 3723);
      EXPECT_EQ(module.dc, &session->dc);
      EXPECT_EQ(module.palette, &palette);
    }
    EXPECT_EQ(screen->surface().data()[36 + 22 * 37], clear ? 0 : 200);
    EXPECT_TRUE(Calls().With("Init").empty()) << "nothing starts before the palette is ready";
  }
  Calls().Clear();
  RenderStartModules(*session);
  EXPECT_EQ(Calls().Entries(),
            (Log{"Validate 1", "Init 1", "Start 1", "Validate 6", "Init 6", "Start 6"}));
}

TEST_F(RenderSessionTest, ControlNineDecidesTheDrawsAndAYieldSleeps) {
  // Negative n draws in every n-th frame, 0 once whatever Draw returns,
  // positive n up to n times until Draw yields; a yield sleeps 10 ms.
  const struct {
    int32_t speed;
    bool yields;
    int frames;
    size_t draws;
    uint32_t sleptMs;
  } cases[] = {{-3, false, 2, 0, 0}, {-3, false, 9, 3, 0},  {-1, true, 1, 1, 10},
               {0, true, 1, 1, 0},   {4, false, 1, 4, 0},   {4, true, 1, 1, 10}};
  active[kBezier] = 1;
  for (const auto& c : cases) {
    Begin();
    saver.frameCounter = 0;
    saver.table[kBezier].controls[kStrengthSlot].Value = c.speed;
    test::SetDrawResult(kBezier, c.yields ? kYield : 0);
    const uint32_t start = env.clock.TickCount();
    for (int frame = 0; frame < c.frames; ++frame) RenderFrame(*session);
    EXPECT_EQ(Calls().With("Draw").size(), c.draws) << c.speed << " " << c.frames;
    EXPECT_EQ(env.clock.TickCount() - start, c.sleptMs) << c.speed << " " << c.yields;
  }
}

TEST_F(RenderSessionTest, EveryStepOfTheSpeedOptionLengthensAPacedFrame) {
  // 60 frames at 60 Hz: one refresh each, plus Speed x 10 ms rounded up to
  // whole refreshes (Speed 1 is two refreshes, 10 is seven); unpaced, the
  // pause alone. A Speed beyond the option's range is held to 10.
  const struct {
    int32_t speed;
    bool paced;
    uint32_t sixtyFramesMs;
  } cases[] = {{0, true, 1000}, {1, true, 2000},       {2, true, 3000}, {4, true, 4000},
               {10, true, 7000}, {1000000, true, 7000}, {3, false, 1800}};
  active[kBezier] = 1;
  for (const auto& c : cases) {
    VirtualClockPacer pacer(env.clock);
    Begin(c.paced ? &pacer : nullptr);
    saver.options.Speed = c.speed;
    const uint32_t start = env.clock.TickCount();
    const uint32_t published = screen->PublishedSerial();
    for (int frame = 0; frame < 60; ++frame) RenderFrame(*session);
    EXPECT_EQ(env.clock.TickCount() - start, c.sixtyFramesMs) << c.speed;
    EXPECT_EQ(screen->PublishedSerial() - published, 60u) << "one flush per frame";
  }
}

TEST_F(RenderSessionTest, CaptureRunsBeforeARestartOfTheActiveModulesOnly) {
  active[kPattern] = active[kVortex] = 1;
  for (bool withCapture : {true, false}) {
    if (!withCapture) services.capture = nullptr;
    Begin();
    block.share.SetU32(share_offset::CaptureRequest, 1);
    block.share.SetU32(share_offset::RestartRequest, 1);
    RenderFrame(*session);
    Log expected = {"Draw 2", "Draw 8", "Capture", "Stop 2", "Init 2", "Start 2",
                    "Stop 8", "Init 8", "Start 8"};
    if (!withCapture) expected.erase(expected.begin() + 2);
    EXPECT_EQ(Calls().Entries(), expected) << "no validation on a restart";
    EXPECT_EQ(block.share.U32(share_offset::CaptureRequest), 0u);
    EXPECT_EQ(block.share.U32(share_offset::RestartRequest), 0u);
  }
}

TEST_F(RenderSessionTest, APausedFrameDrawsAndCountsNothing) {
  active[kBezier] = 1;
  Begin();
  saver.renderPaused = 1;
  EXPECT_FALSE(RenderFrame(*session));
  EXPECT_EQ(saver.frameCounter, 0u);
  saver.renderPaused = 0;
  EXPECT_TRUE(RenderFrame(*session));
  EXPECT_EQ(saver.frameCounter, 1u);
  EXPECT_EQ(Calls().Entries(), Log{"Draw 0"});
}

TEST_F(RenderSessionTest, EndStopsTheModulesActiveNowThenReleasesThePalette) {
  active[kSphere] = 1;
  Begin();
  saver.options.Active[kStar] = 1;  // the Random module may switch modules
  RenderEnd(*session);
  EXPECT_EQ(Calls().Entries(), (Log{"Stop 5", "Stop 7", "ReleasePalette"}));
  EXPECT_EQ(saver.runFlag, 0);
  EXPECT_EQ(saver.livePalette.load(), nullptr);
}

TEST_F(RenderSessionTest, AutoRunAndPriorityFollowThePlayer) {
  // A running player: no launch, and normal priority whatever the option.
  const struct {
    uint32_t playerActive;
    size_t loads;
    int32_t autoStarted;
    int32_t priority;
  } cases[] = {{0, 2, 1, kPriorityHigh}, {1, 1, 0, kPriorityNormal}};
  services.launchPlayer = [](bool fromSaver, bool fullScreen) {
    Calls().Add(std::string("Launch ") + (fromSaver && fullScreen ? "ok" : "wrong arguments"));
  };
  services.setProcessPriority = [](int32_t priority) {
    Calls().Add("Priority " + std::to_string(priority));
  };
  for (const auto& c : cases) {
    services.setUpSavedDisplays = [](SaverState& state) {
      Calls().Add("Load");
      state.options.AutoRun = 1;
      state.options.Priority = kPriorityHigh;
    };
    block.share.SetU32(share_offset::PlayerActive, c.playerActive);
    Calls().Clear();
    RenderSession run(saver, screen, &block.share, services, true);
    RenderBegin(run);
    EXPECT_EQ(Calls().With("Load").size(), c.loads);
    EXPECT_EQ(Calls().With("Launch"), c.autoStarted ? Log{"Launch ok"} : Log{});
    EXPECT_EQ(saver.autoStarted, c.autoStarted);
    EXPECT_EQ(Calls().With("Priority"), Log{"Priority " + std::to_string(c.priority)});
  }
}

}  // namespace
}  // namespace lumox
