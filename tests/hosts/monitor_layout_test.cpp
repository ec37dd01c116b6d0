#include "monitor_layout.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace lumox::host {
namespace {

using Rects = std::vector<MonitorRect>;

TEST(MonitorLayoutTest, WindowsForEachDesktopAndChoice) {
  const Rects sideBySide = {{0, 0, 1920, 1080}, {1920, 0, 1920, 1080}};
  const Rects stacked = {{0, 0, 1280, 1024}, {0, 1024, 1280, 1024}};
  // A smaller primary right of a taller monitor, offset down.
  const Rects mixed = {{2560, 360, 1920, 1080}, {0, 0, 2560, 1440}};
  // The primary right of a monitor at negative coordinates, one above.
  const Rects negative = {{0, 0, 1600, 900}, {-1280, 100, 1280, 1024}, {200, -768, 1024, 768}};
  const struct {
    Rects monitors, primary, span;
  } cases[] = {
      {sideBySide, {sideBySide[0]}, {{0, 0, 3840, 1080}}},
      {stacked, {stacked[0]}, {{0, 0, 1280, 2048}}},
      {mixed, {mixed[0]}, {{0, 0, 4480, 1440}}},
      {negative, {negative[0]}, {{-1280, -768, 2880, 1892}}},
      // Far apart: the span's width is the largest a rectangle holds.
      {{{INT32_MIN, 0, 10, 10}, {INT32_MAX - 10, 0, 10, 10}},
       {{INT32_MIN, 0, 10, 10}},
       {{INT32_MIN, 0, INT32_MAX, 10}}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SaverWindowRects(c.monitors, MonitorChoice::kPrimary), c.primary);
    EXPECT_EQ(SaverWindowRects(c.monitors, MonitorChoice::kEach), c.monitors);
    EXPECT_EQ(SaverWindowRects(c.monitors, MonitorChoice::kSpan), c.span);
  }
}

TEST(MonitorLayoutTest, MonitorsWithoutAreaGetNoWindow) {
  const Rects monitors = {{0, 0, 0, 1080}, {1920, 0, 1920, 1080}, {-800, 0, 800, -600}};
  for (MonitorChoice choice : {MonitorChoice::kPrimary, MonitorChoice::kEach, MonitorChoice::kSpan})
    EXPECT_EQ(SaverWindowRects(monitors, choice), (Rects{monitors[1]}));
  EXPECT_TRUE(SaverWindowRects({{5, 5, 0, 0}}, MonitorChoice::kSpan).empty());
}

}  // namespace
}  // namespace lumox::host
