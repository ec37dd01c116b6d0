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
    const char* desktop;
    Rects monitors;
    Rects primary, span;
  } cases[] = {
      {"side by side", sideBySide, {sideBySide[0]}, {{0, 0, 3840, 1080}}},
      {"stacked", stacked, {stacked[0]}, {{0, 0, 1280, 2048}}},
      {"different sizes", mixed, {mixed[0]}, {{0, 0, 4480, 1440}}},
      {"negative origins", negative, {negative[0]}, {{-1280, -768, 2880, 1892}}},
      {"one monitor", {{0, 0, 640, 480}}, {{0, 0, 640, 480}}, {{0, 0, 640, 480}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.desktop);
    EXPECT_EQ(SaverWindowRects(c.monitors, MonitorChoice::kPrimary), c.primary);
    EXPECT_EQ(SaverWindowRects(c.monitors, MonitorChoice::kEach), c.monitors);
    EXPECT_EQ(SaverWindowRects(c.monitors, MonitorChoice::kSpan), c.span);
  }
}

TEST(MonitorLayoutTest, MonitorsWithoutAreaGetNoWindow) {
  const Rects monitors = {{0, 0, 0, 1080}, {1920, 0, 1920, 1080}, {-800, 0, 800, -600}};
  for (MonitorChoice choice : {MonitorChoice::kPrimary, MonitorChoice::kEach}) {
    EXPECT_EQ(SaverWindowRects(monitors, choice), (Rects{monitors[1]}));
  }
  EXPECT_EQ(SaverWindowRects(monitors, MonitorChoice::kSpan), (Rects{monitors[1]}));
  EXPECT_TRUE(SaverWindowRects({}, MonitorChoice::kSpan).empty());
  EXPECT_TRUE(SaverWindowRects({{5, 5, 0, 0}}, MonitorChoice::kEach).empty());
}

TEST(MonitorLayoutTest, FarApartMonitorsDoNotOverflowTheSpan) {
  const Rects monitors = {{INT32_MIN, 0, 100, 100}, {INT32_MAX - 100, 0, 100, 100}};
  const Rects span = SaverWindowRects(monitors, MonitorChoice::kSpan);
  ASSERT_EQ(span.size(), 1u);
  EXPECT_EQ(span[0].x, INT32_MIN);
  EXPECT_EQ(span[0].width, INT32_MAX);
}

}  // namespace
}  // namespace lumox::host
