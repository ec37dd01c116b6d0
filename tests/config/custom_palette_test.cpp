#include "config/custom_palette.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

#include "base/random.h"
#include "platform/temp_dir.h"
#include "config_fixture.h"

namespace lumox {
namespace {

using Levels = CustomPaletteEditor::Levels;

class CustomPaletteTest : public ::testing::Test {
 protected:
  // Entry i is (i, 200 - i/2, 2i mod 256): every entry and channel differs.
  CustomPaletteTest() {
    for (int i = 0; i < kPaletteEntries; ++i) Put(i, {i, 200 - i / 2, 2 * i});
  }
  void Put(int i, Levels c) {
    palette_[i].Set({uint8_t(c[0]), uint8_t(c[1]), uint8_t(c[2])});
    original_[i] = palette_[i];
  }
  Levels At(int i) const { return {palette_[i].red, palette_[i].green, palette_[i].blue}; }
  Levels Was(int i) const { return {original_[i].red, original_[i].green, original_[i].blue}; }
  void Select(int first, int last) {
    editor_.Press(first);
    editor_.Move(last);
    editor_.Release();
  }
  // Entries outside first..last (all of them for an empty range) are as they were.
  void ExpectUnchangedOutside(int first = 0, int last = -1) {
    for (int i = 0; i < kPaletteEntries; ++i)
      ASSERT_TRUE((i >= first && i <= last) || At(i) == Was(i)) << i;
  }

  CustomPalette palette_;
  CustomPalette original_;
  CustomPaletteEditor editor_{palette_, nullptr};
};

// 16 x 15 cells from 2 pixels in; fractional cell sizes truncate. Every
// pixel of a cell hits its entry; a miss (the margin, the four empty cells)
// selects the last entry.
TEST(CustomPaletteGrid, CellsAndHits) {
  auto cell = [](int entry, int width, int height) {
    const GridRect r = GridCell(entry, width, height);
    return std::array{r.left, r.top, r.right, r.bottom};
  };
  EXPECT_EQ(cell(17, 323, 303), (std::array{22, 22, 42, 42}));
  EXPECT_EQ(cell(235, 323, 303), (std::array{222, 282, 242, 302}));
  EXPECT_EQ(cell(1, 100, 50), (std::array{8, 2, 14, 5}));
  for (int entry = 0; entry < kPaletteEntries; ++entry) {
    const GridRect r = GridCell(entry, 100, 50);
    ASSERT_EQ(GridHitTest(r.left, r.top, 100, 50), entry);
    ASSERT_EQ(GridHitTest(r.right - 1, r.bottom - 1, 100, 50), entry);
  }
  for (const auto& [x, y] : {std::pair{1, 10}, {10, 1}, {76, 46}})
    EXPECT_EQ(GridHitTest(x, y, 100, 50), kPaletteEntries - 1) << x << "," << y;
}

TEST_F(CustomPaletteTest, SelectionGradientReverseAndMask) {
  Put(10, {0, 0, 0});
  Put(20, {100, 200, 50});
  editor_.Press(20);
  editor_.Move(10);
  editor_.Release();
  EXPECT_EQ(editor_.TrackbarPositions(), (Levels{128, 128, 128}));
  editor_.Gradient();  // from entry 10 towards entry 20, which keeps its colour
  for (int k = 0; k <= 10; ++k) EXPECT_EQ(At(10 + k), (Levels{10 * k, 20 * k, 5 * k})) << k;
  ExpectUnchangedOutside(10, 20);

  editor_.Undo();
  Select(50, 51);  // two adjacent entries: neither reversed nor blended
  editor_.Reverse();
  editor_.Gradient();
  ExpectUnchangedOutside();
  Select(50, 52);  // three entries: the shortest range that is reversed
  editor_.SetMasked(kGreen, true);
  EXPECT_FALSE(editor_.TrackbarEnabled(kGreen));
  editor_.Reverse();
  for (int k = 0; k < 3; ++k)
    EXPECT_EQ(At(50 + k), (Levels{52 - k, Was(50 + k)[kGreen], 104 - 2 * k}));
  editor_.Negative();
  EXPECT_EQ(At(50), (Levels{203, 175, 151}));
}

TEST_F(CustomPaletteTest, CopyToRepeatsTheSourceAndMergeAveragesAndUndoTwiceRedoes) {
  Select(0, 3);
  editor_.CopyTo();
  Select(100, 107);
  for (int k = 0; k < 8; ++k) EXPECT_EQ(At(100 + k), Was(k / 2)) << k;
  ExpectUnchangedOutside(100, 107);
  editor_.Undo();
  ExpectUnchangedOutside();
  editor_.Undo();
  EXPECT_EQ(At(107), Was(3));
  editor_.Undo();

  Select(10, 11);
  editor_.MergeTo();
  Select(11, 12);  // overlaps the source: merges with the source as it was
  EXPECT_EQ(At(11), (Levels{10, 195, 21}));
  EXPECT_EQ(At(12), (Levels{11, 194, 23}));
}

TEST_F(CustomPaletteTest, TrackbarsSetOneEntryOrScaleARangeFromWhereTheDragBegan) {
  Select(5, 5);
  editor_.MoveTrackbars({77, 198, 10});
  EXPECT_EQ(At(5), (Levels{77, 198, 10}));
  editor_.EndTrackbarDrag();

  Select(100, 110);
  editor_.SetMasked(kBlue, true);
  editor_.MoveTrackbars({64, 128, 64});  // red from 128 to 64 halves it; blue is masked
  for (int i = 100; i <= 110; ++i) EXPECT_EQ(At(i), (Levels{i / 2, Was(i)[1], Was(i)[2]})) << i;
  editor_.MoveTrackbars({255, 128, 64});
  EXPECT_EQ(At(100)[kRed], 199);
  editor_.EndTrackbarDrag();
  editor_.Undo();
  ExpectUnchangedOutside(5, 5);
}

TEST_F(CustomPaletteTest, RandomRoughAndSmoothKeepTheirBounds) {
  Put(1, {255, 0, 255});
  Put(234, {255, 0, 255});
  Select(0, 235);
  SeedRandom(7);
  editor_.Rough();  // a change that would leave 0..255 is dropped, never wrapped
  EXPECT_GE(At(1)[kRed], 245);
  EXPECT_LE(At(1)[kGreen], 10);
  editor_.Smooth();  // the palette's ends stay, their neighbours are smoothed
  for (int end : {0, 235}) EXPECT_EQ(At(end), Was(end));
  for (int next : {1, 234}) EXPECT_GT(At(next)[kGreen], 20) << next;
  editor_.Randomize();  // a walk with steps below 8
  for (int i = 1; i < kPaletteEntries; ++i)
    for (int c = 0; c < kChannels; ++c) ASSERT_LE(std::abs(At(i)[c] - At(i - 1)[c]), 7) << i;
}

TEST_F(CustomPaletteTest, ImportOfAnotherFileOnlyBeepsAndAnExportReadsBack) {
  RecordingSystemServices services;
  InstallSystemServices(&services);
  SaverState state;
  testing::ScriptedDialogs dialogs;
  ConfigSession session{state, dialogs, "lumox", "start"};
  testing::TempDir dir;
  const std::string other = dir.File("other.PAL");
  const std::string mine = dir.File("mine.PAL");
  testing::WriteFile(other, std::string(952, 'x'));
  dialogs.answers = {{other}, {mine}, {mine}};
  EXPECT_FALSE(editor_.Import(session));
  EXPECT_EQ(services.beeps(), 1);
  EXPECT_EQ(dialogs.requests[0].filters[0].patterns, "*.PAL");
  EXPECT_EQ(dialogs.requests[0].directory, "start");
  ExpectUnchangedOutside();

  EXPECT_TRUE(editor_.Export(session));
  EXPECT_EQ(dialogs.requests[1].fileName, "Scratch.PAL");
  EXPECT_EQ(dialogs.requests[1].directory, DirectoryOf(other));  // remembered from the import
  Select(0, 235);
  editor_.Negative();
  EXPECT_TRUE(editor_.Import(session));
  ExpectUnchangedOutside();
  InstallSystemServices(nullptr);
}

}  // namespace
}  // namespace lumox
