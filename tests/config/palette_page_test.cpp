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

TEST_F(PalettePageTest, TrackbarsAndSenseChangeTheShownChannelOrAllThreeWithCtrl) {
  page_.SelectChannel(kGreen);
  page_.MoveTrackbars(kScale, 40, 10, 90, false);
  EXPECT_EQ(std::tuple(Slot(kScale, kGreen).Value, Slot(kScale, kRed).Value), std::tuple(40, 100));
  page_.MoveTrackbars(kDirection, 5, -20, 20, true);
  EXPECT_EQ(page_.StepSense(kDirection, 100, false), 10);
  EXPECT_EQ(page_.StepSense(kDirection, -2147483647, false), 1);
  EXPECT_EQ(page_.StepSense(kDirection, 2, true), 3);
  for (int channel : {kRed, kGreen, kBlue}) {
    EXPECT_EQ(std::tuple(Slot(kDirection, channel).Value, Slot(kDirection, channel).RangeLo,
                         Slot(kDirection, channel).RangeHi, Slot(kDirection, channel).Sense),
              std::tuple(5, -20, 20, 3));
  }
  EXPECT_EQ(modified_, 5);
}

TEST_F(PalettePageTest, TypedNumbersAreLimitedToTheRowAndGoToTheShownChannel) {
  page_.SelectChannel(kBlue);
  const struct {
    int parameter;
    PaletteField field;
    const char* typed;
    int32_t shown;
  } cases[] = {
      {kSeconds, PaletteField::Value, "500", 300},
      {kSeconds, PaletteField::RangeLo, "-7", 0},
      {kDirection, PaletteField::RangeHi, " -12", -12},
      {kDirection, PaletteField::RangeLo, "07", 7},
      {kDirection, PaletteField::Value, "99999999999999999999", 50},
      {kCycleRate, PaletteField::Value, "45ms", 45},
      {kCycleRate, PaletteField::RangeHi, "", 60},  // not a number: the stored one
      {kCycleRate, PaletteField::RangeLo, "x1", 10},
  };
  for (const auto& c : cases) EXPECT_EQ(page_.EnterNumber(c.parameter, c.field, c.typed), c.shown) << c.typed;
  EXPECT_EQ(std::tuple(Slot(kCycleRate, kBlue).Value, Slot(kSeconds, kRed).Value), std::tuple(45, 16));
}

TEST_F(PalettePageTest, SourcesEffectsAndTheShownRow) {
  for (int parameter : {kSeconds, kCycleRate, kEvent}) {
    EXPECT_EQ(page_.Row(parameter).sourceCount, 2) << kPaletteRowLabels[parameter];
    page_.ChooseSource(parameter, kSourceVolume, true);
    EXPECT_EQ(Slot(parameter, kRed).Source, kSourceSet);
  }
  page_.ChooseSource(kScale, kSourceLastBand, false);
  EXPECT_FALSE(page_.Row(kScale).showValue);
  EXPECT_EQ(page_.Row(kEvent).tickFrequency, 126);  // 3000 / 24 + 1

  page_.ChooseEffect(kEffectCustom, true);
  for (int channel : {kRed, kGreen, kBlue}) {
    page_.SelectChannel(channel);
    EXPECT_EQ(page_.Effect(), kEffectCustom);
  }
  EXPECT_TRUE(page_.Row(kScale).showValue);  // the source was red's alone
  EXPECT_EQ(page_.TextColor(), (gfx::Rgb{0, 0, 128}));
}

}  // namespace
}  // namespace lumox
