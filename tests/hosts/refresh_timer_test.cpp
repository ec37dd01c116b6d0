#include "refresh_timer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>

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

}  // namespace
}  // namespace lumox::host
