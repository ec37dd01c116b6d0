#include "headless_run.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "gfx/screen.h"
#include "platform/clock.h"

namespace lumox::host {
namespace {

// Fills the screen with the frame number and moves the clock one frame on.
class CountingScene final : public HeadlessScene {
 public:
  bool Begin(std::shared_ptr<gfx::Screen> screen, ManualClock& clock, std::string&) override {
    screen_ = std::move(screen);
    clock_ = &clock;
    beginTime = TickCount();
    clockInstalled = &CurrentClock() == &clock;
    return true;
  }
  void Frame() override {
    ++frames;
    screen_->surface().Fill(static_cast<gfx::PhysicalIndex>(frames));
    screen_->Publish();
    clock_->Advance(16);
  }
  void End() override { ended = true; }

  std::shared_ptr<gfx::Screen> screen_;
  ManualClock* clock_ = nullptr;
  uint32_t beginTime = 0;
  bool clockInstalled = false;
  int frames = 0;
  bool ended = false;
};

class HeadlessRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::filesystem::temp_directory_path() / ("lumox-headless-" + std::to_string(getpid()));
    command_.mode = HostMode::Headless;
    command_.width = 8;
    command_.height = 6;
    command_.frames = 10;
    command_.seed = 1000;
    command_.outDir = (root_ / "nested" / "out").string();
  }
  void TearDown() override { std::filesystem::remove_all(root_); }

  std::filesystem::path root_;
  HostCommand command_;
};

TEST_F(HeadlessRunTest, WritesEachFrameOnAVirtualClockStartingAtTheSeed) {
  CountingScene scene;
  ASSERT_EQ(RunHeadless(command_, scene), 0);
  EXPECT_TRUE(scene.clockInstalled);
  EXPECT_EQ(scene.beginTime, 1000u);
  EXPECT_EQ(scene.frames, 10);
  EXPECT_TRUE(scene.ended);
  for (int n = 1; n <= 10; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%04d.png", n);
    EXPECT_TRUE(std::filesystem::exists(command_.outDir + name)) << name;
  }
  EXPECT_FALSE(std::filesystem::exists(command_.outDir + "/frame-0011.png"));
  EXPECT_EQ(&CurrentClock(), &SystemClock()) << "the virtual clock is removed afterwards";
}

TEST_F(HeadlessRunTest, UnwritableOutputIsAnErrorAndStillEndsTheScene) {
  command_.outDir = (root_ / "file").string();
  std::filesystem::create_directories(root_);
  std::FILE* blocker = std::fopen(command_.outDir.c_str(), "w");
  ASSERT_TRUE(blocker);
  std::fclose(blocker);
  CountingScene scene;
  EXPECT_NE(RunHeadless(command_, scene), 0);
  EXPECT_EQ(scene.frames, 0) << "nothing is drawn when the directory cannot be made";

  command_.outDir = root_.string();
  std::filesystem::create_directories(root_ / "frame-0001.png");  // a directory in the way
  CountingScene blocked;
  EXPECT_NE(RunHeadless(command_, blocked), 0);
  EXPECT_EQ(blocked.frames, 1);
  EXPECT_TRUE(blocked.ended);
}

}  // namespace
}  // namespace lumox::host
