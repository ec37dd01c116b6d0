#include "saver_window_session.h"

#include <gtest/gtest.h>

#include "control/sound_share.h"
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
// the registry, the shared block and the system services in memory. Every
// test also checks that no drawing thread had to be abandoned: a close
// right after the start must still stop the render thread.
class SaverWindowSessionTest : public ::testing::Test {
 protected:
  SaverWindowSessionTest() {
    InstallRegistry(&registry_);
    InstallSharedMemoryProvider(&sharedMemory_);
    InstallSystemServices(&system_);
  }
  ~SaverWindowSessionTest() override {
    for (const std::string& line : system_.debugLines())
      EXPECT_EQ(line.find("abandoned"), std::string::npos) << line;
    EXPECT_EQ(Saver().runFlag, 0) << "the run ended with the window";
    EXPECT_FALSE(sharedMemory_.IsOpen(lumox::SoundShareName()));
    InstallSystemServices(nullptr);
    InstallSharedMemoryProvider(nullptr);
    InstallRegistry(nullptr);
  }

  SaverWindowSession& Create(bool preview) {
    SessionOptions options;
    options.preview = preview;
    options.fullScreen = !preview;
    options.commandLine = "lumox /s";
    session_ = std::make_unique<SaverWindowSession>(window_, screen_, options);
    EXPECT_TRUE(session_->Create());
    return *session_;
  }

  static WindowMessage Key(WParam vk) { return {kWmKeyDown, vk, 1}; }

  MemoryRegistry registry_;
  MemorySharedMemoryProvider sharedMemory_;
  RecordingSystemServices system_;
  FakeNativeWindow window_;
  std::shared_ptr<gfx::Screen> screen_ = std::make_shared<gfx::Screen>(64, 48);
  std::unique_ptr<SaverWindowSession> session_;
};

TEST_F(SaverWindowSessionTest, HotKeysAndSmallMovesKeepTheSaverAndRealInputEndsIt) {
  // Each ending, after the same hot keys and a four-pixel move.
  const WindowMessage endings[] = {Key(0x41), {kWmMouseMove, 0, 0}, {kWmClose, 0, 0},
                                   {kWmLeftButtonDown, 0, 0}};
  for (const WindowMessage& ending : endings) {
    window_.cursor = {10, 10};
    SaverWindowSession& session = Create(false);
    EXPECT_GT(window_.cursorHides, 0) << "a full-screen saver hides the cursor";
    EXPECT_EQ(Saver().runFlag, 1);
    for (WParam hotKey : {kVkF4, kVkF5, kVkF5, kVkLeft, kVkRight, kVkF9, kVkF9})
      session.Deliver(Key(hotKey));
    window_.cursor = {12, 12};
    session.Deliver({kWmMouseMove, 0, 0});
    EXPECT_FALSE(session.Ended());
    window_.cursor = {13, 12};
    session.Deliver(ending);
    EXPECT_TRUE(session.Ended());
    EXPECT_EQ(session.ExitCode(), 0);
  }
  EXPECT_EQ(window_.raises, 4) << "the first erase brings the window forward";
}

TEST_F(SaverWindowSessionTest, AMouseLockOrAPreviewKeepsTheSaverThroughAnyMove) {
  for (bool preview : {false, true}) {
    window_.cursorHides = 0;
    SaverWindowSession& session = Create(preview);
    session.Deliver(Key(preview ? 0x41 : kVkF9));  // a preview ignores keys too
    window_.cursor = {500, 500};
    session.Deliver({kWmMouseMove, 0, 0});
    EXPECT_FALSE(session.Ended()) << preview;
    EXPECT_EQ(window_.cursorHides > 0, !preview) << "a preview leaves the cursor alone";
    if (preview) {
      session.Destroy();
      EXPECT_TRUE(session.Ended());
    }
    session_.reset();  // destroying the session stops a running saver
  }
}

}  // namespace
}  // namespace lumox::host
