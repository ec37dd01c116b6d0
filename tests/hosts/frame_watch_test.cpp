#include "frame_watch.h"

#include <gtest/gtest.h>

#include <future>

#include "refresh_timer.h"

namespace lumox::host {
namespace {

TEST(FrameWatchTest, PresentsOnNewFramesPaletteChangesAndExposuresOnly) {
  gfx::Screen screen(5, 3);
  FrameWatch watch;
  EXPECT_TRUE(watch.Changed(screen)) << "the first present always happens";
  EXPECT_FALSE(watch.Changed(screen));

  screen.Publish();
  EXPECT_TRUE(watch.Changed(screen)) << "a new frame";
  EXPECT_FALSE(watch.Changed(screen));

  // The render thread is idle; the palette thread moves the colours.
  gfx::Rgb color{1, 2, 3};
  screen.AnimatePalette(100, 1, &color);
  EXPECT_TRUE(watch.Changed(screen)) << "a palette change shows without a new frame";
  EXPECT_FALSE(watch.Changed(screen));

  watch.Invalidate();
  EXPECT_TRUE(watch.Changed(screen)) << "an exposed window is drawn again";
}

TEST(RefreshTimerTest, FallingBehindStartsAfreshInsteadOfCatchingUp) {
  RefreshTimer timer(50.0);  // 20 ms
  EXPECT_EQ(timer.period(), std::chrono::milliseconds(20));
  auto first = timer.deadline();
  timer.Advance(first - std::chrono::milliseconds(1));
  EXPECT_EQ(timer.deadline(), first + timer.period()) << "on time: the next period follows on";

  auto late = timer.deadline() + std::chrono::seconds(1);
  timer.Advance(late);
  EXPECT_EQ(timer.deadline(), late + timer.period()) << "late: no burst of overdue ticks";
  EXPECT_GT(timer.MillisecondsLeft(), 0);
}

TEST(RefreshTimerTest, ImplausibleRatesFallBackTo60Hz) {
  EXPECT_EQ(RefreshRateOrDefault(0), 60.0);
  EXPECT_EQ(RefreshRateOrDefault(-5), 60.0);
  EXPECT_EQ(RefreshRateOrDefault(144), 144.0);
  EXPECT_EQ(RefreshTimer(0.0).period(), RefreshTimer(60.0).period());
}

TEST(PresentBeatTest, TheRenderThreadWaitsForTheNextPresent) {
  PresentBeat beat;
  beat.Beat();  // a beat before the wait does not count
  std::promise<void> waiting;
  auto waited = std::async(std::launch::async, [&] {
    waiting.set_value();
    beat.WaitForBeat(std::chrono::minutes(1));
  });
  waiting.get_future().wait();
  EXPECT_EQ(waited.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
  // Beat until the waiter has seen one (it may not have started waiting).
  while (waited.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) beat.Beat();
  SUCCEED();
}

TEST(PresentBeatTest, AStoppedPresentLoopDoesNotHoldTheRenderThread) {
  PresentBeat beat;
  RefreshPacer pacer(std::make_shared<PresentBeat>(), std::chrono::milliseconds(1));
  pacer.FrameDone();  // no beat ever comes: returns after two periods
  beat.WaitForBeat(std::chrono::milliseconds(1));
  SUCCEED();
}

}  // namespace
}  // namespace lumox::host
