#include "headless_run.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "gfx/screen.h"
#include "platform/clock.h"

namespace lumox::host {
namespace {

// Records the virtual time of every frame and palette step.
class RecordingScene final : public HeadlessScene {
 public:
  bool Begin(gfx::Screen& screen, std::string&) override {
    screen_ = &screen;
    beginTime = TickCount();
    return true;
  }
  void Frame() override {
    frameTimes.push_back(TickCount());
    if (sleepInFrame) SleepMs(sleepInFrame);
    screen_->surface().Fill(static_cast<gfx::PhysicalIndex>(frameTimes.size() % 256));
    screen_->Publish();
  }
  uint32_t PaletteInterval() override { return 25; }
  void PaletteStep() override { paletteTimes.push_back(TickCount()); }
  void End() override { ended = true; }

  gfx::Screen* screen_ = nullptr;
  uint32_t beginTime = 0;
  uint32_t sleepInFrame = 0;
  std::vector<uint32_t> frameTimes;
  std::vector<uint32_t> paletteTimes;
  bool ended = false;
};

class HeadlessRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    command_.mode = HostMode::Headless;
    command_.width = 8;
    command_.height = 6;
    command_.frames = 10;
    command_.seed = 1000;
    command_.outDir = (std::filesystem::temp_directory_path() /
                       ("lumox-headless-" + std::to_string(getpid())) / "nested")
                          .string();
  }
  void TearDown() override {
    std::filesystem::remove_all(std::filesystem::path(command_.outDir).parent_path());
  }
  HostCommand command_;
};

TEST_F(HeadlessRunTest, FramesFollowAVirtual60HzClockWithDuePaletteStepsFirst) {
  RecordingScene scene;
  ASSERT_EQ(RunHeadless(command_, scene), 0);
  EXPECT_TRUE(scene.ended);
  EXPECT_EQ(scene.beginTime, 1000u) << "the clock starts at the seed";
  ASSERT_EQ(scene.frameTimes.size(), 10u);
  for (uint32_t n = 1; n <= 10; ++n) EXPECT_EQ(scene.frameTimes[n - 1], 1000 + n * 1000 / 60);
  // Steps at 1000, 1025, ..., each before the first frame at or after it.
  ASSERT_FALSE(scene.paletteTimes.empty());
  for (size_t i = 0; i < scene.paletteTimes.size(); ++i)
    EXPECT_GE(scene.paletteTimes[i], 1000 + 25 * i);
  uint32_t lastFrame = scene.frameTimes.back();
  EXPECT_EQ(scene.paletteTimes.size(), (lastFrame - 1000) / 25 + 1);
  for (int n = 1; n <= 10; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%04d.png", n);
    EXPECT_TRUE(std::filesystem::exists(command_.outDir + name)) << name;
  }
  EXPECT_FALSE(std::filesystem::exists(command_.outDir + "/frame-0011.png"));
  EXPECT_EQ(&CurrentClock(), &SystemClock()) << "the virtual clock is removed afterwards";
}

TEST_F(HeadlessRunTest, SleepingDrawCodeNeverTurnsTheClockBack) {
  RecordingScene scene;
  scene.sleepInFrame = 40;  // longer than a frame
  ASSERT_EQ(RunHeadless(command_, scene), 0);
  for (size_t i = 1; i < scene.frameTimes.size(); ++i)
    EXPECT_GE(scene.frameTimes[i], scene.frameTimes[i - 1] + 40);
}

TEST_F(HeadlessRunTest, UnwritableOutputIsAnError) {
  command_.outDir = "/proc/lumox-cannot-exist";
  RecordingScene scene;
  EXPECT_NE(RunHeadless(command_, scene), 0);
}

TEST(VirtualFrameTimeTest, WrapsLikeTheTickCount) {
  EXPECT_EQ(VirtualFrameTime(0, 60), 1000u);
  EXPECT_EQ(VirtualFrameTime(0xFFFFFFF0u, 1), 0xFFFFFFF0u + 16);
  EXPECT_EQ(VirtualFrameTime(0xFFFFFFF0u, 60), 1000u - 16);
}

}  // namespace
}  // namespace lumox::host
