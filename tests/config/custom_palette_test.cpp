#include "config/custom_palette.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "base/random.h"
#include "config/pal_file.h"
#include "platform/temp_dir.h"
#include "recording_dialogs.h"

namespace lumox {
namespace {

using Levels = CustomPaletteEditor::Levels;

class CustomPaletteTest : public ::testing::Test {
 protected:
  CustomPaletteTest() {
    // Entry i is (i, 200 - i/2, 2i mod 256): distinct, and no channel at 0
    // or 255 in the middle entries.
    for (int i = 0; i < kPaletteEntries; ++i) {
      palette_[i].Set({static_cast<uint8_t>(i), static_cast<uint8_t>(200 - i / 2),
                       static_cast<uint8_t>(2 * i)});
    }
    original_ = palette_;
  }
  Levels At(int i) const { return {palette_[i].red, palette_[i].green, palette_[i].blue}; }
  Levels Was(int i) const { return {original_[i].red, original_[i].green, original_[i].blue}; }
  void Select(int first, int last) {
    editor_.Press(first);
    editor_.Move(last);
    editor_.Release();
  }
  // Entries outside first..last still have their original colours.
  void ExpectOutsideUnchanged(int first, int last) {
    for (int i = 0; i < kPaletteEntries; ++i) {
      if (i < first || i > last) {
        ASSERT_EQ(At(i), Was(i)) << i;
      }
    }
  }

  CustomPalette palette_;
  CustomPalette original_;
  int modified_ = 0;
  CustomPaletteEditor editor_{palette_, [this] { ++modified_; }};
};

TEST_F(CustomPaletteTest, MouseSelectionRunsFromAnchorToTheEntryUnderTheCursor) {
  editor_.Press(30);
  editor_.Move(25);
  EXPECT_TRUE(editor_.Dragging());
  editor_.Release();
  EXPECT_EQ(editor_.Selection().first, 25);
  EXPECT_EQ(editor_.Selection().last, 30);
  EXPECT_EQ(editor_.TrackbarPositions(), (Levels{128, 128, 128}));
  editor_.Move(40);  // no drag: ignored
  EXPECT_EQ(editor_.Selection().last, 30);
  Select(7, 7);
  EXPECT_EQ(editor_.TrackbarPositions(), Was(7));
  EXPECT_FALSE(editor_.CanReverseOrBlend());
}

TEST_F(CustomPaletteTest, GradientBlendsTowardsTheLastEntryWhichKeepsItsColour) {
  Select(10, 20);
  editor_.Gradient();
  for (int k = 0; k <= 10; ++k) {
    for (int c = 0; c < kChannels; ++c) {
      EXPECT_EQ(At(10 + k)[c], (Was(10)[c] * (10 - k) + k * Was(20)[c]) / 10) << k;
    }
  }
  ExpectOutsideUnchanged(10, 20);
  EXPECT_EQ(modified_, 1);
}

TEST_F(CustomPaletteTest, TwoAdjacentEntriesNeitherReverseNorBlend) {
  Select(50, 51);
  EXPECT_TRUE(editor_.CanReverseOrBlend());
  editor_.Reverse();
  editor_.Gradient();
  ExpectOutsideUnchanged(0, -1);
  Select(50, 54);
  editor_.Reverse();
  for (int k = 0; k < 5; ++k) EXPECT_EQ(At(50 + k), Was(54 - k));
}

TEST_F(CustomPaletteTest, MaskedChannelsAreLeftAlone) {
  Select(3, 6);
  editor_.SetMasked(kGreen, true);
  EXPECT_FALSE(editor_.TrackbarEnabled(kGreen));
  editor_.Negative();
  for (int i = 3; i <= 6; ++i) {
    EXPECT_EQ(At(i), (Levels{255 - Was(i)[kRed], Was(i)[kGreen], 255 - Was(i)[kBlue]}));
  }
  editor_.Undo();
  editor_.Shift();  // red <- green, blue <- old red, green masked
  for (int i = 3; i <= 6; ++i)
    EXPECT_EQ(At(i), (Levels{Was(i)[kGreen], Was(i)[kGreen], Was(i)[kRed]}));
  ExpectOutsideUnchanged(3, 6);
}

TEST_F(CustomPaletteTest, CopyToRepeatsTheSourceOverALargerRangeAndMergeAverages) {
  Select(0, 3);
  editor_.CopyTo();
  Select(100, 107);
  for (int k = 0; k < 8; ++k) EXPECT_EQ(At(100 + k), Was(k / 2)) << k;
  ExpectOutsideUnchanged(100, 107);
  editor_.Undo();
  ExpectOutsideUnchanged(0, -1);

  Select(10, 11);
  editor_.MergeTo();
  Select(11, 12);  // overlaps the source: it merges with the source as it was
  for (int c = 0; c < kChannels; ++c) {
    EXPECT_EQ(At(11)[c], (Was(11)[c] + Was(10)[c]) / 2);
    EXPECT_EQ(At(12)[c], (Was(12)[c] + Was(11)[c]) / 2);
  }
  EXPECT_FALSE(editor_.MergePending());
}

TEST_F(CustomPaletteTest, SecondUndoRedoes) {
  Select(0, 235);
  editor_.Negative();
  const Levels negated = At(9);
  editor_.Undo();
  ExpectOutsideUnchanged(0, -1);
  editor_.Undo();
  EXPECT_EQ(At(9), negated);
}

TEST_F(CustomPaletteTest, TrackbarsSetOneEntryOrScaleARange) {
  Select(5, 5);
  editor_.MoveTrackbars({77, Was(5)[kGreen], Was(5)[kBlue]});
  EXPECT_EQ(At(5), (Levels{77, Was(5)[kGreen], Was(5)[kBlue]}));
  editor_.EndTrackbarDrag();

  Select(100, 110);
  editor_.SetMasked(kBlue, true);
  editor_.MoveTrackbars({64, 128, 64});  // red from 128 to 64; blue is masked
  for (int i = 100; i <= 110; ++i) {
    EXPECT_EQ(At(i), (Levels{Was(i)[kRed] / 2, Was(i)[kGreen], Was(i)[kBlue]})) << i;
  }
  editor_.MoveTrackbars({255, 128, 64});  // still relative to where the drag began
  for (int i = 100; i <= 110; ++i) EXPECT_EQ(At(i)[kRed], std::min(255, Was(i)[kRed] * 255 / 128));
  editor_.EndTrackbarDrag();
  editor_.Undo();
  ExpectOutsideUnchanged(5, 5);
}

TEST_F(CustomPaletteTest, RandomRoughAndSmoothKeepTheirBounds) {
  palette_[1].Set({255, 0, 255});
  original_ = palette_;
  Select(0, 235);
  SeedRandom(7);
  editor_.Rough();  // a change that would leave 0..255 is dropped, never wrapped
  EXPECT_GE(At(1)[kRed], 245);
  EXPECT_LE(At(1)[kGreen], 10);
  EXPECT_GE(At(1)[kBlue], 245);
  editor_.Undo();
  editor_.Smooth();
  EXPECT_EQ(At(1)[kRed], (Was(0)[kRed] + Was(2)[kRed] + 3 * 255) / 5);
  for (int end : {0, 235}) EXPECT_EQ(At(end), Was(end));
  editor_.Randomize();  // a walk with steps below 8
  for (int i = 1; i < kPaletteEntries; ++i) {
    for (int c = 0; c < kChannels; ++c) ASSERT_LE(std::abs(At(i)[c] - At(i - 1)[c]), 7) << i;
  }
}

TEST_F(CustomPaletteTest, ImportOfAFileWithOtherBytesOnlyBeepsAndExportWritesAWholeFile) {
  testing::TempDir dir;
  testing::RecordingDialogs dialogs;
  EXPECT_FALSE(editor_.Import(dialogs));  // cancelled
  dialogs.file = dir.File("other.PAL");
  testing::WriteFile(*dialogs.file, std::string(952, 'x'));
  EXPECT_FALSE(editor_.Import(dialogs));
  EXPECT_EQ(dialogs.beeps, 1);
  ExpectOutsideUnchanged(0, -1);

  dialogs.file = dir.File("mine.PAL");
  EXPECT_TRUE(editor_.Export(dialogs));
  EXPECT_EQ(dialogs.proposedName, "Scratch.PAL");
  EXPECT_EQ(testing::ReadFile(*dialogs.file).size(), 952u);
  Select(0, 235);
  editor_.Negative();
  EXPECT_TRUE(editor_.Import(dialogs));
  ExpectOutsideUnchanged(0, -1);
}

TEST(CustomPaletteGridTest, CellsTileTheGridAndHitTestFindsEachCell) {
  for (const auto& [width, height] : {std::pair{323, 243}, std::pair{100, 61}, std::pair{3, 3}}) {
    for (int entry = 0; entry < kPaletteEntries; ++entry) {
      const GridRect cell = GridCell(entry, width, height);
      if (entry % 16 != 15) {
        EXPECT_EQ(GridCell(entry + 1, width, height).left, cell.right);
      }
      if (cell.right > cell.left && cell.bottom > cell.top) {
        EXPECT_EQ(GridHitTest(cell.left, cell.bottom - 1, width, height), entry);
      }
    }
    EXPECT_EQ(GridHitTest(0, 0, width, height), 235);
    EXPECT_EQ(GridHitTest(width - 2, height - 2, width, height), 235);  // the empty cells
  }
}

}  // namespace
}  // namespace lumox
