// The canvas against the system's own GDI.
//
// The same drawing sequences go to GDI, drawing into an 8-bit DIB section,
// and to the canvas, drawing into a surface of the same size; the two
// pictures are compared index for index. The DIB's colour table gives every
// index its own colour, and index 255 - i the inverse of index i's colour,
// so GDI's nearest-colour match returns exactly the index the canvas uses
// and GDI's inversion lands where the canvas's p ^ 0xFF does.
//
// Each operation prints its match. The thresholds are loose: they catch a
// shape that is grossly wrong, not the odd pixel where two rasterisers may
// legitimately round differently.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "gfx/canvas.h"
#include "gfx/surface.h"
#include "win32_test_support.h"

namespace lumox::gfx {
namespace {

constexpr int kWidth = 61;
constexpr int kHeight = 47;
constexpr int kBackground = 10;  // the first saver entry

// Physical index p's colour in the comparison table.
COLORREF TableColor(int p) {
  auto lower = [](int i) { return RGB(i, (i * 53) & 0x7F, (i * 101) & 0x7F); };
  return p < 128 ? lower(p) : (0xFFFFFF ^ lower(255 - p));
}

// What a drawing sequence may do, in GDI's words, with physical indices.
class Painter {
 public:
  virtual ~Painter() = default;
  virtual void SelectPen(int width, int index) = 0;
  virtual void SelectNullPen() = 0;
  virtual void SelectBrush(int index) = 0;
  virtual void SelectNullBrush() = 0;
  virtual void SetInvert(bool invert) = 0;
  virtual void SetWinding(bool winding) = 0;
  virtual void MoveTo(int x, int y) = 0;
  virtual void LineTo(int x, int y) = 0;
  virtual void Polygon(const std::vector<POINT>& points) = 0;
  virtual void PolyBezier(const std::vector<POINT>& points) = 0;
  virtual void Ellipse(int l, int t, int r, int b) = 0;
  virtual void Rectangle(int l, int t, int r, int b) = 0;
  virtual void InvertRect(int x, int y, int w, int h) = 0;
  virtual void StretchSelf(int x, int y, int w, int h, int sx, int sy, int sw, int sh) = 0;
  virtual void IntersectClip(int l, int t, int r, int b) = 0;
  virtual void ExcludeClip(int l, int t, int r, int b) = 0;
  virtual void SelectEllipticClip(int l, int t, int r, int b) = 0;
  virtual void ResetClip() = 0;
};

class GdiPainter final : public Painter {
 public:
  GdiPainter() {
    struct {
      BITMAPINFOHEADER header;
      RGBQUAD colors[256];
    } info{};
    info.header.biSize = sizeof(info.header);
    info.header.biWidth = kWidth;
    info.header.biHeight = -kHeight;
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    info.header.biClrUsed = 256;
    for (int p = 0; p < 256; ++p) {
      COLORREF c = TableColor(p);
      info.colors[p] = {GetBValue(c), GetGValue(c), GetRValue(c), 0};
    }
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits_,
                               nullptr, 0);
    previousBitmap_ = SelectObject(dc_, bitmap_);
    std::memset(bits_, kBackground, static_cast<size_t>(Stride()) * kHeight);
    SelectObject(dc_, GetStockObject(BLACK_PEN));
    SelectObject(dc_, GetStockObject(WHITE_BRUSH));
  }
  ~GdiPainter() override {
    DropObjects();
    SelectObject(dc_, previousBitmap_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  bool ok() const { return bits_ != nullptr; }
  static int Stride() { return (kWidth + 3) & ~3; }

  std::vector<uint8_t> Picture() {
    GdiFlush();
    std::vector<uint8_t> picture(static_cast<size_t>(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y) {
      std::memcpy(&picture[static_cast<size_t>(y) * kWidth],
                  static_cast<const uint8_t*>(bits_) + static_cast<size_t>(y) * Stride(), kWidth);
    }
    return picture;
  }

  void SelectPen(int width, int index) override {
    Replace(pen_, CreatePen(PS_SOLID, width, TableColor(index)));
  }
  void SelectNullPen() override { Replace(pen_, nullptr, GetStockObject(NULL_PEN)); }
  void SelectBrush(int index) override {
    Replace(brush_, CreateSolidBrush(TableColor(index)));
  }
  void SelectNullBrush() override { Replace(brush_, nullptr, GetStockObject(NULL_BRUSH)); }
  void SetInvert(bool invert) override { SetROP2(dc_, invert ? R2_NOT : R2_COPYPEN); }
  void SetWinding(bool winding) override { SetPolyFillMode(dc_, winding ? WINDING : ALTERNATE); }
  void MoveTo(int x, int y) override { MoveToEx(dc_, x, y, nullptr); }
  void LineTo(int x, int y) override { ::LineTo(dc_, x, y); }
  void Polygon(const std::vector<POINT>& points) override {
    ::Polygon(dc_, points.data(), static_cast<int>(points.size()));
  }
  void PolyBezier(const std::vector<POINT>& points) override {
    ::PolyBezier(dc_, points.data(), static_cast<DWORD>(points.size()));
  }
  void Ellipse(int l, int t, int r, int b) override { ::Ellipse(dc_, l, t, r, b); }
  void Rectangle(int l, int t, int r, int b) override { ::Rectangle(dc_, l, t, r, b); }
  void InvertRect(int x, int y, int w, int h) override { PatBlt(dc_, x, y, w, h, DSTINVERT); }
  void StretchSelf(int x, int y, int w, int h, int sx, int sy, int sw, int sh) override {
    SetStretchBltMode(dc_, COLORONCOLOR);
    StretchBlt(dc_, x, y, w, h, dc_, sx, sy, sw, sh, SRCCOPY);
  }
  void IntersectClip(int l, int t, int r, int b) override { IntersectClipRect(dc_, l, t, r, b); }
  void ExcludeClip(int l, int t, int r, int b) override { ExcludeClipRect(dc_, l, t, r, b); }
  void SelectEllipticClip(int l, int t, int r, int b) override {
    HRGN region = CreateEllipticRgn(l, t, r, b);
    SelectClipRgn(dc_, region);
    DeleteObject(region);
  }
  void ResetClip() override { SelectClipRgn(dc_, nullptr); }

 private:
  // Selects `created` (or a stock object) and deletes what this painter
  // created before.
  void Replace(HGDIOBJ& slot, HGDIOBJ created, HGDIOBJ stock = nullptr) {
    SelectObject(dc_, created ? created : stock);
    if (slot) DeleteObject(slot);
    slot = created;
  }
  void DropObjects() {
    SelectObject(dc_, GetStockObject(BLACK_PEN));
    SelectObject(dc_, GetStockObject(WHITE_BRUSH));
    if (pen_) DeleteObject(pen_);
    if (brush_) DeleteObject(brush_);
    pen_ = brush_ = nullptr;
  }

  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previousBitmap_ = nullptr;
  void* bits_ = nullptr;
  HGDIOBJ pen_ = nullptr;
  HGDIOBJ brush_ = nullptr;
};

class CanvasPainter final : public Painter {
 public:
  CanvasPainter() : surface_(kWidth, kHeight), canvas_(surface_) {
    surface_.Fill(static_cast<PhysicalIndex>(kBackground));
  }
  std::vector<uint8_t> Picture() const { return {surface_.data(), surface_.data() + surface_.size()}; }

  static ColorRef Color(int physical) { return PaletteIndex(static_cast<uint32_t>(physical - 10)); }
  void SelectPen(int width, int index) override { canvas_.SelectPen(Pen::Solid(width, Color(index))); }
  void SelectNullPen() override { canvas_.SelectPen(Pen::Null()); }
  void SelectBrush(int index) override { canvas_.SelectBrush(Brush::Solid(Color(index))); }
  void SelectNullBrush() override { canvas_.SelectBrush(Brush::Null()); }
  void SetInvert(bool invert) override {
    canvas_.SetRasterMode(invert ? RasterMode::Not : RasterMode::CopyPen);
  }
  void SetWinding(bool winding) override {
    canvas_.SetPolyFillMode(winding ? FillMode::Winding : FillMode::Alternate);
  }
  void MoveTo(int x, int y) override { canvas_.MoveTo(x, y); }
  void LineTo(int x, int y) override { canvas_.LineTo(x, y); }
  void Polygon(const std::vector<POINT>& points) override {
    std::vector<Point> converted = Convert(points);
    canvas_.Polygon(converted.data(), static_cast<int32_t>(converted.size()));
  }
  void PolyBezier(const std::vector<POINT>& points) override {
    std::vector<Point> converted = Convert(points);
    canvas_.PolyBezier(converted.data(), static_cast<int32_t>(converted.size()));
  }
  void Ellipse(int l, int t, int r, int b) override { canvas_.Ellipse(l, t, r, b); }
  void Rectangle(int l, int t, int r, int b) override { canvas_.Rectangle(l, t, r, b); }
  void InvertRect(int x, int y, int w, int h) override {
    canvas_.PatBlt(x, y, w, h, RasterOp::DstInvert);
  }
  void StretchSelf(int x, int y, int w, int h, int sx, int sy, int sw, int sh) override {
    canvas_.StretchBlt(x, y, w, h, canvas_, sx, sy, sw, sh);
  }
  void IntersectClip(int l, int t, int r, int b) override { canvas_.IntersectClipRect(l, t, r, b); }
  void ExcludeClip(int l, int t, int r, int b) override { canvas_.ExcludeClipRect(l, t, r, b); }
  void SelectEllipticClip(int l, int t, int r, int b) override {
    Region region = Region::FromEllipse(l, t, r, b);
    canvas_.SelectClipRegion(&region);
  }
  void ResetClip() override { canvas_.SelectClipRegion(nullptr); }

 private:
  static std::vector<Point> Convert(const std::vector<POINT>& points) {
    std::vector<Point> converted;
    for (const POINT& p : points) converted.push_back({p.x, p.y});
    return converted;
  }
  Surface surface_;
  Canvas canvas_;
};

struct Comparison {
  int matching = 0;
  int total = 0;
  double Percent() const { return total ? 100.0 * matching / total : 0.0; }
};

// Runs one sequence both ways, prints the match and, below 100 %, the
// pictures side by side (G = GDI only, C = canvas only).
Comparison Compare(const char* name, const std::function<void(Painter&)>& sequence) {
  GdiPainter gdi;
  EXPECT_TRUE(gdi.ok());
  CanvasPainter canvas;
  sequence(gdi);
  sequence(canvas);
  std::vector<uint8_t> expected = gdi.Picture();
  std::vector<uint8_t> actual = canvas.Picture();
  Comparison result;
  result.total = static_cast<int>(expected.size());
  for (size_t i = 0; i < expected.size(); ++i) result.matching += expected[i] == actual[i];
  std::printf("[gdi conformance] %-26s %6.2f%% (%d of %d pixels differ)\n", name,
              result.Percent(), result.total - result.matching, result.total);
  if (result.matching != result.total) {
    for (int y = 0; y < kHeight; ++y) {
      std::string row;
      for (int x = 0; x < kWidth; ++x) {
        size_t i = static_cast<size_t>(y) * kWidth + x;
        row += expected[i] == actual[i] ? (expected[i] == kBackground ? '.' : '#')
                                        : (expected[i] != kBackground ? 'G' : 'C');
      }
      std::printf("  %s\n", row.c_str());
    }
  }
  ::testing::Test::RecordProperty(name, std::to_string(result.Percent()));
  return result;
}

// A shape that is grossly wrong loses far more than this.
constexpr double kGrossFaultPercent = 97.0;

TEST(GdiConformance, ThinLinesInEveryDirection) {
  auto result = Compare("thin lines", [](Painter& p) {
    p.SelectPen(1, 60);
    const POINT ends[] = {{60, 23}, {60, 0},  {45, 0},  {30, 0},  {0, 0},   {0, 10}, {0, 23},
                          {0, 46},  {12, 46}, {30, 46}, {55, 46}, {60, 40}, {31, 23}, {33, 21}};
    for (const POINT& end : ends) {
      p.MoveTo(30, 23);
      p.LineTo(end.x, end.y);
    }
  });
  EXPECT_GE(result.Percent(), kGrossFaultPercent);
}

TEST(GdiConformance, WidePens) {
  auto result = Compare("wide pens", [](Painter& p) {
    int y = 4;
    for (int width : {2, 3, 5, 8}) {
      p.SelectPen(width, 40 + width);
      p.MoveTo(4, y);
      p.LineTo(40, y + 3);
      p.MoveTo(48 + width, 3);
      p.LineTo(44 + width, 42);
      y += 11;
    }
  });
  EXPECT_GE(result.Percent(), 85.0);
}

const std::vector<POINT> kStar = {{30, 2}, {42, 44}, {4, 16}, {57, 16}, {18, 44}};

TEST(GdiConformance, PolygonAlternateFill) {
  auto result = Compare("polygon alternate", [](Painter& p) {
    p.SelectNullPen();
    p.SelectBrush(100);
    p.Polygon(kStar);
  });
  EXPECT_GE(result.Percent(), kGrossFaultPercent);
}

TEST(GdiConformance, PolygonWindingFillWithOutline) {
  auto result = Compare("polygon winding + pen", [](Painter& p) {
    p.SetWinding(true);
    p.SelectPen(1, 20);
    p.SelectBrush(120);
    p.Polygon(kStar);
    p.Polygon({{2, 40}, {10, 30}, {14, 45}});
  });
  EXPECT_GE(result.Percent(), kGrossFaultPercent);
}

TEST(GdiConformance, Ellipses) {
  auto result = Compare("ellipses", [](Painter& p) {
    p.SelectPen(1, 30);
    p.SelectBrush(140);
    p.Ellipse(2, 2, 29, 21);
    p.Ellipse(33, 3, 40, 8);
    p.Ellipse(44, 2, 59, 45);
    p.SelectNullPen();
    p.Ellipse(3, 25, 38, 44);
    p.SelectPen(3, 31);
    p.SelectNullBrush();
    p.Ellipse(8, 28, 30, 42);
  });
  EXPECT_GE(result.Percent(), 90.0);
}

TEST(GdiConformance, Rectangles) {
  auto result = Compare("rectangles", [](Painter& p) {
    p.SelectPen(1, 50);
    p.SelectBrush(150);
    p.Rectangle(2, 3, 20, 17);
    p.Rectangle(25, 30, 24, 40);  // reversed corners
    p.SelectPen(4, 51);
    p.Rectangle(30, 5, 58, 25);
    p.SelectNullPen();
    p.Rectangle(5, 25, 20, 44);
  });
  EXPECT_GE(result.Percent(), kGrossFaultPercent);
}

TEST(GdiConformance, BezierCurves) {
  auto result = Compare("beziers", [](Painter& p) {
    p.SelectPen(1, 70);
    p.PolyBezier({{2, 44}, {10, -20}, {50, 70}, {58, 3}, {40, 10}, {20, 40}, {5, 5}});
  });
  EXPECT_GE(result.Percent(), 95.0);
}

TEST(GdiConformance, MirroredAndScaledStretchBlits) {
  auto result = Compare("mirrored stretch blits", [](Painter& p) {
    p.SelectNullPen();
    p.SelectBrush(80);
    p.Rectangle(0, 0, 20, 10);
    p.SelectBrush(81);
    p.Polygon({{2, 12}, {18, 14}, {6, 22}});
    p.SelectPen(1, 82);
    p.MoveTo(0, 0);
    p.LineTo(19, 22);
    p.StretchSelf(40, 0, -20, 23, 0, 0, 20, 23);   // mirrored left-right
    p.StretchSelf(0, 46, 20, -23, 0, 0, 20, 23);   // mirrored top-bottom
    p.StretchSelf(21, 24, 39, 22, 0, 0, 20, 23);   // enlarged
    p.StretchSelf(44, 2, 13, 9, 0, 0, 20, 23);     // reduced
  });
  EXPECT_GE(result.Percent(), 90.0);
}

TEST(GdiConformance, ClippedDrawing) {
  auto result = Compare("clipped drawing", [](Painter& p) {
    p.IntersectClip(5, 4, 50, 40);
    p.ExcludeClip(20, 15, 35, 25);
    p.SelectPen(2, 90);
    p.SelectBrush(91);
    p.Ellipse(-10, -10, 70, 60);
    p.MoveTo(0, 46);
    p.LineTo(60, 0);
    p.SelectEllipticClip(10, 10, 51, 38);
    p.SelectNullPen();
    p.SelectBrush(92);
    p.Rectangle(0, 0, 61, 47);
    p.ResetClip();
    p.SelectPen(1, 93);
    p.MoveTo(0, 0);
    p.LineTo(60, 46);
  });
  EXPECT_GE(result.Percent(), 90.0);
}

TEST(GdiConformance, InvertingPensAndBlits) {
  auto result = Compare("inversion", [](Painter& p) {
    p.SelectNullPen();
    p.SelectBrush(200);
    p.Rectangle(10, 10, 50, 37);
    p.InvertRect(5, 5, 30, 20);
    p.InvertRect(40, 40, -20, -15);  // negative extents
    p.SetInvert(true);
    p.SelectPen(1, 0);
    p.MoveTo(0, 23);
    p.LineTo(60, 23);
    p.MoveTo(30, 0);
    p.LineTo(30, 46);
  });
  EXPECT_GE(result.Percent(), kGrossFaultPercent);
}

}  // namespace
}  // namespace lumox::gfx
