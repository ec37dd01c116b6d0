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

// Position of the first entry equal to `entry`; the size when missing.
size_t IndexOf(const std::vector<std::string>& entries, const std::string& entry) {
  return static_cast<size_t>(std::find(entries.begin(), entries.end(), entry) - entries.begin());
}

// Waits (real time, bounded) until the call log has an entry with `prefix`.
bool WaitForCall(const std::string& prefix) {
  for (int i = 0; i < 2000; ++i) {
    if (!Calls().With(prefix).empty()) return true;
    std::this_thread::sleep_for(1ms);
  }
  return false;
}

std::atomic<bool> faultingDraw{false};

int32_t ThrowingDraw(ModuleDescriptor&) {
  if (faultingDraw) throw std::runtime_error("module fault");
  return 0;
}

class RenderThreadTest : public testing::Test {
 protected:
  RenderThreadTest() {
    services.moduleDefinition = &test::FakeModuleDefinition;
    services.setUpSavedDisplays = [](SaverState& state) {
      for (auto& active : state.options.Active) active = 0;
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
  }

  test::TestEnvironment env;
  test::FakeShare block;
  SaverState saver;
  PaletteState palette;
  RuntimeServices services;
  std::shared_ptr<gfx::Screen> screen = std::make_shared<gfx::Screen>(16, 9);
};

TEST_F(RenderThreadTest, PaletteIsReadyBeforeTheFirstInitAndStopsAfterTheModules) {
  RenderThread thread;
  ASSERT_TRUE(thread.Start(saver, screen, &block.share, services, true, nullptr));
  ASSERT_TRUE(WaitForCall("Draw"));
  saver.runFlag = 0;
  ASSERT_TRUE(thread.Join());

  std::vector<std::string> calls = Calls().Entries();
  size_t ready = IndexOf(calls, "PaletteReady");
  size_t init = IndexOf(calls, "Init 4");
  size_t stop = IndexOf(calls, "Stop 4");
  size_t paletteEnd = IndexOf(calls, "PaletteEnd");
  size_t release = IndexOf(calls, "ReleasePalette");
  ASSERT_LT(release, calls.size());
  EXPECT_LT(ready, init);
  EXPECT_LT(init, stop);
  EXPECT_LT(stop, release);
  EXPECT_LT(paletteEnd, release);
  EXPECT_EQ(saver.livePalette.load(), nullptr);
}

TEST_F(RenderThreadTest, AWindowDestroyedAtOnceStopsTheThreadBeforeAnyModuleStarts) {
  RenderThread thread;
  ASSERT_TRUE(thread.Start(saver, screen, &block.share, services, true, nullptr));
  EXPECT_EQ(saver.runFlag, 1);
  saver.runFlag = 0;  // WM_DESTROY, before the thread has begun
  ASSERT_TRUE(thread.Join());
  EXPECT_EQ(saver.runFlag, 0);
  EXPECT_TRUE(Calls().With("Init").empty());
  EXPECT_TRUE(Calls().With("Stop").empty());
  EXPECT_TRUE(Calls().With("Draw").empty());
}

TEST_F(RenderThreadTest, WithoutAPaletteThreadTheRunStillStarts) {
  services.paletteThreadMain = nullptr;
  RenderThread thread;
  ASSERT_TRUE(thread.Start(saver, screen, &block.share, services, true, nullptr));
  ASSERT_TRUE(WaitForCall("Draw"));
  saver.runFlag = 0;
  EXPECT_TRUE(thread.Join());
}

TEST_F(RenderThreadTest, PauseFlagHoldsTheFramesButNotTheEnd) {
  saver.renderPaused = 1;
  RenderThread thread;
  ASSERT_TRUE(thread.Start(saver, screen, &block.share, services, true, nullptr));
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
  RenderThread thread;
  ASSERT_TRUE(thread.Start(saver, screen, &block.share, services, true, nullptr));
  EXPECT_TRUE(thread.Join());
  faultingDraw = false;

  EXPECT_EQ(saver.runFlag, 0);
  EXPECT_FALSE(env.system.debugLines().empty());
  // The palette thread saw the run flag drop and ended; nothing was released.
  EXPECT_EQ(Calls().With("PaletteEnd").size(), 1u);
  EXPECT_TRUE(Calls().With("ReleasePalette").empty());
}

// A palette thread that ignores the run flag until the test lets it go. It
// touches only what outlives the test.
std::atomic<bool> letStuckThreadGo{false};
PaletteState stuckPalette;

TEST_F(RenderThreadTest, APaletteThreadThatDoesNotEndIsAbandonedAndItsPaletteKept) {
  letStuckThreadGo = false;
  services.createPalette = [](gfx::Canvas*) { return &stuckPalette; };
  services.paletteThreadMain = [](PaletteState&, gfx::Screen&, SaverState& saver) {
    saver.paletteReady = 1;
    for (int i = 0; i < 10000 && !letStuckThreadGo; ++i) std::this_thread::sleep_for(1ms);
  };
  RenderThread thread;
  ASSERT_TRUE(thread.Start(saver, screen, &block.share, services, true, nullptr));
  ASSERT_TRUE(WaitForCall("Draw"));
  saver.runFlag = 0;
  EXPECT_TRUE(thread.Join(10000));
  letStuckThreadGo = true;

  EXPECT_TRUE(Calls().With("ReleasePalette").empty());
  EXPECT_EQ(Calls().With("Stop 4").size(), 1u);
  bool logged = false;
  for (const std::string& line : env.system.debugLines()) {
    logged = logged || line.find("abandoned") != std::string::npos;
  }
  EXPECT_TRUE(logged);
}

TEST(TimedThread, AnExceptionRunsTheFaultHandlerInsteadOfEndingTheProcess) {
  test::TestEnvironment env;
  TimedThread thread;
  std::atomic<int> faulted{0};
  ASSERT_TRUE(thread.Start("faulty", [] { throw std::runtime_error("x"); }, [&] { faulted = 1; }));
  EXPECT_TRUE(thread.Join(2000));
  EXPECT_EQ(faulted, 1);
  ASSERT_EQ(env.system.debugLines().size(), 1u);
  EXPECT_NE(env.system.debugLines()[0].find("faulty"), std::string::npos);
}

TEST(TimedThread, AbandonsAThreadThatOverruns) {
  test::TestEnvironment env;
  auto release = std::make_shared<std::atomic<bool>>(false);
  {
    TimedThread thread;
    ASSERT_TRUE(thread.Start("slow", [release] {
      while (!*release) std::this_thread::sleep_for(1ms);
    }));
    EXPECT_FALSE(thread.Join(20));
    EXPECT_FALSE(thread.started());
  }
  *release = true;
  EXPECT_EQ(env.system.debugLines().size(), 1u);
}

class HeadlessRunTest : public RenderThreadTest {
 protected:
  HeadlessRunTest() {
    services.paletteThreadBegin = [](PaletteState&) { Calls().Add("PaletteBegin"); };
    services.paletteThreadStep = [](PaletteState&) { Calls().Add("PaletteStep"); };
    services.paletteStepInterval = [](const PaletteState&) { return uint32_t{30}; };
  }
};

TEST_F(HeadlessRunTest, PaletteStepsFollowTheVirtualClock) {
  RenderSession session(saver, screen, &block.share, services, true);
  HeadlessRun run(session, env.clock);
  uint32_t start = env.clock.TickCount();
  run.Begin();
  std::vector<std::string> calls = Calls().Entries();
  EXPECT_LT(IndexOf(calls, "PaletteBegin"), IndexOf(calls, "Init 4"));

  for (int frame = 0; frame < 60; ++frame) run.Frame();
  // 60 frames at 60 Hz: one virtual second.
  EXPECT_EQ(env.clock.TickCount() - start, 1000u);
  // The 60th frame starts at 983 ms: steps were due at 0, 30, ..., 960.
  EXPECT_EQ(Calls().With("PaletteStep").size(), 33u);
  EXPECT_EQ(Calls().With("Draw 4").size(), 60u);
  run.End();
  EXPECT_EQ(Calls().With("Stop 4").size(), 1u);
  EXPECT_EQ(Calls().With("ReleasePalette").size(), 1u);
}

TEST_F(HeadlessRunTest, PausesHoldTheirOwnSide) {
  RenderSession session(saver, screen, &block.share, services, true);
  HeadlessRun run(session, env.clock);
  run.Begin();
  saver.palettePaused = 1;
  for (int frame = 0; frame < 6; ++frame) run.Frame();
  EXPECT_TRUE(Calls().With("PaletteStep").empty());
  EXPECT_EQ(Calls().With("Draw 4").size(), 6u);

  saver.palettePaused = 0;
  saver.renderPaused = 1;
  uint32_t before = env.clock.TickCount();
  for (int frame = 0; frame < 6; ++frame) run.Frame();
  EXPECT_EQ(Calls().With("Draw 4").size(), 6u);
  EXPECT_FALSE(Calls().With("PaletteStep").empty());
  // Time goes on while the drawing is paused.
  EXPECT_EQ(env.clock.TickCount() - before, 100u);
}

}  // namespace
}  // namespace lumox
