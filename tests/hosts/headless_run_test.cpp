#include "headless_run.h"

#include "command_line.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "gfx/screen.h"
#include "platform/clock.h"
#include "platform/temp_dir.h"

namespace lumox::host {
namespace {

// Fills the screen with the frame number and moves the clock one frame on.
class CountingScene final : public HeadlessScene {
 public:
  bool Begin(std::shared_ptr<gfx::Screen> screen, ManualClock& clock, std::string&) override {
    screen_ = std::move(screen);
    clock_ = &clock;
    beginTime = TickCount();
    return &CurrentClock() == &clock;
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
  int frames = 0;
  bool ended = false;
};

TEST(HeadlessRunTest, WritesEachFrameOnAVirtualClockAndFailsCleanlyOnBadOutput) {
  const testing::TempDir temp;  // removed even when a check below stops the test
  const std::filesystem::path root = temp.path();
  HostCommand command = ParseCommandLine({"--headless", "--frames", "10", "--size", "8x6", "--seed",
                                          "1000", "--out", (root / "nested" / "out").string()});
  CountingScene scene;
  ASSERT_EQ(RunHeadless(command, scene), 0);
  EXPECT_EQ(scene.beginTime, 1000u) << "the clock starts at the seed";
  EXPECT_EQ(scene.frames, 10);
  EXPECT_TRUE(scene.ended);
  EXPECT_TRUE(std::filesystem::exists(command.outDir + "/frame-0010.png"));
  EXPECT_FALSE(std::filesystem::exists(command.outDir + "/frame-0011.png"));
  EXPECT_EQ(&CurrentClock(), &SystemClock()) << "the virtual clock is removed afterwards";

  // A file where the directory should be: nothing is drawn. A directory
  // where the first frame should be: the run stops after it and ends the scene.
  command.outDir = (root / "nested" / "out" / "frame-0001.png").string();
  CountingScene noDirectory;
  EXPECT_NE(RunHeadless(command, noDirectory), 0);
  EXPECT_EQ(noDirectory.frames, 0);
  command.outDir = root.string();
  std::filesystem::create_directories(root / "frame-0001.png");
  CountingScene blocked;
  EXPECT_NE(RunHeadless(command, blocked), 0);
  EXPECT_EQ(blocked.frames, 1);
  EXPECT_TRUE(blocked.ended);
}

}  // namespace
}  // namespace lumox::host
