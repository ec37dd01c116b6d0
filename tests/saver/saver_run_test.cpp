// A whole saver run with the real subsystems: the window logic, the
// render session on one thread, the module catalog, the palette, the
// settings store and the shared block, over an in-memory registry and
// shared memory.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

#include "fake_modules.h"
#include "gfx/screen.h"
#include "platform/memory_registry.h"
#include "platform/memory_shared_memory.h"
#include "saver/render_thread.h"
#include "saver/saver_window.h"
#include "settings/saved_displays.h"
#include "settings/settings_file.h"
#include "state/saver_state.h"

namespace lumox {
namespace {

// A host that runs the render session on the test's thread.
class HeadlessSaverHost : public SaverWindowHost {
 public:
  explicit HeadlessSaverHost(ManualClock& clock) : clock_(clock) {}
  LResult DefaultProc(uint32_t, WParam, LParam) override { return 0; }
  WindowSize ClientSize() override { return {64, 48}; }
  WindowSize ScreenSize() override { return {64, 48}; }
  bool TestDisplayMode(const DisplayModeRecord&) override { return false; }
  bool ChangeDisplayMode(const DisplayModeRecord&) override { return false; }
  void RestoreDisplayMode() override {}
  void ResizeWindow(int32_t, int32_t) override {}
  void BringToForeground() override {}
  bool StartRenderThread(SoundShare* share, WindowSize size) override {
    screen = std::make_shared<gfx::Screen>(size.width, size.height);
    session.emplace(Saver(), screen, share, DefaultRuntimeServices(), true);
    run = std::make_unique<HeadlessRun>(*session, clock_);
    run->Begin();
    return true;
  }
  bool WaitRenderThread(uint32_t) override {
    run->End();
    return true;
  }
  void PostQuit(int) override {}

  std::shared_ptr<gfx::Screen> screen;
  std::optional<RenderSession> session;
  std::unique_ptr<HeadlessRun> run;

 private:
  ManualClock& clock_;
};

class SaverRunTest : public testing::Test {
 protected:
  SaverRunTest() {
    InstallRegistry(&registry);
    InstallSharedMemoryProvider(&memory);
  }
  ~SaverRunTest() override {
    InstallSharedMemoryProvider(nullptr);
    InstallRegistry(nullptr);
  }
  // Creates the window, runs `frames` frames and destroys it.
  void Run(const std::string& commandLine, int frames) {
    HeadlessSaverHost host{env.clock};
    SaverWindow window(Saver(), DefaultRuntimeServices(), host, commandLine);
    ASSERT_EQ(ScreenSaverProc(window, kWmCreate, 0, 0), 0);
    EXPECT_EQ(window.share->U32(share_offset::SaverWindows), 1u);
    EXPECT_EQ(window.share->U16(share_offset::SaverVersionMajor), 3u);
    ScreenSaverProc(window, kWmEraseBackground, 0, 0);
    ASSERT_TRUE(host.run);
    activeDuringRun = ReadActiveName();
    const uint32_t published = host.screen->PublishedSerial();
    for (int frame = 0; frame < frames; ++frame) host.run->Frame();
    EXPECT_EQ(host.screen->PublishedSerial() - published, static_cast<uint32_t>(frames));
    ScreenSaverProc(window, kWmDestroy, 0, 0);
    EXPECT_EQ(Saver().runFlag, 0);
    EXPECT_EQ(Saver().livePalette.load(), nullptr);
    EXPECT_FALSE(memory.IsOpen(SoundShareName())) << "the block is released";
  }

  test::TestEnvironment env;
  MemoryRegistry registry;
  MemorySharedMemoryProvider memory;
  std::string activeDuringRun;
};

TEST_F(SaverRunTest, AFreshUserRunsTheRandomModuleAndASettingsFileRunsOnce) {
  Run("lumox /s", 30);
  EXPECT_EQ(activeDuringRun, "[R] Saved Sound Settings");
  EXPECT_EQ(Saver().options.Active[kRandom], 1);

  ASSERT_TRUE(WriteActiveName("[D] Star"));
  const std::string file = (std::filesystem::temp_directory_path() /
                            ("lumox_saver_run_" + std::to_string(::getpid()) + ".lmx"))
                               .string();
  ASSERT_TRUE(ExportDisplay("[D] Bezier", file).ok());
  Run("lumox /s " + file, 5);
  std::remove(file.c_str());
  EXPECT_EQ(activeDuringRun, kTestingDisplayName);
  EXPECT_EQ(Saver().options.Active[kBezier], 1);
  EXPECT_EQ(Saver().options.Active[kStar], 0);
  EXPECT_EQ(ReadActiveName(), "[D] Star");
  for (const std::string& name : ListSavedDisplays()) EXPECT_NE(name, kTestingDisplayName);
}

}  // namespace
}  // namespace lumox
