// The Polygon module: its colours, its tiles, its two-vertex line and its
// restart, on pictures drawn from a black screen.
#include <gtest/gtest.h>

#include "module_harness.h"

namespace lumox::testing {
namespace {

enum Slot { kVertices = 0, kSymmetry = 1, kOutline = 3, kXTiling = 4, kYTiling = 5, kTileType = 6 };

// The first frame after Start fills in palette index 2 (the index starts at
// 1 and steps before drawing); the outline takes the complementary index
// 236 - 2.
TEST(Polygon, FirstFrameColoursAndTheComplementaryOutline) {
  for (int outline : {0, 1}) {
    ModuleHarness h(kPolygon, 64, 48);
    h.surface().Fill(0);
    h.Set(kVertices, 5);
    h.Set(kOutline, outline);
    h.Run(1);
    std::set<uint8_t> expected{PhysicalOf(2)};
    if (outline) expected.insert(PhysicalOf(234));
    EXPECT_EQ(ColoursOn(h.surface()), expected) << "outline " << outline;
    h.Stop();
  }
}

// Two vertices make a line: it shows even with "Outline" off.
TEST(Polygon, TwoVerticesDrawAnOutlinedLine) {
  ModuleHarness h(kPolygon, 64, 48);
  h.surface().Fill(0);
  h.Set(kVertices, 2);
  h.Set(kOutline, 0);
  h.Run(20);
  EXPECT_FALSE(ColoursOn(h.surface()).empty());
  h.Stop();
}

// Without rotated copies the polygon stays in the tiles the tile type
// selects: shrunk vertices lie within a tile, right and bottom edges
// excluded. Tile type 1 on a single tile draws nothing at all.
TEST(Polygon, TilesDrawOnlyWhereTheTileTypeSelects) {
  struct Case {
    int columns, rows, tileType;
  };
  for (const Case& c : {Case{2, 2, 2}, Case{3, 2, 1}, Case{4, 3, 0}, Case{1, 1, 1}}) {
    ModuleHarness h(kPolygon, 60, 48);
    h.Set(kSymmetry, 1);
    h.Set(kVertices, 6);
    h.Set(kXTiling, c.columns);
    h.Set(kYTiling, c.rows);
    h.Set(kTileType, c.tileType);
    h.Run(200);
    const int tileWidth = 60 / c.columns, tileHeight = 48 / c.rows;
    for (int i = 0; i < c.columns; ++i) {
      for (int j = 0; j < c.rows; ++j) {
        bool painted = false;
        for (int y = j * tileHeight; y < (j + 1) * tileHeight; ++y) {
          for (int x = i * tileWidth; x < (i + 1) * tileWidth; ++x) {
            painted = painted || h.surface().row(y)[x] != kUntouched;
          }
        }
        const bool selected = c.tileType == 0 || (c.tileType == 1) == ((i + j) % 2 == 1);
        EXPECT_EQ(painted, selected) << c.columns << "x" << c.rows << " type " << c.tileType
                                     << " tile " << i << "," << j;
      }
    }
    h.Stop();
  }
}

// After 100 seconds the module starts over: the colour begins again at
// index 2 and the picture stays.
TEST(Polygon, StartsOverAfterOneHundredSeconds) {
  ModuleHarness h(kPolygon, 64, 48);
  h.Set(kVertices, 5);
  h.Run(30, 100);  // 3 s: colour index 31
  h.clock().Advance(100000);
  h.Draw();  // past the restart time: this frame, then Start
  h.surface().Fill(0);
  h.Draw();
  EXPECT_EQ(ColoursOn(h.surface()), std::set<uint8_t>{PhysicalOf(2)});
  h.Stop();
}

}  // namespace
}  // namespace lumox::testing
