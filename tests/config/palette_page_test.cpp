#include "config/palette_page.h"

#include <gtest/gtest.h>

#include <memory>

#include "palette/palette.h"
#include "state/module_control.h"

namespace lumox {
namespace {

class PalettePageTest : public ::testing::Test {
 protected:
  PalettePageTest() { SetPaletteDefaults(*state_); }
  const PaletteValue& Slot(int parameter, int channel) {
    return state_->settings.values[parameter][channel];
  }

  std::unique_ptr<PaletteState> state_ = std::make_unique<PaletteState>();
  int modified_ = 0;
  PalettePage page_{state_->settings, [this] { ++modified_; }};
};

TEST_F(PalettePageTest, TrackbarsChangeTheShownChannelOrAllThreeWithCtrl) {
  page_.SelectChannel(kGreen);
  page_.MoveTrackbars(kScale, 40, 10, 90, false);
  EXPECT_EQ(Slot(kScale, kGreen).Value, 40);
  EXPECT_EQ(Slot(kScale, kRed).Value, 100);
  EXPECT_EQ(Slot(kScale, kBlue).RangeHi, 100);

  page_.MoveTrackbars(kDirection, 5, -20, 20, true);
  for (int channel : {kRed, kGreen, kBlue}) {
    EXPECT_EQ(Slot(kDirection, channel).Value, 5);
    EXPECT_EQ(Slot(kDirection, channel).RangeLo, -20);
    EXPECT_EQ(Slot(kDirection, channel).RangeHi, 20);
  }
  EXPECT_EQ(modified_, 2);
}

TEST_F(PalettePageTest, TypedNumbersAreLimitedToTheRowAndGoToTheShownChannel) {
  page_.SelectChannel(kBlue);
  struct Case {
    int parameter;
    PaletteField field;
    const char* typed;
    int32_t shown;
  };
  const Case cases[] = {
      {kSeconds, PaletteField::Value, "500", 300},
      {kSeconds, PaletteField::RangeLo, "-7", 0},
      {kDirection, PaletteField::RangeHi, " -12", -12},
      {kDirection, PaletteField::Value, "99999999999999999999", 50},
      {kCycleRate, PaletteField::Value, "45ms", 45},
      {kCycleRate, PaletteField::RangeHi, "", 60},  // not a number: the stored one
      {kCycleRate, PaletteField::RangeLo, "x1", 10},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(page_.EnterNumber(c.parameter, c.field, c.typed), c.shown) << c.typed;
    const PaletteRowView row = page_.Row(c.parameter);
    const int32_t stored = c.field == PaletteField::Value     ? row.value
                           : c.field == PaletteField::RangeLo ? row.rangeLo
                                                              : row.rangeHi;
    EXPECT_EQ(stored, c.shown) << c.typed;
  }
  EXPECT_EQ(Slot(kSeconds, kRed).Value, 16);
}

TEST_F(PalettePageTest, RowsShowTheirSourcesAndOfferSoundOnlyWhereCapable) {
  for (int parameter : {kSeconds, kCycleRate, kEvent}) {
    EXPECT_EQ(page_.Row(parameter).sourceCount, 2) << kPaletteRowLabels[parameter];
    page_.ChooseSource(parameter, kSourceVolume, true);
    EXPECT_EQ(Slot(parameter, kRed).Source, kSourceSet);
  }
  EXPECT_EQ(page_.Row(kScale).sourceCount, kSourceCount);
  page_.ChooseSource(kScale, kSourceLastBand, false);
  EXPECT_FALSE(page_.Row(kScale).showValue);
  page_.SelectChannel(kGreen);
  EXPECT_TRUE(page_.Row(kScale).showValue);
  EXPECT_EQ(page_.Row(kEvent).tickFrequency, 126);  // 3000 / 24 + 1
}

TEST_F(PalettePageTest, CtrlClickOnCustomSetsEveryChannel) {
  page_.ChooseEffect(kEffectFade, false);
  page_.ChooseEffect(kEffectCustom, true);
  for (int channel : {kRed, kGreen, kBlue}) {
    page_.SelectChannel(channel);
    EXPECT_EQ(page_.Effect(), kEffectCustom);
  }
  EXPECT_EQ(page_.TextColor(), (gfx::Rgb{0, 0, 128}));
}

TEST_F(PalettePageTest, SenseStaysWithinOneToTen) {
  EXPECT_EQ(page_.StepSense(kMorphRate, 100, false), 10);
  EXPECT_EQ(page_.StepSense(kMorphRate, -3, true), 7);
  EXPECT_EQ(page_.StepSense(kMorphRate, -2147483647, false), 1);
  EXPECT_EQ(Slot(kMorphRate, kGreen).Sense, 7);
}

TEST(PalettePreviewTest, StaticColoursFrameThePaletteEntries) {
  auto state = std::make_unique<PaletteState>();
  state->entries[0].Set({1, 2, 3});
  state->entries[235].Set({4, 5, 6});
  const auto colors = PreviewColors(*state);
  EXPECT_EQ(colors[10], (gfx::Rgb{1, 2, 3}));
  EXPECT_EQ(colors[245], (gfx::Rgb{4, 5, 6}));
  EXPECT_EQ(colors[0], (gfx::Rgb{0, 0, 0}));
  EXPECT_EQ(colors[255], (gfx::Rgb{255, 255, 255}));
}

}  // namespace
}  // namespace lumox
