// Presenting only what changed: the window must end up exactly as a full
// present of every refresh would leave it.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

#include "gfx/canvas.h"
#include "gfx/present_tracker.h"
#include "gfx/screen.h"

namespace lumox::gfx {
namespace {

// One random drawing operation of the kinds modules use, anywhere on (or
// partly off) the screen.
void DrawSomething(Canvas& canvas, std::mt19937& random) {
  auto coordinate = [&](int size) { return static_cast<int32_t>(random() % (size + 20)) - 10; };
  const int32_t x0 = coordinate(canvas.width()), y0 = coordinate(canvas.height());
  const int32_t x1 = coordinate(canvas.width()), y1 = coordinate(canvas.height());
  const ColorRef color = PaletteIndex(static_cast<int>(random() % kSaverColors));
  canvas.SelectPen(Pen::Solid(static_cast<int32_t>(random() % 4), color));
  canvas.SelectBrush(Brush::Solid(PaletteIndex(static_cast<int>(random() % kSaverColors))));
  canvas.SetRasterMode(random() % 4 == 0 ? RasterMode::Not : RasterMode::CopyPen);
  const int kind = static_cast<int>(random() % 5);
  if (kind == 0) canvas.SetPixel(x0, y0, color);
  if (kind == 1) canvas.MoveTo(x0, y0), canvas.LineTo(x1, y1);
  if (kind == 2) canvas.Ellipse(x0, y0, x1, y1);
  if (kind == 3) canvas.PatBlt(x0, y0, x1 - x0, y1 - y0, RasterOp::DstInvert);
  if (kind == 4) canvas.BitBlt(x0, y0, 9, -5, canvas, x1, y1);  // mirrored, within one surface
}

TEST(IncrementalPresent, ShowsWhatAFullPresentShowsOverALongRandomRun) {
  // Three strips, the last one short; columns in tiles of 4.
  constexpr int kWidth = 150, kHeight = 75;
  Screen screen(kWidth, kHeight);
  Canvas canvas(screen);
  PresentTracker tracker;
  std::vector<uint32_t> full(kWidth * kHeight), incremental(kWidth * kHeight, 0xDEADBEEF);
  std::mt19937 random(7);
  for (int refresh = 0; refresh < 3000; ++refresh) {
    // Some refreshes see drawing, some a palette step, some both or neither;
    // some drawing is not yet published.
    const int drawings = random() % 3 == 0 ? 0 : static_cast<int>(random() % 4);
    for (int i = 0; i < drawings; ++i) DrawSomething(canvas, random);
    if (random() % 5 != 0) canvas.Flush();
    if (random() % 4 == 0) {
      std::vector<Rgb> colors(1 + random() % 8);
      for (Rgb& c : colors) c = {static_cast<uint8_t>(random()), 0, static_cast<uint8_t>(random())};
      // A step may also set colours an entry already has.
      if (random() % 3 == 0) colors.assign(colors.size(), screen.Entry(kFirstSaverEntry + 40));
      screen.AnimatePalette(40, static_cast<int>(colors.size()), colors.data());
    }
    if (random() % 50 == 0) tracker.Invalidate();

    const ChangedArea area = tracker.Take(screen);
    for (const Rect& r : area.Rects())
      screen.Present(&incremental[r.top * kWidth + r.left], kWidth * 4, r, tracker.palette());
    screen.Present(full.data(), kWidth * 4);
    ASSERT_EQ(incremental, full) << "refresh " << refresh;

    // What a publication copies is all that was drawn.
    if (random() % 10 == 0) {
      canvas.Flush();
      const Surface published = screen.PublishedFrame();
      for (int y = 0; y < kHeight; ++y)
        ASSERT_TRUE(std::equal(published.row(y), published.row(y) + kWidth,
                               std::as_const(screen.surface()).row(y)))
            << "refresh " << refresh << ", row " << y;
    }
  }
}

TEST(IncrementalPresent, PresentsNothingUnchangedAndOnlyWhatWasDrawn) {
  Screen screen(40, 70);  // strips of rows 0-31, 32-63, 64-69
  Canvas canvas(screen);
  PresentTracker tracker;
  // The strips' whole rows come as one rectangle.
  const std::vector<Rect> whole = {{0, 0, 40, 70}};
  EXPECT_EQ(tracker.Take(screen).Rects(), whole) << "the first present shows everything";
  canvas.Flush();
  EXPECT_TRUE(tracker.Take(screen).Empty()) << "a publication with nothing drawn";

  canvas.FillRect(3, 11, 8, 14, Brush::StockBlack());
  canvas.SetPixel(19, 5, kWhite);
  canvas.SetPixel(30, 66, kWhite);
  canvas.Flush();
  // Apart in one strip: two rectangles, each with the strip's rows.
  EXPECT_EQ(tracker.Take(screen).Rects(),
            (std::vector<Rect>{{3, 5, 8, 14}, {19, 5, 20, 14}, {30, 66, 31, 67}}));

  const Rgb same = screen.Entry(kFirstSaverEntry + 3);
  screen.AnimatePalette(3, 1, &same);
  EXPECT_TRUE(tracker.Take(screen).Empty()) << "a palette step that changed nothing";
  const Rgb other{same.red, same.green, static_cast<uint8_t>(same.blue ^ 1)};
  screen.AnimatePalette(3, 1, &other);
  EXPECT_EQ(tracker.Take(screen).Rects(), whole) << "a changed entry may be anywhere";
  tracker.Invalidate();
  EXPECT_EQ(tracker.Take(screen).Rects(), whole);
}

}  // namespace
}  // namespace lumox::gfx
