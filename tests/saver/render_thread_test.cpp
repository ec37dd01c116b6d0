#include "saver/render_thread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "fake_modules.h"
#include "gfx/screen.h"
#include "state/palette_state.h"
#include "state/saver_state.h"

namespace lumox {
namespace {

using namespace std::chrono_literals;
using test::Calls;

size_t IndexOf(const std::vector<std::string>& entries, const std::string& entry) {
  return static_cast<size_t>(std::find(entries.begin(), entries.end(), entry) - entries.begin());
}

// Waits (real time, bounded) until the call log has an entry with `prefix`.
bool WaitForCall(const std::string& prefix) {
  for (int i = 0; i < 5000 && Calls().With(prefix).empty(); ++i) std::this_thread::sleep_for(1ms);
  return !Calls().With(prefix).empty();
}

bool Logged(const test::TestEnvironment& env, const std::string& text) {
  for (const std::string& line : env.system.debugLines()) {
    if (line.find(text) != std::string::npos) return true;
  }
  return false;
}

std::atomic<bool> faultingDraw{false};
int32_t ThrowingDraw(ModuleDescriptor&) {
  if (faultingDraw) throw std::runtime_error("module fault");
  return 0;
}

// A palette thread that ignores the run flag until the test lets it go. It
// touches only what outlives the test.
std::atomic<bool> letStuckThreadGo{false};
PaletteState stuckPalette;

class RenderThreadTest : public testing::Test {
 protected:
  RenderThreadTest() {
    services.moduleDefinition = &test::FakeModuleDefinition;
    services.setUpSavedDisplays = [](SaverState& state) {
      state.options.Active = {};
      state.options.Active[kPolygon] = 1;
    };
    services.createPalette = [this](gfx::Canvas*) { return &palette; };
    services.releasePalette = [](PaletteState*) { Calls().Add("ReleasePalette"); };
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
  bool Start() { return thread.Start(saver, screen, &block.share, services, true, nullptr); }

  std::thread::id testThread = std::this_thread::get_id();
  test::TestEnvironment env;
  test::FakeShare block;
  SaverState saver;
  PaletteState palette;
  RuntimeServices services;
  std::shared_ptr<gfx::Screen> screen = std::make_shared<gfx::Screen>(16, 9);
  RenderThread thread;
};

TEST_F(RenderThreadTest, PaletteIsReadyBeforeTheFirstInitAndStopsAfterTheModules) {
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitForCall("Draw"));
  saver.runFlag = 0;
  ASSERT_TRUE(thread.Join());

  std::vector<std::string> calls = Calls().Entries();
  ASSERT_LT(IndexOf(calls, "ReleasePalette"), calls.size());
  EXPECT_LT(IndexOf(calls, "Lowered"), IndexOf(calls, "Init 4")) << "on the render thread";
  EXPECT_LT(IndexOf(calls, "PaletteReady"), IndexOf(calls, "Init 4"));
  EXPECT_LT(IndexOf(calls, "Init 4"), IndexOf(calls, "Stop 4"));
  EXPECT_LT(IndexOf(calls, "Stop 4"), IndexOf(calls, "ReleasePalette"));
  EXPECT_LT(IndexOf(calls, "PaletteEnd"), IndexOf(calls, "ReleasePalette"));
  EXPECT_EQ(saver.livePalette.load(), nullptr);
}

TEST_F(RenderThreadTest, AWindowDestroyedAtOnceStopsTheThreadBeforeAnyModuleStarts) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(saver.runFlag, 1);
  saver.runFlag = 0;  // WM_DESTROY, before the thread has begun
  ASSERT_TRUE(thread.Join());
  EXPECT_TRUE(Calls().With("Init").empty());
  EXPECT_TRUE(Calls().With("Draw").empty());
}

TEST_F(RenderThreadTest, PauseHoldsTheFramesButNotTheEndAndNoPaletteThreadIsNeeded) {
  services.paletteThreadMain = nullptr;
  saver.renderPaused = 1;
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitForCall("Start 4"));
  std::this_thread::sleep_for(20ms);
  EXPECT_TRUE(Calls().With("Draw").empty());
  saver.renderPaused = 0;
  ASSERT_TRUE(WaitForCall("Draw"));
  saver.renderPaused = 1;
  saver.runFlag = 0;
  EXPECT_TRUE(thread.Join());
}

TEST_F(RenderThreadTest, AFaultClearsTheRunFlagAndLeavesModulesAndPalette) {
  static const ControlRow rows[] = {{10, 9, 1, -10, 10}};
  static const ModuleDefinition faulting{rows, ThrowingDraw, NoOpEntryPoint, NoOpEntryPoint,
                                         NoOpEntryPoint};
  services.moduleDefinition = [](int index) -> const ModuleDefinition& {
    return index == kPolygon ? faulting : test::FakeModuleDefinition(index);
  };
  faultingDraw = true;
  ASSERT_TRUE(Start());
  EXPECT_TRUE(thread.Join());
  faultingDraw = false;
  EXPECT_EQ(saver.runFlag, 0);
  EXPECT_TRUE(Logged(env, "module fault"));
  // The palette thread saw the run flag drop and ended; nothing was released.
  EXPECT_EQ(Calls().With("PaletteEnd").size(), 1u);
  EXPECT_TRUE(Calls().With("ReleasePalette").empty());
}

TEST_F(RenderThreadTest, AnAbandonedPaletteThreadKeepsItsPaletteAndFailsTheJoin) {
  letStuckThreadGo = false;
  services.createPalette = [](gfx::Canvas*) { return &stuckPalette; };
  services.paletteThreadMain = [](PaletteState&, gfx::Screen&, SaverState& saver) {
    saver.paletteReady = 1;
    for (int i = 0; i < 10000 && !letStuckThreadGo; ++i) std::this_thread::sleep_for(1ms);
  };
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitForCall("Draw"));
  saver.runFlag = 0;
  // The render thread itself ends, but the window must keep the shared
  // block mapped for the palette thread still running.
  EXPECT_FALSE(thread.Join(10000));
  letStuckThreadGo = true;
  EXPECT_TRUE(Calls().With("ReleasePalette").empty());
  EXPECT_EQ(Calls().With("Stop 4").size(), 1u);
  EXPECT_TRUE(Logged(env, "abandoned"));
}

TEST(TimedThread, AnExceptionRunsTheFaultHandlerAndAnOverrunIsAbandoned) {
  test::TestEnvironment env;
  TimedThread faulty;
  std::atomic<int> faulted{0};
  ASSERT_TRUE(faulty.Start("faulty", [] { throw std::runtime_error("x"); }, [&] { faulted = 1; }));
  EXPECT_TRUE(faulty.Join(2000));
  EXPECT_EQ(faulted, 1);
  EXPECT_TRUE(Logged(env, "faulty thread failed"));

  auto release = std::make_shared<std::atomic<bool>>(false);
  {
    TimedThread slow;
    ASSERT_TRUE(slow.Start("slow", [release] {
      while (!*release) std::this_thread::sleep_for(1ms);
    }));
    EXPECT_FALSE(slow.Join(20));
    EXPECT_FALSE(slow.started());
  }
  *release = true;
  EXPECT_TRUE(Logged(env, "slow thread did not end"));
}

TEST_F(RenderThreadTest, HeadlessPaletteStepsFollowTheVirtualClockAndPausesHoldTheirSide) {
  services.paletteThreadBegin = [](PaletteState&) { Calls().Add("PaletteBegin"); };
  services.paletteThreadStep = [](PaletteState&) { Calls().Add("PaletteStep"); };
  services.paletteStepInterval = [](const PaletteState&) { return uint32_t{30}; };
  RenderSession session(saver, screen, &block.share, services, true);
  HeadlessRun run(session, env.clock);
  const uint32_t start = env.clock.TickCount();
  run.Begin();
  EXPECT_LT(IndexOf(Calls().Entries(), "PaletteBegin"), IndexOf(Calls().Entries(), "Init 4"));
  for (int frame = 0; frame < 60; ++frame) run.Frame();
  EXPECT_EQ(env.clock.TickCount() - start, 1000u) << "60 frames at 60 Hz";
  // The 60th frame starts at 983 ms: steps were due at 0, 30, ..., 960.
  EXPECT_EQ(Calls().With("PaletteStep").size(), 33u);
  EXPECT_EQ(Calls().With("Draw 4").size(), 60u);

  saver.palettePaused = 1;
  saver.renderPaused = 1;
  for (int frame = 0; frame < 60; ++frame) run.Frame();
  EXPECT_EQ(env.clock.TickCount() - start, 2000u) << "time goes on while both are paused";
  EXPECT_EQ(Calls().With("PaletteStep").size(), 33u);
  EXPECT_EQ(Calls().With("Draw 4").size(), 60u);
  run.End();
  EXPECT_EQ(Calls().With("Stop 4").size(), 1u);
  EXPECT_EQ(Calls().With("ReleasePalette").size(), 1u);
}

}  // namespace
}  // namespace lumox
