// The render session piece by piece on the test's thread, then whole: on a
// real render and palette thread, and headless on a manual clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>

#include "fake_modules.h"
#include "gfx/screen.h"
#include "saver/frame_pacer.h"
#include "saver/render_thread.h"
#include "state/palette_state.h"
#include "state/saver_state.h"

namespace lumox {
namespace {

using namespace std::chrono_literals;
using test::Calls;
using Log = std::vector<std::string>;

size_t IndexOf(const Log& entries, const std::string& entry) {
  return static_cast<size_t>(std::find(entries.begin(), entries.end(), entry) - entries.begin());
}

// Waits (real time, bounded) until the call log has an entry with `prefix`.
bool WaitForCall(const std::string& prefix) {
  for (int i = 0; i < 5000 && Calls().With(prefix).empty(); ++i) std::this_thread::sleep_for(1ms);
  return !Calls().With(prefix).empty();
}

bool Logged(const test::TestEnvironment& env, const std::string& text) {
  const auto& lines = env.system.debugLines();
  return std::any_of(lines.begin(), lines.end(),
                     [&](const std::string& line) { return line.find(text) != std::string::npos; });
}

class RenderTest : public testing::Test {
 protected:
  RenderTest() {
    test::UseFakeModules(services);
    services.setUpSavedDisplays = [this](SaverState& state) {
      for (int i = 0; i < kModuleCount; ++i) state.options.Active[i] = active[i];
      state.options.ClearFirst = clearFirst;
    };
    services.createPalette = [this](gfx::Canvas*) { return &palette; };
    services.releasePalette = [](PaletteState*) { Calls().Add("ReleasePalette"); };
    services.capture = [](SaverState&) { Calls().Add("Capture"); };
    // A palette thread that takes a while to get ready.
    services.paletteThreadMain = [](PaletteState&, gfx::Screen&, SaverState& saver) {
      std::this_thread::sleep_for(20ms);
      Calls().Add("PaletteReady");
      saver.paletteReady = 1;
      while (saver.runFlag) std::this_thread::sleep_for(1ms);
      Calls().Add("PaletteEnd");
    };
    services.lowerRenderThreadPriority = [this] {
      Calls().Add(std::this_thread::get_id() == testThread ? "Lowered here" : "Lowered");
    };
  }
  // The number of log entries that start with `prefix`.
  static size_t Count(const std::string& prefix) { return Calls().With(prefix).size(); }

  // Begins a run of the `active` modules on this thread and clears the log.
  RenderSession& Begin(FramePacer* pacer = nullptr) {
    session = std::make_unique<RenderSession>(saver, screen, &block.share, services, true, pacer);
    RenderBegin(*session);
    RenderStartModules(*session);
    Calls().Clear();
    return *session;
  }
  // Starts a render thread running Polygon (module 4).
  bool StartThread() {
    active[kPolygon] = 1;
    return thread.Start(saver, screen, &block.share, services, true, nullptr);
  }

  std::thread::id testThread = std::this_thread::get_id();
  test::TestEnvironment env;
  test::FakeShare block;
  SaverState saver;
  PaletteState palette;
  RuntimeServices services;
  std::array<int32_t, kModuleCount> active{};
  int32_t clearFirst = 1;
  std::shared_ptr<gfx::Screen> screen = std::make_shared<gfx::Screen>(37, 23);
  std::unique_ptr<RenderSession> session;
  RenderThread thread;
};

TEST_F(RenderTest, BeginPreparesTheTableAndClearsOnlyWithClearFirst) {
  active[kStain] = active[kCyclic] = 1;
  for (int32_t clear : {0, 1}) {
    clearFirst = clear;
    screen->surface().Fill(200);
    session = std::make_unique<RenderSession>(saver, screen, &block.share, services, true);
    RenderBegin(*session);
    EXPECT_EQ(saver.runFlag, 1);
    EXPECT_EQ(saver.livePalette.load(), &palette);
    for (const ModuleDescriptor& m : saver.table)
      EXPECT_TRUE(m.width == 37 && m.height == 23 && m.dc == &session->dc) << m.width << m.height;
    const gfx::Surface& surface = screen->surface();
    EXPECT_EQ(std::count(surface.data(), surface.data() + surface.size(), clear ? 0 : 200), 37 * 23);
    EXPECT_EQ(Count("Init"), 0u) << "nothing starts before the palette is ready";
  }
  Calls().Clear();
  RenderStartModules(*session);
  EXPECT_EQ(Calls().Entries(),
            (Log{"Validate 1", "Init 1", "Start 1", "Validate 6", "Init 6", "Start 6"}));
}

TEST_F(RenderTest, ControlNineDecidesTheDrawsAndAYieldSleeps) {
  // Negative n draws in every n-th frame, 0 once whatever Draw returns,
  // positive n up to n times until Draw yields; a yield sleeps 10 ms.
  const struct { int32_t speed; bool yields; int frames; size_t draws; uint32_t ms; } cases[] = {
      {-3, false, 2, 0, 0}, {-3, false, 9, 3, 0}, {-1, true, 1, 1, 10},
      {0, true, 1, 1, 0},   {4, false, 1, 4, 0},  {4, true, 1, 1, 10}};
  active[kBezier] = 1;
  for (const auto& c : cases) {
    Begin();
    saver.frameCounter = 0;
    saver.table[kBezier].controls[kStrengthSlot].Value = c.speed;
    test::SetDrawResult(kBezier, c.yields ? kYield : 0);
    const uint32_t start = env.clock.TickCount();
    for (int frame = 0; frame < c.frames; ++frame) RenderFrame(*session);
    EXPECT_EQ(Count("Draw"), c.draws) << c.speed << " " << c.frames;
    EXPECT_EQ(env.clock.TickCount() - start, c.ms) << c.speed << " " << c.yields;
  }
}

TEST_F(RenderTest, EveryStepOfTheSpeedOptionLengthensAPacedFrame) {
  // 60 frames: one refresh each, plus Speed x 10 ms rounded up to whole
  // refreshes (at 60 Hz Speed 1 is two refreshes, 10 is seven; at 144 Hz
  // Speed 1 is three); unpaced, the pause alone. A Speed beyond the
  // option's range is held to 10; an unknown refresh rate (0) means 60 Hz.
  const struct { int32_t speed; bool paced; uint32_t sixtyFramesMs, hz = 60; } cases[] = {
      {0, true, 1000},  {1, true, 2000},       {2, true, 3000},      {4, true, 4000},
      {10, true, 7000}, {1000000, true, 7000}, {3, false, 1800},     {1, true, 1250, 144},
      {1, true, 2000, 0}};
  active[kBezier] = 1;
  for (const auto& c : cases) {
    VirtualClockPacer pacer(env.clock, c.hz);
    Begin(c.paced ? &pacer : nullptr);
    saver.options.Speed = c.speed;
    const uint32_t start = env.clock.TickCount();
    const uint32_t published = screen->PublishedSerial();
    for (int frame = 0; frame < 60; ++frame) RenderFrame(*session);
    EXPECT_EQ(env.clock.TickCount() - start, c.sixtyFramesMs) << c.speed << " at " << c.hz;
    EXPECT_EQ(screen->PublishedSerial() - published, 60u) << "one flush per frame";
  }
}

TEST_F(RenderTest, CaptureRunsBeforeARestartAndEndStopsTheModulesActiveNow) {
  active[kBezier] = active[kVortex] = 1;  // the first module and a later one
  for (bool withCapture : {true, false}) {
    if (!withCapture) services.capture = nullptr;
    Begin();
    block.share.SetU32(share_offset::CaptureRequest, 1);
    block.share.SetU32(share_offset::RestartRequest, 1);
    RenderFrame(*session);
    Log expected = {"Draw 0", "Draw 8", "Capture", "Stop 0", "Init 0", "Start 0",
                    "Stop 8", "Init 8", "Start 8"};
    if (!withCapture) expected.erase(expected.begin() + 2);
    EXPECT_EQ(Calls().Entries(), expected) << "no validation on a restart";
    EXPECT_EQ(block.share.U32(share_offset::CaptureRequest) +
                  block.share.U32(share_offset::RestartRequest), 0u);
  }
  Calls().Clear();
  saver.options.Active[kBezier] = 0;  // the Random module may switch modules
  saver.options.Active[kStar] = 1;
  RenderEnd(*session);
  EXPECT_EQ(Calls().Entries(), (Log{"Stop 7", "Stop 8", "ReleasePalette"}));
  EXPECT_EQ(saver.runFlag, 0);
  EXPECT_EQ(saver.livePalette.load(), nullptr);
}

TEST_F(RenderTest, AutoRunAndPriorityFollowThePlayer) {
  // A running player: no launch, and normal priority whatever the option.
  const struct { uint32_t playerActive; size_t loads; int32_t autoStarted, priority; } cases[] = {
      {0, 2, 1, kPriorityHigh}, {1, 1, 0, kPriorityNormal}};
  services.launchPlayer = [](bool fromSaver, bool fullScreen) {
    Calls().Add(std::string("Launch ") + (fromSaver && fullScreen ? "ok" : "wrong arguments"));
  };
  services.setProcessPriority = [](int32_t p) { Calls().Add("Priority " + std::to_string(p)); };
  services.setUpSavedDisplays = [](SaverState& state) {
    Calls().Add("Load");
    state.options.AutoRun = 1;
    state.options.Priority = kPriorityHigh;
  };
  for (const auto& c : cases) {
    block.share.SetU32(share_offset::PlayerActive, c.playerActive);
    Calls().Clear();
    RenderSession run(saver, screen, &block.share, services, true);
    RenderBegin(run);
    EXPECT_EQ(Count("Load"), c.loads);
    EXPECT_EQ(Calls().With("Launch"), c.autoStarted ? Log{"Launch ok"} : Log{});
    EXPECT_EQ(saver.autoStarted, c.autoStarted);
    EXPECT_EQ(Calls().With("Priority"), Log{"Priority " + std::to_string(c.priority)});
  }
}

TEST_F(RenderTest, OnItsThreadThePaletteIsReadyBeforeInitAndEndsBeforeItIsReleased) {
  ASSERT_TRUE(StartThread());
  ASSERT_TRUE(WaitForCall("Draw"));
  saver.runFlag = 0;
  ASSERT_TRUE(thread.Join());

  const Log calls = Calls().Entries();
  ASSERT_LT(IndexOf(calls, "ReleasePalette"), calls.size());
  // "Lowered", not "Lowered here": on the render thread.
  for (const auto& [before, after] : {std::pair{"Lowered", "Init 4"}, {"PaletteReady", "Init 4"},
                                      {"Init 4", "Stop 4"}, {"Stop 4", "ReleasePalette"},
                                      {"PaletteEnd", "ReleasePalette"}})
    EXPECT_LT(IndexOf(calls, before), IndexOf(calls, after)) << before << " " << after;
  EXPECT_EQ(saver.livePalette.load(), nullptr);
}

TEST_F(RenderTest, AModuleFaultEndsTheRunAndLeavesModulesAndPalette) {
  test::SetDrawResult(kPolygon, test::kDrawThrows);
  ASSERT_TRUE(StartThread());
  EXPECT_TRUE(thread.Join());
  EXPECT_EQ(saver.runFlag, 0);
  EXPECT_TRUE(Logged(env, "module fault"));
  // The palette thread saw the run flag drop and ended; nothing was stopped
  // or released.
  EXPECT_EQ(Count("PaletteEnd") * 100 + Count("Stop") * 10 + Count("ReleasePalette"), 100u);
}

// A palette thread that ignores the run flag until the test lets it go. It
// touches only what outlives the test.
std::atomic<bool> letStuckThreadGo{false};
PaletteState stuckPalette;

TEST_F(RenderTest, AnAbandonedPaletteThreadKeepsItsPaletteAndFailsTheJoin) {
  letStuckThreadGo = false;
  services.createPalette = [](gfx::Canvas*) { return &stuckPalette; };
  services.paletteThreadMain = [](PaletteState&, gfx::Screen&, SaverState& saver) {
    saver.paletteReady = 1;
    for (int i = 0; i < 10000 && !letStuckThreadGo; ++i) std::this_thread::sleep_for(1ms);
  };
  ASSERT_TRUE(StartThread());
  ASSERT_TRUE(WaitForCall("Draw"));
  saver.runFlag = 0;
  // The render thread itself ends, but the window must keep the shared
  // block mapped for the palette thread still running.
  EXPECT_FALSE(thread.Join(10000));
  letStuckThreadGo = true;
  EXPECT_EQ(Count("ReleasePalette") * 10 + Count("Stop 4"), 1u);
  EXPECT_TRUE(Logged(env, "abandoned"));
}

TEST_F(RenderTest, AFailingPaletteThreadEndsTheRunBeforeAnyModuleStarts) {
  services.paletteThreadMain = [](PaletteState&, gfx::Screen&, SaverState&) {
    throw std::runtime_error("palette fault");
  };
  ASSERT_TRUE(StartThread());
  EXPECT_TRUE(thread.Join());
  EXPECT_EQ(saver.runFlag, 0);
  EXPECT_TRUE(Logged(env, "palette thread failed: palette fault"));
  EXPECT_EQ(Count("Init") * 10 + Count("ReleasePalette"), 1u);
}

TEST_F(RenderTest, HeadlessPaletteStepsFollowTheVirtualClockAndPausesHoldTheirSide) {
  services.paletteThreadBegin = [](PaletteState&) { Calls().Add("PaletteBegin"); };
  services.paletteThreadStep = [](PaletteState&) { Calls().Add("PaletteStep"); };
  services.paletteStepInterval = [](const PaletteState&) { return uint32_t{30}; };
  active[kPolygon] = 1;
  RenderSession run(saver, screen, &block.share, services, true);
  HeadlessRun headless(run, env.clock);
  const uint32_t start = env.clock.TickCount();
  headless.Begin();
  EXPECT_LT(IndexOf(Calls().Entries(), "PaletteBegin"), IndexOf(Calls().Entries(), "Init 4"));
  for (int frame = 0; frame < 60; ++frame) headless.Frame();
  EXPECT_EQ(env.clock.TickCount() - start, 1000u) << "60 frames at 60 Hz";
  // The 60th frame starts at 983 ms: steps were due at 0, 30, ..., 960.
  const auto stepsDrawsFrames = [this] {
    return std::array{Count("PaletteStep"), Count("Draw 4"), size_t{saver.frameCounter}};
  };
  EXPECT_EQ(stepsDrawsFrames(), (std::array<size_t, 3>{33, 60, 60}));

  saver.palettePaused = 1;
  saver.renderPaused = 1;
  for (int frame = 0; frame < 60; ++frame) headless.Frame();
  EXPECT_EQ(env.clock.TickCount() - start, 2000u) << "time goes on while both are paused";
  EXPECT_EQ(stepsDrawsFrames(), (std::array<size_t, 3>{33, 60, 60})) << "nothing while paused";
  headless.End();
  EXPECT_EQ(Count("Stop 4") * 10 + Count("ReleasePalette"), 11u);
}

}  // namespace
}  // namespace lumox
