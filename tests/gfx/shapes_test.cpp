// Rectangles, ellipses and polygons: GDI's pictures of the edge conventions
// and wide pens (gdi_reference_test compares many more on Windows), and
// shapes on bad input.
#include <gtest/gtest.h>

#include "gfx/canvas.h"
#include "gfx/picture.h"

namespace lumox::gfx {
namespace {

using testing::CountPixels;
using testing::kBrushInk;
using testing::WithTools;

// A drawing and the picture it must leave on a black surface.
const struct {
  const char* what;
  int width, height;
  void (*draw)(Canvas&);
  const char* expected;
} kPictures[] = {
    // Rectangle (corners either way) runs the pen along the box's outermost
    // pixels and leaves out the right column and bottom row; without a pen
    // it loses them too, which code stepping filled bars by their drawn
    // width relies on. Polygons fill the pixels whose centres are inside,
    // points on left and top edges counting, and draw the closed outline
    // over the fill. FillRect ignores the raster mode; with swapped corners
    // it fills like a blit with negative extents (from x = 34 leftwards one
    // pixel, from y = 4 upwards two).
    {"rectangles, polygons, FillRect", 35, 5,
     [](Canvas& c) {
       WithTools(c).Rectangle(6, 4, 1, 0);
       c.Rectangle(28, 3, 29, 4);  // one pixel: no outline, no fill
       const Point outlined[] = {{21, 0}, {27, 0}, {21, 4}}, filled[] = {{14, 0}, {20, 0}, {14, 4}};
       c.Polygon(outlined, 3);
       c.SelectPen(Pen::Null());
       c.Rectangle(8, 0, 13, 4);
       c.Polygon(filled, 3);
       c.SetRasterMode(RasterMode::Not);
       c.FillRect(29, 1, 32, 3, Brush::Solid(kBrushInk));
       c.FillRect(33, 1, 33, 3, Brush::Solid(kBrushInk));
       c.FillRect(34, 4, 33, 2, Brush::Solid(kBrushInk));
     },
     R"(
.aaaaa..bbbb..bbbbbb.aaaaaaa.......
.abbba..bbbb..bbbbb..abbbaa..bbb...
.abbba..bbbb..bbb....abba....bbb...
.aaaaa........bb.....aaa..........b
.....................a............b)"},
    // Ellipses run through the centres of the box's outermost pixels: on an
    // odd box, flat ones (a two-row box is a full bar), a narrow tall one
    // that loses its tips, a one-pixel box (no outline), a 3 x 3 plus and,
    // unlike Rectangle, the same ellipse without a pen.
    {"ellipses", 37, 10,
     [](Canvas& c) {
       WithTools(c).Ellipse(0, 0, 9, 6);
       c.Ellipse(18, 1, 21, 9);
       c.Ellipse(21, 0, 22, 1);
       c.Ellipse(22, 0, 25, 3);
       c.SelectBrush(Brush::Null());
       c.Ellipse(10, 0, 17, 5);
       c.Ellipse(11, 5, 16, 7);
       c.SelectPen(Pen::Null());
       c.SelectBrush(Brush::Solid(kBrushInk));
       c.Ellipse(28, 0, 37, 6);
     },
     R"(
..aaaaa.....aaa........a......bbbbb..
.abbbbba..aa...aa.....aba....bbbbbbb.
abbbbbbba.a.....a..a...a....bbbbbbbbb
abbbbbbba.aa...aa.aba.......bbbbbbbbb
.abbbbba....aaa...aba........bbbbbbb.
..aaaaa....aaaaa..aba.........bbbbb..
...........aaaaa..aba................
...................a.................
.....................................
.....................................)"},
    // A notch with a flat bottom: its slanted sides end on a row where no
    // side starts, and from that row down the rows run from side to side.
    {"a notched polygon", 11, 9,
     [](Canvas& c) {
       const Point notched[] = {{0, 8}, {0, 0}, {3, 4}, {7, 4}, {10, 0}, {10, 8}};
       c.SelectPen(Pen::Null());
       c.SelectBrush(Brush::Solid(kBrushInk));
       c.Polygon(notched, 6);
     },
     R"(
...........
b..........
bb.......b.
bbb.....bb.
bbbbbbbbbb.
bbbbbbbbbb.
bbbbbbbbbb.
bbbbbbbbbb.
...........)"},
    // A round pen of width 4 rounds the rectangle's outer corners. The
    // width-3 pen runs along each pixel of the one-pixel outline, with the
    // bands of its diagonal steps rounding towards the right; a one-pixel
    // box is the pen's dot.
    {"wide pens", 30, 14,
     [](Canvas& c) {
       WithTools(c, 4).Rectangle(2, 2, 10, 8);
       WithTools(c, 3).Ellipse(14, 2, 27, 12);
       c.Ellipse(28, 1, 29, 2);
     },
     R"(
.aaaaaaaaa..................a.
aaaaaaaaaaa.......aaaaaaa..aaa
aaaaaaaaaaa.....aaaaaaaaaaa.a.
aaaaaaaaaaa...aaaaaaaaaaaaaa..
aaaabbbaaaa..aaaaaaabbbaaaa...
aaaaaaaaaaa..aaaaabbbbbbaaaa..
aaaaaaaaaaa..aaaabbbbbbbbaaa..
aaaaaaaaaaa..aaaabbbbbbbbaaa..
.aaaaaaaaa...aaaaabbbbbbaaaa..
.............aaaaaaabbbaaaa...
..............aaaaaaaaaaaaaa..
................aaaaaaaaaaa...
..................aaaaaaa.....
..............................)"},
};

TEST(Shapes, PicturesAreGdis) {
  for (const auto& c : kPictures)
    EXPECT_EQ(testing::Drawn(c.width, c.height, c.draw), c.expected) << c.what;
}

TEST(Shapes, HugeAndDegenerateInputIsSafe) {
  Surface surface(37, 23);
  Canvas canvas(surface);
  WithTools(canvas, 3);
  constexpr int32_t g = 1000000000;
  canvas.Ellipse(-g, -g, g, g);
  canvas.Ellipse(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
  canvas.Rectangle(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
  EXPECT_EQ(CountPixels(surface, 11), 37 * 23);
  surface.Fill(0);
  canvas.Ellipse(5, 5, 5, 9);
  canvas.Rectangle(5, 5, 9, 5);
  canvas.Polygon(nullptr, 0);
  EXPECT_EQ(CountPixels(surface, 0), 37 * 23);
  // A half plane through the surface: x + y < 30 (points on x + y = 30 lie
  // on the big triangle's right-hand edge, so are left out).
  canvas.SelectPen(Pen::Null());
  const Point half[] = {{-g, -g}, {30 + g, -g}, {-g, 30 + g}};
  canvas.Polygon(half, 3);
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 37; ++x) ASSERT_EQ(surface.row(y)[x], x + y < 30 ? 11 : 0) << x << "," << y;
}

// A pentagram's middle is inside it twice: filled under the winding rule,
// not under the alternate one. DstInvert needs no source or pattern.
TEST(Shapes, WindingFillsAPentagramsMiddleAndDstInvertInvertsTheBox) {
  Surface surface(26, 11);
  Canvas canvas(surface);
  const Point star[] = {{5, 0}, {8, 10}, {0, 4}, {10, 4}, {2, 10}};
  WithTools(canvas).SelectPen(Pen::Null());
  canvas.Polygon(star, 5);
  EXPECT_EQ(canvas.GetPixel(5, 6), 0);
  EXPECT_EQ(canvas.GetPixel(3, 6), 11);
  canvas.SetPolyFillMode(FillMode::Winding);
  canvas.Polygon(star, 5);
  EXPECT_EQ(canvas.GetPixel(5, 6), 11);
  canvas.PatBlt(25, 1, -3, 8, RasterOp::DstInvert);  // columns 23-25
  canvas.StretchDIBits(22, 9, 4, 2, 0, 0, 1, 1, DibView{}, RasterOp::DstInvert);
  EXPECT_EQ(CountPixels(surface, 255), 3 * 8 + 4 * 2);
}

}  // namespace
}  // namespace lumox::gfx
