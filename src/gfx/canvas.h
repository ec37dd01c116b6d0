// A device context on the 8-bit screen.
//
// Module code is written in GDI's vocabulary, so the canvas carries what a
// device context carries (the selected pen and brush, the raster mode, the
// polygon fill mode, the stretch mode, the clip region, the current
// position) and offers GDI's drawing operations with GDI's conventions:
//   - coordinates name pixel centres; filled shapes exclude their right and
//     bottom edge: a polygon fills the pixels inside it (points on a left or
//     top edge count, on a right or bottom edge they do not), so polygons
//     sharing an edge neither overlap nor leave a gap;
//   - Rectangle and Ellipse run the pen along the box's outermost pixels (a
//     pen of width w reaches w / 2 outwards, (w - 1) / 2 inwards) and fill
//     inside it with the brush, no pixel twice; a Rectangle without a pen
//     loses its right column and bottom row, as in GDI; an ellipse is GDI's
//     integer curve through the centres of the box's outermost pixels (an
//     elliptic region is that of the box less its right column and bottom
//     row, as in GDI);
//   - lines exclude their last point; width 0 and 1 are one-pixel lines
//     (exact halves round towards smaller coordinates, so a line covers the
//     same pixels in both directions), wider pens are round and a
//     zero-length line with one is a dot of the pen's diameter;
//   - R2_NOT inverts (p ^ 0xFF) every pixel a line or shape covers once;
//   - negative blit extents mirror and include their origin: (x, -w) covers
//     x - w + 1 ... x; stretching takes the source pixel under each
//     destination pixel's centre, so it drops or repeats pixels
//     (COLORONCOLOR); destination pixels whose source lies outside the
//     source are left alone;
//   - nothing is ever drawn outside the clip region or the surface, whatever
//     the coordinates (even +-1e9), and degenerate input (empty boxes,
//     counts below the minimum, null pointers) draws nothing.
// Pens and brushes are plain values: selecting returns the previous one, and
// there is nothing to delete. A canvas belongs to the thread that draws
// with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "gfx/color.h"
#include "gfx/geometry.h"
#include "gfx/region.h"
#include "gfx/surface.h"

namespace lumox::gfx {

class Screen;
class FontRasterizer;

enum class PenStyle { Solid, Null };
struct Pen {
  PenStyle style = PenStyle::Solid;
  int32_t width = 0;  // 0 and 1: one pixel
  ColorRef color = kBlack;
  static Pen Solid(int32_t width, ColorRef color) { return {PenStyle::Solid, width, color}; }
  static Pen Null() { return {PenStyle::Null, 0, kBlack}; }
  static Pen StockBlack() { return Solid(0, kBlack); }
  static Pen StockWhite() { return Solid(0, kWhite); }
};

enum class BrushStyle { Solid, Null };
struct Brush {
  BrushStyle style = BrushStyle::Solid;
  ColorRef color = kWhite;
  static Brush Solid(ColorRef color) { return {BrushStyle::Solid, color}; }
  static Brush Null() { return {BrushStyle::Null, kBlack}; }
  static Brush StockWhite() { return Solid(kWhite); }
  static Brush StockBlack() { return Solid(kBlack); }
};

enum class RasterMode { CopyPen, Not };      // R2_COPYPEN, R2_NOT
enum class FillMode { Alternate, Winding };  // ALTERNATE, WINDING
enum class StretchMode { ColorOnColor };     // the only mode the saver uses
enum class RasterOp { SrcCopy, Blackness, Whiteness, DstInvert };
enum class EdgeStyle { Raised, Sunken, Etched };  // EDGE_RAISED, EDGE_SUNKEN, EDGE_ETCHED

// An 8-bit device-independent bitmap in palette-index mode (DIB_PAL_COLORS):
// each pixel selects an entry of the colour table, and each table entry is
// an index into the saver's 236-colour palette. A pixel value at or past
// colorCount (or any value when there is no table) is taken as the saver
// index itself. Rows are padded to four bytes; a positive height is
// bottom-up (row 0 in memory is the bottom), a negative one top-down.
// Either way source rows and scan lines count from the bottom of the
// picture, as GDI counts them.
struct DibView {
  const uint8_t* bits = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  const uint16_t* colorTable = nullptr;
  int32_t colorCount = 0;
  int32_t Stride() const { return (width + 3) & ~3; }
};

class Canvas {
 public:
  // Draws on a screen's surface (and flushes to it), or on a bare surface.
  explicit Canvas(Screen& screen);
  explicit Canvas(Surface& surface);

  Surface& surface() { return surface_; }
  Screen* screen() { return screen_; }
  int32_t width() const { return surface_.width(); }
  int32_t height() const { return surface_.height(); }

  // --- state ---
  Pen SelectPen(const Pen& pen);
  Brush SelectBrush(const Brush& brush);
  const Pen& pen() const { return pen_; }
  const Brush& brush() const { return brush_; }
  RasterMode SetRasterMode(RasterMode mode);
  FillMode SetPolyFillMode(FillMode mode);
  StretchMode SetStretchMode(StretchMode mode);
  void SetFont(FontRasterizer* font) { font_ = font; }

  // --- clipping: the clip region is in surface coordinates; none = all ---
  void SelectClipRegion(const Region* region);  // null: no clip region
  void ExtSelectClipRegion(const Region& region, RegionOp op);
  void IntersectClipRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
  void ExcludeClipRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
  // The effective clip: the clip region, or the whole surface.
  Region ClipRegion() const;
  // Whether a clip region is selected (GetClipRgn returning 1).
  bool HasClipRegion() const { return clip_ != nullptr; }

  // --- lines and curves (selected pen, raster mode) ---
  void MoveTo(int32_t x, int32_t y);
  void LineTo(int32_t x, int32_t y);
  Point CurrentPosition() const { return position_; }
  void Polyline(const Point* points, int32_t count);
  // 3n + 1 points: a start point and n cubic segments.
  void PolyBezier(const Point* points, int32_t count);

  // --- filled shapes (selected brush inside, selected pen outline) ---
  void Polygon(const Point* points, int32_t count);
  void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom);
  void Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom);
  // Fills with a brush, no outline (FillRect).
  void FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, const Brush& brush);

  // --- pixels and blits ---
  // The physical index at (x, y), or -1 outside the surface or the clip.
  int32_t GetPixel(int32_t x, int32_t y) const;
  void SetPixel(int32_t x, int32_t y, ColorRef color);
  // Blackness, Whiteness, DstInvert over a rectangle (width/height may be
  // negative, as in GDI).
  void PatBlt(int32_t x, int32_t y, int32_t width, int32_t height, RasterOp op);
  // Source may be this canvas (overlapping copies behave as if the source
  // were read first).
  void BitBlt(int32_t x, int32_t y, int32_t width, int32_t height, const Canvas& source,
              int32_t sourceX, int32_t sourceY, RasterOp op = RasterOp::SrcCopy);
  void StretchBlt(int32_t x, int32_t y, int32_t width, int32_t height, const Canvas& source,
                  int32_t sourceX, int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight,
                  RasterOp op = RasterOp::SrcCopy);
  void StretchDIBits(int32_t x, int32_t y, int32_t width, int32_t height, int32_t sourceX,
                     int32_t sourceY, int32_t sourceWidth, int32_t sourceHeight, const DibView& dib,
                     RasterOp op = RasterOp::SrcCopy);
  void SetDIBitsToDevice(int32_t x, int32_t y, int32_t width, int32_t height, int32_t sourceX,
                         int32_t sourceY, int32_t startScan, int32_t scanCount, const DibView& dib);

  // --- frames and text ---
  // A 3-D frame two pixels thick in the static greys, white and black, on
  // all four sides; fillMiddle (BF_MIDDLE) fills the inside in light grey.
  void DrawEdge(int32_t left, int32_t top, int32_t right, int32_t bottom, EdgeStyle style,
                bool fillMiddle = false);
  // Multi-line text ('\n' separates lines) centred horizontally and
  // vertically in a rectangle, in the given colour, clipped to the rectangle
  // and the clip region; transparent background. Does nothing without a font.
  void DrawCenteredText(int32_t left, int32_t top, int32_t right, int32_t bottom,
                        std::string_view text, ColorRef color);
  // The size DrawCenteredText gives the text: the widest line by the number
  // of lines times the line height. Zero without a font.
  struct TextExtent {
    int32_t width = 0, height = 0;
  };
  TextExtent MeasureText(std::string_view text) const;
  FontRasterizer* font() const { return font_; }

  // The flush point: publishes the surface on a screen (GdiFlush).
  void Flush();

 private:
  // What a pixel operation does: store a colour, or invert (p ^ 0xFF).
  struct Ink {
    PhysicalIndex color = 0;
    bool invert = false;
  };
  Ink PenInk() const;
  Ink BrushInk() const;
  Ink CopyInk(ColorRef color) const { return {ToPhysical(color), false}; }

  // The clip, cached for drawing: clipBox_ bounds every drawable pixel, and
  // with a clip region clipRows_[y] .. clipRows_[y + 1] index its spans on
  // row y. Every public drawing operation calls PrepareClip once at the top
  // (it also notices a surface that changed size) and returns when it is
  // false; the helpers below assume it was called and never write outside
  // clipBox_ or the region.
  bool PrepareClip();
  void StoreClip(Region region);
  void RebuildClipCache();
  // Fills pixels [left, right) of row y (any left/right; y must be a row of
  // clipBox_).
  void FillRow(int64_t y, int64_t left, int64_t right, Ink ink);
  void PlotPixel(int64_t x, int64_t y, Ink ink);
  bool Drawable(int64_t x, int64_t y) const;
  // Calls write(y, left, right) for each drawable stretch of pixels
  // [left, right) of row y (y in clipBox_).
  template <typename Write>
  void ForEachClipped(int64_t y, int64_t left, int64_t right, Write&& write) const;

  void StrokeThinLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1, Ink ink);
  void StrokePath(const Point* points, int32_t count, bool closed);
  void WideEllipse(int64_t left, int64_t top, int64_t right, int64_t bottom);
  void FillPolygonInterior(const Point* points, int32_t count, Ink ink);
  void FillRectangle(int64_t left, int64_t top, int64_t right, int64_t bottom, Ink ink);
  void InvertOrFill(int64_t left, int64_t top, int64_t right, int64_t bottom, RasterOp op);

  // The common stretch copy behind the blits and DIB transfers: source is a
  // top-down image (stride may be negative), mapped through lut when given.
  struct SourceImage {
    const uint8_t* pixels = nullptr;
    ptrdiff_t stride = 0;
    int32_t width = 0, height = 0;
    const uint8_t* lut = nullptr;
  };
  void StretchImage(int64_t x, int64_t y, int64_t width, int64_t height, const SourceImage& source,
                    int64_t sourceX, int64_t sourceY, int64_t sourceWidth, int64_t sourceHeight);

  Surface& surface_;
  Screen* screen_ = nullptr;
  Pen pen_ = Pen::StockBlack();
  Brush brush_ = Brush::StockWhite();
  RasterMode rasterMode_ = RasterMode::CopyPen;
  FillMode fillMode_ = FillMode::Alternate;
  StretchMode stretchMode_ = StretchMode::ColorOnColor;
  std::unique_ptr<Region> clip_;
  Point position_;
  FontRasterizer* font_ = nullptr;

  Rect clipBox_;
  std::vector<uint32_t> clipRows_;
  int32_t cachedWidth_ = -1, cachedHeight_ = -1;
};

// Calls visit(x, y) for each point of the line from (x0, y0) towards
// (x1, y1), the end point excluded, as GDI's LineDDA does: the classic
// integer DDA, x the major axis only when the line is more horizontal than
// vertical, exact halves staying on the start point's side. It visits
// max(|dx|, |dy|) points, so callers bound their coordinates.
void LineDDA(int32_t x0, int32_t y0, int32_t x1, int32_t y1,
             const std::function<void(int32_t, int32_t)>& visit);

}  // namespace lumox::gfx
