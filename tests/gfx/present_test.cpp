// The screen: palette, publication and the present conversion.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>
#include <vector>

#include "gfx/canvas.h"
#include "gfx/screen.h"

namespace lumox::gfx {
namespace {

std::vector<uint32_t> RandomTable(std::mt19937& random) {
  std::vector<uint32_t> table(256);
  for (uint32_t& word : table) word = random() & 0x00FFFFFFu;
  return table;
}

TEST(Present, EveryPathMatchesTheTableLookup) {
  std::mt19937 random(41);
  std::vector<PresentPath> paths;
  for (PresentPath path : {PresentPath::Portable, PresentPath::Avx2, PresentPath::BytePermute}) {
    if (PresentPathAvailable(path))
      paths.push_back(path);
    else
      GTEST_LOG_(INFO) << "path " << static_cast<int>(path) << " is not available on this CPU";
  }
  // The last trials are large enough to be written with streaming stores,
  // from every alignment of the destination.
  for (int trial = 0; trial < 64; ++trial) {
    const bool large = trial >= 60;
    const std::vector<uint32_t> table = RandomTable(random);
    const int width = trial < 10 ? trial : large ? 1100 + trial : static_cast<int>(random() % 300);
    const int height = large ? 500 : 1 + static_cast<int>(random() % 5);
    const int sourcePitch = width + static_cast<int>(random() % 9);
    const int destinationPitch = width + static_cast<int>(random() % 5);  // in pixels
    const size_t offset = large ? random() % 16 : 0;  // in pixels
    std::vector<uint8_t> source(static_cast<size_t>(sourcePitch) * height + 1);
    for (uint8_t& p : source) p = static_cast<uint8_t>(random());
    for (PresentPath path : paths) {
      std::vector<uint32_t> out(offset + static_cast<size_t>(destinationPitch) * height + 1,
                                0xDEADBEEF);
      ConvertIndexedImage(path, source.data(), sourcePitch, out.data() + offset,
                          destinationPitch * 4, width, height, table.data());
      if (offset > 0) {
        ASSERT_EQ(out[offset - 1], 0xDEADBEEF) << "written before the image";
      }
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < destinationPitch; ++x) {
          const uint32_t expected =
              x < width ? table[source[static_cast<size_t>(y) * sourcePitch + x]] : 0xDEADBEEF;
          ASSERT_EQ(out[offset + static_cast<size_t>(y) * destinationPitch + x], expected)
              << "path " << static_cast<int>(path) << " width " << width << " at " << x << "," << y;
        }
    }
  }
}

// The static colours are in place from the start; palette animation reaches
// only the saver entries, cutting ranges that run past either end.
TEST(Screen, AnimatePaletteTouchesOnlySaverEntries) {
  Screen screen(4, 3);
  EXPECT_EQ(screen.Entry(10), (Rgb{}));
  std::vector<Rgb> colours(300);
  for (size_t i = 0; i < colours.size(); ++i)
    colours[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i + 1),
                  static_cast<uint8_t>(i + 2)};
  screen.AnimatePalette(230, 20, colours.data());  // cut at 236
  EXPECT_EQ(screen.Entry(245), (Rgb{5, 6, 7}));
  EXPECT_EQ(screen.Entry(246), (Rgb{255, 251, 240}));
  screen.AnimatePalette(-2, 4, colours.data());  // the first two are skipped
  screen.AnimatePalette(0, 5, nullptr);
  screen.AnimatePalette(236, 5, colours.data());
  EXPECT_EQ(screen.Entry(10), (Rgb{2, 3, 4}));
}

TEST(Screen, PresentShowsThePublishedFrameThroughTheCurrentPalette) {
  Screen screen(3, 2);
  Canvas canvas(screen);
  canvas.SetPixel(0, 0, PaletteIndex(0));
  canvas.SetPixel(2, 1, kWhite);
  const uint32_t before = screen.PublishedSerial();
  canvas.Flush();
  EXPECT_EQ(screen.PublishedSerial(), before + 1);
  canvas.SetPixel(1, 0, kWhite);  // drawn after the flush: not shown yet
  const Rgb red{255, 0, 0};
  screen.AnimatePalette(0, 1, &red);
  std::vector<uint32_t> out(2 * 4, 0x12345678);  // pitch of 4 pixels
  screen.Present(out.data(), 16);
  EXPECT_EQ(out, (std::vector<uint32_t>{0x00FF0000, 0, 0, 0x12345678,  //
                                        0, 0, 0x00FFFFFF, 0x12345678}));
}

TEST(Screen, DrawingPublishingAnimatingAndPresentingRunConcurrently) {
  // Each of the saver's threads does its part at the same time; run under
  // ThreadSanitizer this shows the shared words and the frame are guarded.
  Screen screen(64, 32);
  std::atomic<bool> stop{false};
  std::thread palette([&] {
    std::vector<Rgb> colours(236);
    for (int step = 0; !stop; ++step) {
      for (Rgb& c : colours) c = {static_cast<uint8_t>(step), 0, 0};
      screen.AnimatePalette(0, 236, colours.data());
    }
  });
  std::thread host([&] {
    std::vector<uint32_t> out(64 * 32);
    while (!stop) screen.Present(out.data(), 64 * 4);
  });
  Canvas canvas(screen);
  for (int frame = 0; frame < 200; ++frame) {
    canvas.SelectBrush(Brush::Solid(PaletteIndex(frame)));
    canvas.Rectangle(0, 0, 64, 32);
    canvas.Flush();
  }
  stop = true;
  palette.join();
  host.join();
  EXPECT_EQ(screen.PublishedFrame().row(16)[32], ToPhysical(PaletteIndex(199)));
}

}  // namespace
}  // namespace lumox::gfx
