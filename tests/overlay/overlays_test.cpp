// The overlay boxes over a stand-in module that repaints the whole screen
// every frame: where each box appears, how long it stays, that nothing
// paints over it meanwhile, what happens to hostile texts and small screens.
// Box sizes follow from the block font: 6 pixels per character, 10 per line.
#include "overlay/overlays.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <tuple>

#include "control/sound_link.h"
#include "control/sound_share.h"
#include "gfx/canvas.h"
#include "overlay/block_font.h"
#include "overlay/shown_text.h"
#include "platform/clock.h"
#include "state/saver_state.h"

namespace lumox::testing {
namespace {

using gfx::Rect;

constexpr uint8_t kModuleColour = 100;  // what the stand-in module paints
constexpr uint8_t kBlackIndex = 0, kLightGrey = 7, kDarkGrey = 248, kWhiteIndex = 255;

class OverlaysTest : public ::testing::Test {
 protected:
  OverlaysTest() {
    InstallClock(&clock_);
    SetCurrentSoundShare(&share_);
    saver_->options.ShowName = 0;
    saver_->options.ShowInfo = 1;
  }
  ~OverlaysTest() override {
    SetCurrentSoundShare(nullptr);
    InstallClock(nullptr);
  }

  void Begin(int width, int height) {
    surface_ = std::make_unique<gfx::Surface>(width, height);
    surface_->Fill(kModuleColour);
    canvas_ = std::make_unique<gfx::Canvas>(*surface_);
    SetUpOverlays(*canvas_, *saver_, false, &font_);
  }
  // The overlays' step, then the module paints everything it may.
  void Frame() {
    DrawOverlays(*canvas_, *saver_);
    canvas_->FillRect(0, 0, surface_->width(), surface_->height(),
                      gfx::Brush::Solid(gfx::PaletteIndex(kModuleColour - 10)));
    clock_.Advance(16);
  }
  void RunFor(uint32_t ms) {
    for (uint32_t t = 0; t < ms; t += 16) Frame();
  }
  uint8_t Pixel(int x, int y) const { return surface_->row(y)[x]; }
  bool AllOf(const Rect& r, uint8_t value) const {
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if (Pixel(x, y) != value) return false;
    return true;
  }
  // The three frames at their documented insets (sunken 0, raised 8,
  // etched 14), the face light grey, black text inside, and the module's
  // colour right outside.
  ::testing::AssertionResult Framed(const Rect& r) const {
    const std::tuple<int, int, uint8_t> probes[] = {
        {r.left, r.top, kDarkGrey},                // sunken, outer top-left
        {r.right - 1, r.bottom - 1, kWhiteIndex},  // sunken, outer bottom-right
        {r.left + 1, r.top + 1, kBlackIndex},      // sunken, inner top-left
        {r.left + 4, r.top + 4, kLightGrey},       // face
        {r.left + 9, r.top + 9, kWhiteIndex},      // raised, inner top-left
        {r.right - 9, r.bottom - 9, kBlackIndex},  // raised, outer bottom-right
        {r.left + 14, r.top + 14, kDarkGrey},      // etched, outer top-left
        {r.left + 15, r.top + 15, kWhiteIndex},    // etched, inner top-left
    };
    for (const auto& [x, y, expected] : probes)
      if (Pixel(x, y) != expected)
        return ::testing::AssertionFailure() << "(" << x << "," << y << ") is " << int(Pixel(x, y));
    if ((r.left > 0 && Pixel(r.left - 1, r.top) != kModuleColour) ||
        (r.top > 0 && Pixel(r.left, r.top - 1) != kModuleColour))
      return ::testing::AssertionFailure() << "the box reaches left of or above its rectangle";
    if (AllOf({r.left + 22, r.top + 22, r.right - 22, r.bottom - 22}, kLightGrey))
      return ::testing::AssertionFailure() << "no text inside";
    return ::testing::AssertionSuccess();
  }
  void SetInfo(const char* first, const char* second, const char* third, uint32_t serial) {
    share_.SetText(share_offset::InfoText1, kInfoTextSize, first);
    share_.SetText(share_offset::InfoText2, kInfoTextSize, second);
    share_.SetText(share_offset::InfoText3, kInfoTextSize, third);
    share_.SetU32(share_offset::InfoSerial, serial);
  }
  int VisibleCount() {
    Rect boxes[kOverlayBoxCount];
    return VisibleOverlayBoxes(boxes);
  }

  ManualClock clock_{5000};
  SoundShareBytes bytes_;
  SoundShare share_{bytes_.bytes};
  std::unique_ptr<SaverState> saver_ = std::make_unique<SaverState>();
  BlockFont font_;
  std::unique_ptr<gfx::Surface> surface_;
  std::unique_ptr<gfx::Canvas> canvas_;
};

TEST_F(OverlaysTest, TitleShowsShowNameSecondsAtTheTopCentreAndAgainForANewName) {
  saver_->options.ShowName = 5;
  std::strcpy(saver_->displayName, "[D] Sphere");  // 60 px: half width 30 + 29
  Begin(640, 480);
  const Rect box{320 - 59, 0, 320 + 59, 10 + 44};
  Frame();
  EXPECT_TRUE(Framed(box));
  RunFor(4900);
  EXPECT_TRUE(Framed(box)) << "overdrawn while visible";
  clock_.Advance(200);
  DrawOverlays(*canvas_, *saver_);
  EXPECT_TRUE(AllOf(box, kBlackIndex)) << "not blacked out after 5 s";
  EXPECT_EQ(VisibleCount(), 0);
  RunFor(3000);
  EXPECT_TRUE(AllOf(box, kModuleColour)) << "the same name came back";

  std::strcpy(saver_->displayName, "Another one");  // the Random module loaded another display
  Frame();
  EXPECT_TRUE(Framed({320 - 62, 0, 320 + 62, 54}));  // 66 px: half width 33 + 29
  std::strcpy(saver_->displayName, "Mine");
  DrawOverlays(*canvas_, *saver_);
  EXPECT_TRUE(AllOf({320 - 62, 0, 320 - 41, 54}, kBlackIndex)) << "the old box is not blacked out";
  Frame();
  EXPECT_TRUE(Framed({320 - 41, 0, 320 + 41, 54}));
}

TEST_F(OverlaysTest, InfoBoxFollowsThePlayersSerial) {
  SetInfo("Artist", "Title of song", "0:42", 1);
  Begin(640, 480);
  RunFor(500);
  EXPECT_TRUE(AllOf({0, 0, 640, 480}, kModuleColour)) << "shown without a player";

  share_.SetU32(share_offset::PlayerActive, 1);
  Frame();
  const Rect box{0, 480 - 74, 13 * 6 + 58, 480};  // three lines; the widest is 13 characters
  EXPECT_TRUE(Framed(box));
  EXPECT_EQ(font_.lines, (std::vector<std::string>{"Title of song", "Artist", "0:42"}));

  RunFor(2000);
  SetInfo("B", "Next", "", 2);  // a new track while the box is visible
  DrawOverlays(*canvas_, *saver_);
  const Rect next{0, 480 - 74, 4 * 6 + 58, 480};
  EXPECT_TRUE(AllOf({next.right, box.top, box.right, 480}, kBlackIndex));
  Frame();
  EXPECT_TRUE(Framed(next));
  RunFor(4300);
  EXPECT_TRUE(Framed(next));
  RunFor(100);
  EXPECT_TRUE(AllOf(next, kModuleColour)) << "still there after 4332 ms";

  SetInfo("", "", "", 3);  // nothing to show: no box, and the old place is not cleared
  DrawOverlays(*canvas_, *saver_);
  EXPECT_EQ(VisibleCount(), 0);
  EXPECT_TRUE(AllOf(next, kModuleColour)) << "a hidden box was blacked out";
  saver_->options.ShowInfo = 0;
  SetInfo("A", "B", "C", 4);
  RunFor(500);
  EXPECT_TRUE(AllOf({0, 0, 640, 480}, kModuleColour)) << "shown with ShowInfo off";

  // Texts are cut where they stop being printable: Windows-1252 letters stay,
  // control bytes and DEL end a text; InfoText2 fills its field without a
  // terminating zero, and InfoText3 follows it.
  saver_->options.ShowInfo = 1;
  SetInfo("caf\xE9 \x80\xFF\x7F" "cd", "", "line\nbreak", 7);
  std::memset(bytes_.bytes + share_offset::InfoText2, 'W', kInfoTextSize);
  font_.lines.clear();
  Frame();
  EXPECT_EQ(font_.lines,
            (std::vector<std::string>{std::string(63, 'W'), "caf\xE9 \x80\xFF", "line"}));
  EXPECT_TRUE(Framed({0, 480 - 74, 63 * 6 + 58, 480}));
}

// A buffer of one byte gets the terminator only; nothing lands past the size given.
TEST(ShownText, WritesNoMoreThanTheBufferHolds) {
  for (size_t size : {size_t{1}, size_t{5}}) {
    char buffer[8] = "#######";
    EXPECT_EQ(ShownText(buffer, size, "abcdefgh", 8), size - 1);
    EXPECT_EQ(std::string(buffer), std::string("abcdefgh", size - 1));
    EXPECT_EQ(buffer[size], '#');
  }
}

// Set-up also publishes whether the window covers the screen.
TEST_F(OverlaysTest, SloganShowsOnceAtTheBottomRight) {
  std::strcpy(saver_->slogan, "Lumox!");
  Begin(640, 480);
  EXPECT_EQ(share_.U32(share_offset::FullScreenSaver), 0u);
  SetUpOverlays(*canvas_, *saver_, true, &font_);
  EXPECT_EQ(share_.U32(share_offset::FullScreenSaver), 1u);
  Frame();
  const Rect box{640 - (36 + 58), 480 - 54, 640, 480};
  EXPECT_TRUE(Framed(box));
  RunFor(6150);
  EXPECT_TRUE(Framed(box));
  RunFor(100);
  EXPECT_TRUE(AllOf(box, kModuleColour));
  RunFor(10000);
  EXPECT_TRUE(AllOf(box, kModuleColour)) << "the slogan came back";
}

TEST_F(OverlaysTest, BoxesThatWouldNotFitAreNeverShown) {
  saver_->options.ShowName = 5;
  std::strcpy(saver_->displayName, "[D] Sphere");
  std::strcpy(saver_->slogan, "Lumox!");
  share_.SetU32(share_offset::PlayerActive, 1);
  for (auto [width, height] : {std::pair{152, 112}, {1, 1}, {16384, 16}, {16, 16384}, {0, 0}}) {
    SetInfo("Artist", "Title", "0:42", 1 + width);
    Begin(width, height);
    for (int frame = 0; frame < 5; ++frame) DrawOverlays(*canvas_, *saver_);
    EXPECT_EQ(VisibleCount(), 0) << width << "x" << height;
    EXPECT_TRUE(AllOf({0, 0, width, height}, kModuleColour));
  }
  // An info box (240 + 58 wide, 74 high) would come within 80 pixels of the
  // right edge, or within 100 of the top.
  std::memset(saver_->slogan, 0, sizeof saver_->slogan);
  saver_->options.ShowName = 0;
  SetInfo("", std::string(40, 'M').c_str(), "", 99);
  for (auto [width, height, shown] : {std::tuple{377, 480, 0}, std::tuple{379, 480, 1},
                                      std::tuple{379, 174, 0}, std::tuple{379, 175, 1}}) {
    Begin(width, height);
    Frame();
    EXPECT_EQ(VisibleCount(), shown) << width << "x" << height;
  }
}

}  // namespace
}  // namespace lumox::testing
