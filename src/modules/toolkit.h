// The drawing operations the display modules share.
//
// - TileSelected: the filter behind every "Tile Type" control.
// - RotatePoint: integer rotation about the origin (callers subtract and add
//   back their centre, and rotate a fresh copy of a point each time, since
//   truncation loses magnitude).
// - TileRectEdges: copies the outline of one rectangular ring into every
//   other selected tile of a grid, mirroring odd columns left-right and odd
//   rows top-bottom, so a picture painted one ring at a time fills all tiles.
// - Stamp: a dot, a polygon, or a polygon of polygons, stamped at a point
//   (DrawStamp) or along a line (StampLine). Pair every SelectStampTools
//   with one ReleaseStampTools.
// - ConcentricFill: nested shapes in successive palette indices.
// - TrailRing: the last frames' drawing parameters, for a trail of fixed
//   length that a delayed copy of the motion erases in black.
//
// Everything draws on the stamp's or the given canvas with palette-index
// colours, so the palette animation keeps changing what was drawn. None of
// these operations draws outside the canvas or crashes on degenerate input.
#pragma once

#include <array>
#include <cstdint>

#include "gfx/canvas.h"

namespace lumox {

// Whether the tile at a zero-based column and row is drawn: type 1 selects
// odd column + row, type 2 even, any other type every tile.
bool TileSelected(int32_t column, int32_t row, int32_t tileType);

// Rotates a point about the origin in place:
//   x' = trunc(x cos a + y sin a), y' = trunc(y cos a - x sin a),
// computed in extended precision from the single-precision angle.
void RotatePoint(gfx::Point& point, float angle);

// A rectangle by its inclusive corner coordinates (a ring of pixels from
// left to right and top to bottom).
struct RingRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// Copies the four one-pixel edges of `source` (edgeWidth x edgeHeight, drawn
// inside the first selected tile) into the other selected tiles of a
// columns x rows grid whose first tile has the ring at `origin`. When the
// source does not start at x = 0 it lies in the first selected tile, which is
// then left alone.
void TileRectEdges(gfx::Canvas& dc, int32_t columns, int32_t rows, int32_t tileWidth,
                   int32_t tileHeight, int32_t tileType, int32_t edgeWidth, int32_t edgeHeight,
                   const RingRect& source, const RingRect& origin);

constexpr int kMaxStampSides = 10;

// A figure stamped at points and along lines. A module may copy it whole
// (into a history ring, or as a child figure).
struct Stamp {
  float size = 0;        // radius; for a dot stamp, the pen width
  float childScale = 0;  // child radius / parent radius
  float angle = 0;       // current rotation, radians
  float reserved = 0;    // set by InitStamp, not used in drawing
  float spin = 0;        // rotation one StampLine shares out over its figures
  uint32_t spacing = 0;  // along a line, every (spacing + 1)-th point
  uint32_t counter = 0;  // position in the spacing cycle
  uint32_t scratch = 0;
  gfx::Canvas* dc = nullptr;
  uint8_t sides = 1;     // 1 = dot; at most kMaxStampSides
  uint8_t type = 0;      // StampType 0-8: fill style type % 3, depth type / 3
};

// Sets a stamp up. Sizes 1-3 make a dot; sizes 1-2 and two-sided figures are
// drawn filled and outlined in the colour (fill style 1). Sides are held to
// 1..10 and the type to 0..8.
void InitStamp(gfx::Canvas* dc, int32_t sides, int32_t type, int32_t spacing, int32_t size,
               float spin, Stamp& stamp);

// Selects the pen and brush the stamp is drawn with, in `color`.
void SelectStampTools(const Stamp& stamp, gfx::ColorRef color);
// Selects the stock black pen and brush back.
void ReleaseStampTools(const Stamp& stamp);

// Draws the figure centred at (x, y) with the selected tools.
void DrawStamp(int32_t x, int32_t y, const Stamp& stamp);

// Draws the line from (x0, y0) to (x1, y1) made of figures, walking from
// (x1, y1) towards (x0, y0). The stamp comes back unchanged. Only the part
// of the line whose figures can reach the canvas is walked, so an end point
// far off the canvas costs no more than one at its edge.
void StampLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, Stamp& stamp);

// Nested shapes filled with palette indices firstIndex, firstIndex + 1, ...
// (mod 236) from the outside in; style mod 32 picks circles (0-7), squares
// (8-15), vertical bars (16-23) or horizontal bars (24-31). Leaves the null
// pen and the stock white brush selected.
void ConcentricFill(gfx::Canvas& dc, int32_t centreX, int32_t centreY, int32_t firstIndex,
                    int32_t diameter, int32_t style);

// A trail of fixed length. Each frame records what it was drawn with; once
// the trail is full, a second copy of the motion, started a trail's length
// later, redraws the oldest recorded frame in black. The record makes the
// erasure match what was drawn even when live controls changed in between.
// A trail of kSize frames or more never erases. Per frame:
//   ring.Record(frame); draw; if (ring.Full()) { erase ring.Oldest(); ring.DropOldest(); }
//   ring.Advance();
template <typename Frame>
class TrailRing {
 public:
  static constexpr int32_t kSize = 300;

  // A new trail of `length` frames, nothing drawn yet.
  void Start(int32_t length) {
    length_ = length;
    drawn_ = 0;
    write_ = erase_ = length < kSize ? length : 0;
  }
  bool Endless() const { return length_ >= kSize; }
  void Record(const Frame& frame) { frames_[write_] = frame; }
  // After a frame is drawn: true once the trail holds `length` frames, so
  // the oldest must now go.
  bool Full() {
    if (Endless() || drawn_ < length_) {
      ++drawn_;
      return false;
    }
    return true;
  }
  Frame& Oldest() { return frames_[erase_]; }
  void DropOldest() { erase_ = (erase_ + 1) % kSize; }
  void Advance() { write_ = (write_ + 1) % kSize; }
  // Whether frames are still on the screen that an erasure would remove.
  bool HasFramesToErase() const { return !Endless() && erase_ != write_; }

 private:
  std::array<Frame, kSize> frames_{};
  int32_t length_ = kSize;
  int32_t write_ = 0, erase_ = 0, drawn_ = 0;
};

}  // namespace lumox
