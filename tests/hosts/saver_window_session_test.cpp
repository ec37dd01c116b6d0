#include "saver_window_session.h"

#include <gtest/gtest.h>

#include "gfx/screen.h"
#include "platform/memory_registry.h"
#include "platform/memory_shared_memory.h"
#include "platform/recording_system.h"
#include "state/saver_state.h"

namespace lumox::host {
namespace {

class FakeNativeWindow final : public NativeWindow {
 public:
  void HideCursor() override { ++cursorHides; }
  CursorPoint CursorPosition() override { return cursor; }
  void Raise() override { ++raises; }
  WindowSize ScreenSize() override { return {64, 48}; }

  CursorPoint cursor{10, 10};
  int cursorHides = 0;
  int raises = 0;
};

// The whole window logic and a real render thread on a 64x48 screen, with
// the registry, the shared block and the system services in memory.
class SaverWindowSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallRegistry(&registry_);
    InstallSharedMemoryProvider(&sharedMemory_);
    InstallSystemServices(&system_);
  }
  void TearDown() override {
    for (const std::string& line : system_.debugLines())
      EXPECT_EQ(line.find("abandoned"), std::string::npos) << line;
    InstallSystemServices(nullptr);
    InstallSharedMemoryProvider(nullptr);
    InstallRegistry(nullptr);
  }

  std::unique_ptr<SaverWindowSession> MakeSession(bool preview) {
    SessionOptions options;
    options.preview = preview;
    options.fullScreen = !preview;
    options.commandLine = "lumox /s";
    return std::make_unique<SaverWindowSession>(window_, screen_, options);
  }

  static WindowMessage Key(WParam vk) { return {kWmKeyDown, vk, 1}; }
  static WindowMessage Move() { return {kWmMouseMove, 0, 0}; }

  MemoryRegistry registry_;
  MemorySharedMemoryProvider sharedMemory_;
  RecordingSystemServices system_;
  FakeNativeWindow window_;
  std::shared_ptr<gfx::Screen> screen_ = std::make_shared<gfx::Screen>(64, 48);
};

// Every test also checks that no drawing thread had to be abandoned: a
// close right after the start must still stop the render thread.
TEST_F(SaverWindowSessionTest, AKeyClosesTheSaverAndStopsTheRenderThread) {
  auto session = MakeSession(false);
  ASSERT_TRUE(session->Create());
  EXPECT_GT(window_.cursorHides, 0) << "a full-screen saver hides the cursor";
  EXPECT_EQ(window_.raises, 1) << "the first erase brings the window forward";
  EXPECT_FALSE(session->Ended());

  session->Deliver(Key(0x41));
  EXPECT_TRUE(session->Ended());
  EXPECT_EQ(session->ExitCode(), 0);
  EXPECT_EQ(Saver().runFlag, 0) << "the run ended with the window";
}

TEST_F(SaverWindowSessionTest, HotKeysAndSmallMovesDoNotClose) {
  auto session = MakeSession(false);
  ASSERT_TRUE(session->Create());
  for (WParam hotKey : {kVkF4, kVkF5, kVkF5, kVkLeft, kVkRight, kVkF9, kVkF9})
    session->Deliver(Key(hotKey));
  window_.cursor = {12, 12};  // four pixels of travel: not yet movement
  session->Deliver(Move());
  EXPECT_FALSE(session->Ended());
  window_.cursor = {13, 12};
  session->Deliver(Move());
  EXPECT_TRUE(session->Ended());
}

TEST_F(SaverWindowSessionTest, MouseLockKeepsTheSaverThroughAnyMove) {
  auto session = MakeSession(false);
  ASSERT_TRUE(session->Create());
  session->Deliver(Key(kVkF9));
  window_.cursor = {500, 500};
  session->Deliver(Move());
  EXPECT_FALSE(session->Ended());
  session->Deliver({kWmLeftButtonDown, 0, 0});
  EXPECT_TRUE(session->Ended());
}

TEST_F(SaverWindowSessionTest, APreviewIgnoresInputAndEndsOnlyWhenDestroyed) {
  auto session = MakeSession(true);
  ASSERT_TRUE(session->Create());
  EXPECT_EQ(window_.cursorHides, 0) << "a preview leaves the cursor alone";
  session->Deliver(Key(0x41));
  window_.cursor = {500, 500};
  session->Deliver(Move());
  EXPECT_FALSE(session->Ended());
  session->Destroy();
  EXPECT_TRUE(session->Ended());
  EXPECT_EQ(session->ExitCode(), 0);
}

TEST_F(SaverWindowSessionTest, CloseRequestFromTheWindowSystemEndsTheRun) {
  auto session = MakeSession(false);
  ASSERT_TRUE(session->Create());
  session->Deliver({kWmClose, 0, 0});
  EXPECT_TRUE(session->Ended());
}

TEST_F(SaverWindowSessionTest, DestroyingTheSessionStopsARunningSaver) {
  {
    auto session = MakeSession(false);
    ASSERT_TRUE(session->Create());
    EXPECT_EQ(Saver().runFlag, 1);
  }
  EXPECT_EQ(Saver().runFlag, 0);
}

}  // namespace
}  // namespace lumox::host
