// A whole saver run with the real subsystems: the window logic, the
// render session on one thread, the module catalog, the palette, the
// settings store and the shared block, over an in-memory registry and
// shared memory.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <unistd.h>

#include "control/sound_link.h"
#include "fake_modules.h"
#include "gfx/screen.h"
#include "platform/memory_registry.h"
#include "platform/memory_shared_memory.h"
#include "platform/registry_store.h"
#include "platform/shared_memory.h"
#include "saver/render_thread.h"
#include "saver/runtime_services.h"
#include "state/saver_state.h"
#include "saver/saver_window.h"
#include "settings/saved_displays.h"
#include "settings/settings_file.h"

namespace lumox {
namespace {

// A host that runs the render session on the test's thread.
class HeadlessSaverHost : public SaverWindowHost {
 public:
  explicit HeadlessSaverHost(ManualClock& clock) : clock_(clock) {}

  LResult DefaultProc(uint32_t, WParam, LParam) override { return 0; }
  WindowSize ClientSize() override { return {screen->width(), screen->height()}; }
  WindowSize ScreenSize() override { return {screen->width(), screen->height()}; }
  bool TestDisplayMode(const DisplayModeRecord&) override { return false; }
  bool ChangeDisplayMode(const DisplayModeRecord&) override { return false; }
  void RestoreDisplayMode() override {}
  void ResizeWindow(int32_t, int32_t) override {}
  void BringToForeground() override {}
  bool StartRenderThread(SoundShare* share) override {
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

  std::shared_ptr<gfx::Screen> screen = std::make_shared<gfx::Screen>(64, 48);
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

  test::TestEnvironment env;
  MemoryRegistry registry;
  MemorySharedMemoryProvider memory;
  HeadlessSaverHost host{env.clock};
};

TEST_F(SaverRunTest, AFreshUserRunsTheRandomModuleAndTheBlockIsReleased) {
  SaverWindow window(Saver(), DefaultRuntimeServices(), host, "lumox /s");
  ASSERT_EQ(ScreenSaverProc(window, kWmCreate, 0, 0), 0);
  SoundShare* share = window.share;
  ASSERT_NE(share, nullptr);
  EXPECT_EQ(share->U32(share_offset::SaverWindows), 1u);
  EXPECT_EQ(share->U16(share_offset::SaverVersionMajor), 3u);

  ScreenSaverProc(window, kWmEraseBackground, 0, 0);
  ASSERT_TRUE(host.run);
  EXPECT_EQ(ReadActiveName(), "[R] Saved Sound Settings");
  EXPECT_EQ(Saver().options.Active[kRandom], 1);
  EXPECT_NE(Saver().livePalette.load(), nullptr);

  uint32_t published = host.screen->PublishedSerial();
  for (int frame = 0; frame < 30; ++frame) host.run->Frame();
  EXPECT_EQ(host.screen->PublishedSerial() - published, 30u);

  ScreenSaverProc(window, kWmDestroy, 0, 0);
  EXPECT_EQ(Saver().runFlag, 0);
  EXPECT_EQ(Saver().livePalette.load(), nullptr);
  EXPECT_EQ(window.share, nullptr);
}

TEST_F(SaverRunTest, ASettingsFileRunsOnceAndLeavesActiveAsItWas) {
  // A first run creates the stored displays; export one of them as a file.
  {
    SaverWindow first(Saver(), DefaultRuntimeServices(), host, "lumox /s");
    ASSERT_EQ(ScreenSaverProc(first, kWmCreate, 0, 0), 0);
    ScreenSaverProc(first, kWmEraseBackground, 0, 0);
    ScreenSaverProc(first, kWmDestroy, 0, 0);
  }
  ASSERT_TRUE(WriteActiveName("[D] Star"));
  std::string file = (std::filesystem::temp_directory_path() /
                      ("lumox_saver_run_" + std::to_string(::getpid()) + ".lmx"))
                         .string();
  ASSERT_TRUE(ExportDisplay("[D] Bezier", file).ok());

  HeadlessSaverHost second{env.clock};
  SaverWindow window(Saver(), DefaultRuntimeServices(), second, "lumox /s " + file);
  ASSERT_EQ(ScreenSaverProc(window, kWmCreate, 0, 0), 0);
  EXPECT_EQ(ReadActiveName(), kTestingDisplayName);
  ScreenSaverProc(window, kWmEraseBackground, 0, 0);
  EXPECT_EQ(Saver().options.Active[kBezier], 1);
  EXPECT_EQ(Saver().options.Active[kStar], 0);
  for (int frame = 0; frame < 5; ++frame) second.run->Frame();
  ScreenSaverProc(window, kWmDestroy, 0, 0);
  std::remove(file.c_str());

  EXPECT_EQ(ReadActiveName(), "[D] Star");
  for (const std::string& name : ListSavedDisplays()) EXPECT_NE(name, kTestingDisplayName);
}

}  // namespace
}  // namespace lumox
