// The overlay boxes' operations against the platform's own GDI (Windows
// builds only): DrawEdge's three frames with and without the filled face,
// the text extents the box sizes come from, and text centred in a box
// exactly as tall as its lines (where DrawText's DT_VCENTER, which centres
// single lines only, and the canvas agree).
//
// GDI draws into a static-colour DIB, where the system colours the frames
// are made of land on the entries the canvas uses; the system colours are
// set to the classic scheme for the test (a desktop theme may use other
// greys) and restored.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <random>
#include <string>

#include "gfx/canvas.h"
#include "gfx/font_rasterizer.h"
#include "gfx/gdi_dib.h"
#include "gfx/gdi_font.h"
#include "gfx/picture.h"

namespace lumox::gfx {
namespace {

constexpr int kWidth = 37, kHeight = 23;
constexpr uint8_t kBackground = 100;  // a saver entry, not a static colour

using testing::DibColours;

// A static-colour DIB filled with the background.
class OverlayDib : public testing::GdiDib {
 public:
  OverlayDib(int width, int height) : GdiDib(Background(width, height), DibColours::Static) {}
  static Surface Background(int width, int height) {
    Surface surface(width, height);
    surface.Fill(kBackground);
    return surface;
  }
};

class GdiOverlayReference : public ::testing::Test {
 protected:
  static constexpr int kElements[] = {COLOR_BTNFACE, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT,
                                      COLOR_3DDKSHADOW, COLOR_3DLIGHT};
  void SetUp() override {
    const COLORREF classic[] = {RGB(192, 192, 192), RGB(128, 128, 128), RGB(255, 255, 255),
                                RGB(0, 0, 0), RGB(192, 192, 192)};
    for (int i = 0; i < 5; ++i) saved_[i] = GetSysColor(kElements[i]);
    ASSERT_TRUE(SetSysColors(5, kElements, classic));
  }
  void TearDown() override { SetSysColors(5, kElements, saved_); }

  COLORREF saved_[5] = {};
  std::mt19937 random_{2026};
  int Coordinate(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }
};

TEST_F(GdiOverlayReference, EdgesWithAndWithoutTheFace) {
  const struct {
    EdgeStyle style;
    UINT edge;
  } styles[] = {{EdgeStyle::Raised, EDGE_RAISED},
                {EdgeStyle::Sunken, EDGE_SUNKEN},
                {EdgeStyle::Etched, EDGE_ETCHED}};
  for (int trial = 0; trial < 300; ++trial) {
    const auto [style, edge] = styles[trial % 3];
    const bool face = trial % 2 == 0;
    // Boxes from the smallest that holds both borders (4 x 4) to wider than
    // the surface. (For thinner boxes the reference paints the face outside
    // the box; the overlay boxes are 58 x 44 and more.)
    const int left = Coordinate(-4, kWidth - 2), top = Coordinate(-4, kHeight - 2);
    const int right = left + Coordinate(4, trial < 60 ? 8 : kWidth);
    const int bottom = top + Coordinate(4, trial < 60 ? 8 : kHeight);
    const bool clipped = trial % 5 == 0;

    Surface ours = OverlayDib::Background(kWidth, kHeight);
    Canvas canvas(ours);
    if (clipped) canvas.ExcludeClipRect(10, 5, 20, 12);
    canvas.DrawEdge(left, top, right, bottom, style, face);

    OverlayDib gdi(kWidth, kHeight);
    if (clipped) ExcludeClipRect(gdi.dc(), 10, 5, 20, 12);
    RECT rect{left, top, right, bottom};
    DrawEdge(gdi.dc(), &rect, edge, BF_RECT | (face ? BF_MIDDLE : 0));

    ASSERT_EQ(testing::Picture(ours), testing::Picture(gdi.Pixels()))
        << "edge " << edge << (face ? " with face" : "") << (clipped ? " clipped" : "") << " "
        << left << "," << top << " to " << right << "," << bottom;
  }
}

const char* const kTexts[] = {"[D] Sphere", "Lumox", "Title of song\nArtist\n0:42", "iiii WWWW",
                              "A\n\nB"};

// The text extents the box sizes come from are DrawText's, and the stock
// font's glyphs land where DrawText puts them, the overhang of a line's last
// glyph included (the right column of the "e" of "Sphere").
TEST_F(GdiOverlayReference, TextExtentsAndCentredLinesPixelForPixel) {
  std::unique_ptr<FontRasterizer> font = OpenGdiFont();
  ASSERT_NE(font, nullptr);
  constexpr int kBoxWidth = 160, kBoxHeight = 60;
  for (const char* text : kTexts) {
    Surface ours = OverlayDib::Background(kBoxWidth, kBoxHeight);
    Canvas canvas(ours);
    canvas.SetFont(font.get());
    OverlayDib gdi(kBoxWidth, kBoxHeight);
    SelectObject(gdi.dc(), GetStockObject(ANSI_VAR_FONT));
    RECT measured{0, 0, 0, 0};
    DrawTextA(gdi.dc(), text, -1, &measured, DT_CALCRECT);
    const Canvas::TextExtent extent = canvas.MeasureText(text);
    EXPECT_EQ(extent.width, measured.right) << text;
    EXPECT_EQ(extent.height, measured.bottom) << text;

    // As the overlays draw: the box exactly as tall as the text.
    const int left = 3, top = 7, right = kBoxWidth - 5, bottom = top + extent.height;
    canvas.DrawCenteredText(left, top, right, bottom, text, kBlack);
    SetBkMode(gdi.dc(), TRANSPARENT);
    SetTextColor(gdi.dc(), RGB(0, 0, 0));
    RECT box{left, top, right, bottom};
    DrawTextA(gdi.dc(), text, -1, &box, DT_CENTER | DT_VCENTER);
    EXPECT_EQ(testing::Picture(ours), testing::Picture(gdi.Pixels())) << text;
  }
}

}  // namespace
}  // namespace lumox::gfx
