// The Slide Show against folders of pictures the tests write: the order
// of the pictures, damaged and vanishing files, the placements, and Stop
// while a loader is busy. The loader is a real thread: the tests give it
// real time between frames and wait for what it draws with a time limit.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <thread>

#include "image/bmp_bytes.h"
#include "image/image_files.h"
#include "module_harness.h"
#include "platform/temp_dir.h"

namespace lumox::testing {
namespace {

enum Slot { kDisplayType = 0, kDuration = 2, kSmoothing = 3, kFileOrScreen = 5 };

// An 8-bit BMP whose pixel values are `rows` (top row first).
void WriteBmp(const std::string& path, const std::vector<std::vector<uint8_t>>& rows) {
  BmpFile bmp;
  bmp.width = static_cast<int32_t>(rows[0].size());
  bmp.height = -static_cast<int32_t>(rows.size());
  bmp.colors.assign(256, 0);
  bmp.data = PadRows(rows);
  const std::vector<uint8_t> bytes = bmp.Bytes();
  WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

void WriteFlatBmp(const std::string& path, uint8_t value) {
  WriteBmp(path, std::vector<std::vector<uint8_t>>(3, std::vector<uint8_t>(4, value)));
}

// The next picture's due time outlives the module, as in the saver: each
// harness starts its clock far past any due time an earlier test left.
void StartLate(ModuleHarness& h) {
  static uint32_t start = 0;
  start += 1u << 21;  // more than the longest Duration (1000 s)
  h.clock().Set(start);
}

class SlideShowTest : public ::testing::Test {
 protected:
  ModuleHarness& Show(int width, int height, const std::string& mask) {
    h_.reset();  // its destructor uninstalls the clock
    h_ = std::make_unique<ModuleHarness>(kBitmap, width, height);
    StartLate(*h_);
    std::strncpy(h_->module().text, mask.c_str(), kModuleTextSize - 1);
    h_->Set(kSmoothing, 0);
    SetImagePosition(0);
    return *h_;
  }
  // Draws 100 ms frames, with a moment of real time for the loader after
  // each, until `done` holds; false after 5 s of real time.
  bool DrawUntil(const std::function<bool()>& done) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < limit) {
      h_->Draw();
      if (done()) return true;
      h_->clock().Advance(100);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
  }
  uint8_t Pixel(int x, int y) { return h_->surface().row(y)[x]; }

  TempDir dir_;
  std::unique_ptr<ModuleHarness> h_;
};

TEST_F(SlideShowTest, FilesInOrderSkippingTheDamagedOnes) {
  WriteFlatBmp(dir_.File("a.bmp"), 20);
  WriteFile(dir_.File("b.bmp"), "BM not a picture");
  WriteFlatBmp(dir_.File("c.BMP"), 40);
  WriteFile(dir_.File("c2.bmp"), std::string("BM\0\0\0\0", 6));
  WriteFlatBmp(dir_.File("d.bmp"), 60);
  WriteFlatBmp(dir_.File("e.txt"), 80);
  ModuleHarness& h = Show(16, 12, dir_.path() + "/*.bmp");
  h.Set(kDuration, 1);
  h.Init();
  h.Start();
  // The position starts at 0 and advances before each load: the second
  // file comes first.
  std::vector<uint8_t> shown;
  for (int picture = 0; picture < 4; ++picture) {
    const uint8_t before = Pixel(7, 5);
    ASSERT_TRUE(DrawUntil([&] { return Pixel(7, 5) != before; })) << "picture " << picture;
    shown.push_back(Pixel(7, 5));
  }
  h.Stop();
  EXPECT_EQ(shown, (std::vector<uint8_t>{PhysicalOf(40), PhysicalOf(60), PhysicalOf(20),
                                         PhysicalOf(40)}));
  EXPECT_TRUE(h.surface().row(0)[0] == shown.back() && h.surface().row(11)[15] == shown.back());
}

// The tiling copies: plain tiling copies the picture to x = w - 1, 2w - 1,
// ... (each overlapping its left neighbour by one column), and the band of
// the first row to y = h - 1, 2h - 1, ...; mirrored tiling reverses every
// other copy. The picture's columns read 1 2 3 (its rows alike).
TEST_F(SlideShowTest, TilingCopiesAndMirrors) {
  WriteBmp(dir_.File("p.bmp"), {{1, 2, 3}, {1, 2, 3}});
  const uint8_t a = PhysicalOf(1), b = PhysicalOf(2), c = PhysicalOf(3);
  const std::pair<int, std::vector<uint8_t>> cases[] = {
      {3, {a, b, a, b, c, a, b, a, a}},  // copies at x = 2, 5, 8 of what is there
      {2, {a, b, c, c, b, a, b, b, c}},  // mirrored onto 3..6, then plain onto 5..8
  };
  for (const auto& [type, expected] : cases) {
    ModuleHarness& h = Show(9, 5, dir_.File("p.bmp"));
    h.Set(kDisplayType, type);
    h.Init();
    h.Start();
    ASSERT_TRUE(DrawUntil([&] { return Pixel(8, 4) != kUntouched; })) << type;
    h.Stop();
    for (int y : {0, 4})
      EXPECT_EQ(std::vector<uint8_t>(h.surface().row(y), h.surface().row(y) + 9), expected)
          << "type " << type << " row " << y;
  }
}

// Files replaced, cut short and deleted while the loader reads them: the
// show goes on and stops cleanly.
TEST_F(SlideShowTest, FilesChangingUnderTheLoader) {
  for (int i = 0; i < 6; ++i) WriteFlatBmp(dir_.File("f" + std::to_string(i) + ".bmp"), 30);
  ModuleHarness& h = Show(32, 24, dir_.path() + "/*.bmp");
  h.Set(kDuration, 0);
  std::atomic<bool> done{false};
  std::thread vandal([&] {
    for (int round = 0; !done; ++round) {
      const std::string path = dir_.File("f" + std::to_string(round % 6) + ".bmp");
      // Windows refuses to remove a file the loader has open: then the
      // loader simply reads it whole.
      std::error_code inUse;
      std::filesystem::remove(path, inUse);
      if (round % 3 == 0)
        WriteFile(path, std::string("BM\x36\0\0\0", 6));  // cut short
      else
        WriteFlatBmp(path, static_cast<uint8_t>(30 + round % 50));
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  });
  h.Init();
  h.Start();
  int frames = 0;
  EXPECT_TRUE(DrawUntil([&] { return !h.Untouched() && ++frames > 100; }));
  h.Stop();
  done = true;
  vandal.join();
}

// Screen mode copies the screen at half size and shows it again: a black
// left half and a painted right half stay apart.
TEST_F(SlideShowTest, ScreenModeShowsACopyOfTheScreen) {
  ModuleHarness& h = Show(20, 10, "");
  h.Set(kFileOrScreen, 1);
  h.Set(kDuration, 0);
  gfx::Canvas& dc = h.canvas();
  dc.PatBlt(0, 0, 10, 10, gfx::RasterOp::Blackness);
  dc.PatBlt(10, 0, 10, 10, gfx::RasterOp::Whiteness);
  h.Init();
  h.Start();
  ASSERT_TRUE(DrawUntil([&] { return Pixel(0, 0) != 0; }));
  h.Stop();
  // Black becomes the grey table's black entry, white its brightest.
  EXPECT_EQ(Pixel(3, 5), Pixel(0, 0));
  EXPECT_NE(Pixel(3, 5), Pixel(16, 5));
}

}  // namespace
}  // namespace lumox::testing
