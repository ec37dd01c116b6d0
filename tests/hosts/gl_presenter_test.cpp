// The OpenGL presenter shows exactly what the software conversion makes of
// the same frame and palette, over a run of drawing and palette steps.
// Needs an X display with OpenGL (CTest runs it under Xvfb, where Mesa
// renders in software).
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "gfx/canvas.h"
#include "gfx/present_tracker.h"
#include "gfx/screen.h"
#include "gl_presenter.h"

// Last: it brings Xlib, whose macros (None, Status) would reach the rest.
#include <SDL_syswm.h>

#include "window_pixels.h"

namespace lumox::host {
namespace {

// What the X server shows in the SDL window.
std::vector<uint32_t> SdlWindowPixels(SDL_Window* window, int width, int height) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return {};
  XSync(info.info.x11.display, False);
  return WindowPixels(info.info.x11.display, info.info.x11.window, width, height);
}

TEST(GlPresenter, ShowsWhatTheSoftwareConversionShows) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
  constexpr int kWidth = 37, kHeight = 23;
  SDL_Window* window = SDL_CreateWindow("gl test", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL);
  ASSERT_NE(window, nullptr) << SDL_GetError();
  std::string error;
  {
    std::unique_ptr<SdlPresenter> presenter = MakeGlPresenter(window, false, error);
    ASSERT_NE(presenter, nullptr) << error;

    gfx::Screen screen(kWidth, kHeight);
    gfx::Canvas canvas(screen);
    gfx::PresentTracker tracker;
    std::mt19937 random(3);
    std::vector<uint32_t> expected(kWidth * kHeight);
    for (int step = 0; step < 12; ++step) {
      // Even steps draw some rows, every third moves the whole palette.
      for (int i = 0; step % 2 == 0 && i < 20; ++i) {
        const int x = static_cast<int>(random() % kWidth), y = static_cast<int>(random() % kHeight);
        canvas.FillRect(x, y, x + 5, y + 3,
                        gfx::Brush::Solid(gfx::PaletteIndex(random() % gfx::kSaverColors)));
      }
      canvas.Flush();
      std::vector<gfx::Rgb> colors(gfx::kSaverColors);
      for (gfx::Rgb& c : colors) c = {uint8_t(random()), uint8_t(random()), uint8_t(random())};
      if (step % 3 == 0) screen.AnimatePalette(0, gfx::kSaverColors, colors.data());
      presenter->Present(screen, tracker);
      screen.Present(expected.data(), kWidth * 4);
      ASSERT_EQ(SdlWindowPixels(window, kWidth, kHeight), expected) << "step " << step;
    }
  }
  SDL_DestroyWindow(window);
  SDL_Quit();
}

}  // namespace
}  // namespace lumox::host
