#include "config/module_page.h"

#include <gtest/gtest.h>

#include "config_fixture.h"
#include "settings/saved_displays.h"

namespace lumox {
namespace {

// The fixture's controls: 0 holds 0..20 (default 4), 3 holds 10..100
// (default 50), 9 holds -10..10 and 19 holds -100..0.
class ModulePageTest : public testing::ConfigTest {
 protected:
  ModulePage page{session, kCyclic};
};

TEST_F(ModulePageTest, TypedNumbersAreHeldToTheLimitsOrRefused) {
  const std::tuple<const char*, bool, int32_t> cases[] = {
      {"500", true, 20}, {"-7", true, 0}, {"99999999999999", true, 20},
      {"-99999999999999", true, 0}, {" 12 ", true, 12}, {"", false, 12},
      {"-", false, 12}, {"1e3", false, 12}, {"12abc", false, 12}};
  for (const auto& [text, accepted, stored] : cases) {
    const TypedNumber typed = page.TypeNumber(0, RowNumber::RangeHi, text);
    EXPECT_EQ(std::tie(typed.accepted, typed.shown), std::tie(accepted, stored)) << text;
  }
  EXPECT_FALSE(page.TypeNumber(0, RowNumber::RangeHi, "12").changed);
  EXPECT_TRUE(page.TypeNumber(9, RowNumber::Value, "-10").changed);
  page.MoveTrackbar(3, RowNumber::Value, 5);
  EXPECT_EQ(page.Number(3, RowNumber::Value), 10);
  EXPECT_FALSE(page.TypeNumber(5, RowNumber::Value, "3").accepted);  // no such row
}

TEST_F(ModulePageTest, SourceDecidesWhatTheRowShowsAndSenseStaysInItsRange) {
  state().table[kCyclic].controls[0].SoundCapable = 1;
  page.TypeNumber(0, RowNumber::Value, "17");
  EXPECT_TRUE(page.ChooseSource(0, kSourceRandom));
  const RowVisibility random = page.Visibility(0);
  EXPECT_TRUE(random.labelAndSource && random.range && !random.value);
  for (const auto& [step, sense] : {std::pair{1, 10}, {-3, 7}, {-100, 1}, {2147483647, 10}})
    EXPECT_EQ(page.ChangeSense(0, step), sense) << step;
  EXPECT_TRUE(page.ChooseSource(0, kSourceSet));
  EXPECT_EQ(page.Number(0, RowNumber::Value), 17);

  const std::vector<const char*> live = page.SourceList(0);
  ASSERT_EQ(live.size(), 22u);
  EXPECT_STREQ(live[kSourceFirstBand], "150Hz");
  EXPECT_STREQ(live.back(), "18KHz");
  EXPECT_EQ(page.SourceList(3).size(), 2u);  // not sound-capable: Set and Random
  EXPECT_FALSE(page.ChooseSource(3, kSourceOscillate));
  EXPECT_FALSE(page.ChooseSource(3, -1));
}

TEST_F(ModulePageTest, ControlsBeyondTheTenthGoOnASecondPage) {
  EXPECT_FALSE(page.Visibility(19).labelAndSource);
  EXPECT_TRUE(page.ChangePage(-1));
  EXPECT_EQ(page.PageText(), "Page 2 of 2");
  EXPECT_TRUE(page.Visibility(19).value);
  EXPECT_FALSE(page.ChangePage(-1));

  state().table[kBezier].controls[19] = {};
  ModulePage bezier(session, kBezier);
  EXPECT_FALSE(bezier.HasSecondPage());
  EXPECT_EQ(bezier.Rows(), (std::vector<int>{0, 3, 9}));
}

TEST_F(ModulePageTest, TrackbarsTickAbout24TimesAcrossTheLimits) {
  const std::tuple<int32_t, int32_t, int32_t> cases[] = {
      {1, 320, 14}, {0, 20, 1}, {-100, 0, 5}, {0, 24, 2}, {INT32_MIN, INT32_MAX, 178956971}};
  for (const auto& [minimum, maximum, ticks] : cases)
    EXPECT_EQ(TickFrequency(minimum, maximum), ticks) << minimum << ".." << maximum;
  const TrackbarSetup range = page.Trackbar(19, RowNumber::RangeLo);
  EXPECT_EQ(std::tie(range.minimum, range.maximum, range.tickFrequency, range.position),
            std::make_tuple(-100, 0, 5, -100));
}

TEST_F(ModulePageTest, ModuleTestRunsTheModuleAloneAndResetRestoresTheDefinitions) {
  state().options.Active[kStar] = 1;
  page.TypeNumber(3, RowNumber::Value, "77");
  page.TestModule();
  EXPECT_EQ(StoredModules(kTestingDisplay), std::vector<std::string>{"Cyclic"});
  EXPECT_EQ(GetInt(ModuleKey(kTestingDisplay, "Cyclic"), "Control3"), 77);
  const auto& active = state().options.Active;  // the live choice stays
  EXPECT_EQ(std::tuple(active[kCyclic], active[kStar], active[kPattern]), std::tuple(0, 1, 1));

  ModulePage(session, kRandom).TestModule();  // the Random page tests the whole display
  EXPECT_EQ(StoredModules(kTestingDisplay), (std::vector<std::string>{"Pattern", "Star"}));

  page.Reset();
  EXPECT_EQ(page.Number(3, RowNumber::Value), 50);
}

TEST_F(ModulePageTest, SlideShowFileTextAndOpenBitmap) {
  ModulePage slides(session, kBitmap);
  EXPECT_EQ(slides.TestButtonText(), "Test Bitmap Settings");
  EXPECT_FALSE(slides.SetFileText(std::string(kMaxFileText + 1, 'x')));
  EXPECT_EQ(dialogs.messages.size(), 1u);
  EXPECT_TRUE(slides.SetFileText(std::string(kMaxFileText, 'y')));
  EXPECT_EQ(slides.FileText().size(), kMaxFileText);

  EXPECT_FALSE(slides.Browse({}));  // cancelled
  dialogs.answers.push_back({"D:\\Art\\sky.pcx"});
  EXPECT_TRUE(slides.Browse({"pcx", "jpg"}));
  EXPECT_EQ(slides.FileText(), "D:\\Art\\sky.pcx");
  EXPECT_EQ(session.rememberedDirectory(), "D:\\Art");
  const FileRequest& asked = dialogs.requests.back();
  EXPECT_EQ(std::tie(asked.multiple, asked.filters.front().patterns, asked.filters[1].text),
            std::tuple(false, "*.bmp;*.pcx;*.jpg;", "Bitmaps (*.bmp,*.dib,*.rle)"));
  EXPECT_EQ(dialogs.requests.front().filters.size(), 3u);  // no filter: no "Graphics files"

  EXPECT_EQ(PictureFormatsText({}), "*.bmp");
  EXPECT_EQ(PictureFormatsText({"pcx", "abcdefghijklmnopqrs"}), "*.bmp, *.pcx, *.abcdefghijklmnop");
}

}  // namespace
}  // namespace lumox
