#include "refresh_timer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <atomic>
#include <future>
#include <thread>

namespace lumox::host {
namespace {

using namespace std::chrono_literals;

TEST(RefreshTimerTest, FallingBehindStartsAfreshAndImplausibleRatesMean60Hz) {
  RefreshTimer timer(50.0);  // 20 ms
  auto first = timer.deadline();
  timer.Advance(first - 1ms);
  EXPECT_EQ(timer.deadline(), first + 20ms) << "on time: the next period follows on";
  auto late = timer.deadline() + 1s;
  timer.Advance(late);
  EXPECT_EQ(timer.deadline(), late + 20ms) << "late: no burst of overdue ticks";
  for (int hz : {0, -5, 5000}) EXPECT_EQ(RefreshRateOrDefault(hz), 60.0) << hz;
  EXPECT_EQ(RefreshRateOrDefault(144), 144.0);
}

TEST(RefreshPacerTest, AFrameEndsOnABeatAndTheSpeedPauseAddsWholeRefreshes) {
  auto beat = std::make_shared<PresentBeat>();
  RefreshPacer pacer(beat, 10ms);  // 100 Hz
  // With the present loop beating, a frame ends soon after a beat.
  auto frame = std::async(std::launch::async, [&] { pacer.FrameDone(0); });
  EXPECT_EQ(frame.wait_for(5ms), std::future_status::timeout);
  while (frame.wait_for(1ms) != std::future_status::ready) beat->Beat();

  // A stopped present loop holds each refresh two periods at most: one
  // refresh without a pause, three with a 20 ms pause.
  for (auto [pauseMs, refreshes] : {std::pair{0u, 1}, std::pair{20u, 3}}) {
    auto start = std::chrono::steady_clock::now();
    pacer.FrameDone(pauseMs);
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, refreshes * 20ms) << pauseMs;
    EXPECT_LT(took, refreshes * 20ms + 500ms) << pauseMs;
  }
}

TEST(RefreshPacerTest, AYieldEndsTheFrameOnTheFirstBeatAfterItsSleep) {
  auto beat = std::make_shared<PresentBeat>();
  RefreshPacer pacer(beat, 10ms);
  std::atomic<bool> beating{true};
  std::thread presentLoop([&] {
    while (beating) {
      std::this_thread::sleep_for(2ms);
      beat->Beat();
    }
  });
  for (int frame = 0; frame < 2; ++frame) {
    pacer.YieldFor(60);
    pacer.YieldFor(60);
    auto start = std::chrono::steady_clock::now();
    pacer.FrameDone(0);
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 120ms) << "both yields are slept, in every frame";
    EXPECT_LT(took, 620ms);
  }
  auto start = std::chrono::steady_clock::now();
  pacer.FrameDone(0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms) << "a yield is served once";
  beating = false;
  presentLoop.join();
}

}  // namespace
}  // namespace lumox::host
