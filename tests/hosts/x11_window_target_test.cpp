// A foreign window shows exactly what a whole conversion of the frame makes
// of it, after a run of drawing and palette steps presented one right after
// another (only the changed parts, sent without waiting for the server),
// converted on the CPU or looked up through OpenGL. Needs an X display
// (CTest runs it under Xvfb, where Mesa renders OpenGL in software).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>
#include <vector>

#include "gfx/canvas.h"
#include "gfx/present_tracker.h"
#include "gfx/screen.h"
#include "sdl_presenter.h"
#include "x11_window_target.h"

// Last: Xlib's macros (None, Status) would reach the rest.
#include "window_pixels.h"

namespace lumox::host {
namespace {

class X11WindowTargetTest : public testing::TestWithParam<bool> {};

TEST_P(X11WindowTargetTest, ShowsWhatAWholeConversionShows) {
  const bool openGl = GetParam();
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  constexpr int kWidth = 71, kHeight = 45;
  Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, kWidth, kHeight,
                                      0, 0, 0);
  XMapWindow(display, window);
  XSync(display, False);

  X11WindowTarget target;
  std::string error;
  ASSERT_EQ(target.Open(window, error), X11WindowTarget::OpenResult::Ok) << error;
  if (openGl) {
    ASSERT_TRUE(target.UseOpenGl(false, error)) << error;
  } else if (target.UseOpenGl(true, error)) {
    // Only a machine with a GPU may have OpenGL in hardware.
    if (ResolvePresentPath(PresentPath::Auto) != PresentPath::Gl)
      FAIL() << "OpenGL in software was taken for hardware";
    GTEST_SKIP() << "OpenGL renders in hardware on this display";
  } else {
    // Mesa's software OpenGL (Xvfb's) is refused when only hardware will
    // do, and the target goes on converting.
    EXPECT_NE(error.find("software"), std::string::npos) << error;
  }
  EXPECT_STREQ(target.PathName(), openGl ? "gl" : "xshm");
  gfx::Screen screen(kWidth, kHeight);
  gfx::Canvas canvas(screen);
  gfx::PresentTracker tracker;
  std::mt19937 random(5);
  for (int step = 0; step < 40; ++step) {
    // Most steps draw a few rectangles, every fourth moves the palette.
    for (int i = 0; step % 4 != 1 && i < 3; ++i) {
      const int x = static_cast<int>(random() % kWidth), y = static_cast<int>(random() % kHeight);
      canvas.FillRect(x, y, x + 9, y + 4,
                      gfx::Brush::Solid(gfx::PaletteIndex(random() % gfx::kSaverColors)));
    }
    canvas.Flush();
    if (step % 4 == 0) {
      std::vector<gfx::Rgb> colors(gfx::kSaverColors);
      for (gfx::Rgb& c : colors) c = {uint8_t(random()), uint8_t(random()), uint8_t(random())};
      screen.AnimatePalette(0, gfx::kSaverColors, colors.data());
    }
    target.Present(screen, tracker);
  }
  std::vector<uint32_t> expected(kWidth * kHeight);
  screen.Present(expected.data(), kWidth * 4);
  // The last present is on its way, not waited for: give the server time.
  std::vector<uint32_t> shown;
  for (int tries = 0; tries < 200 && shown != expected; ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    shown = WindowPixels(display, window, kWidth, kHeight);
  }
  EXPECT_EQ(shown, expected);
  XDestroyWindow(display, window);
  XCloseDisplay(display);
}

INSTANTIATE_TEST_SUITE_P(Paths, X11WindowTargetTest, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "OpenGl" : "Converted";
                         });

}  // namespace
}  // namespace lumox::host
