#include "test_picture.h"

#include <algorithm>
#include <array>

namespace lumox::host {
namespace {

// A point on the colour wheel, position 0..kSaverColors-1: red, yellow,
// green, cyan, blue, magenta and back.
gfx::Rgb WheelColor(int position) {
  int sector = position * 6 / gfx::kSaverColors;
  int within = position * 6 % gfx::kSaverColors;
  auto rise = static_cast<uint8_t>(within * 255 / gfx::kSaverColors);
  auto fall = static_cast<uint8_t>(255 - rise);
  switch (sector) {
    case 0: return {255, rise, 0};
    case 1: return {fall, 255, 0};
    case 2: return {0, 255, rise};
    case 3: return {0, fall, 255};
    case 4: return {rise, 0, 255};
    default: return {255, 0, fall};
  }
}

}  // namespace

void TestPicture::DrawFrame(uint32_t frame) {
  gfx::Surface& surface = screen_.surface();
  const int width = surface.width();
  const int height = surface.height();
  for (int y = 0; y < height; ++y) {
    uint8_t* row = surface.row(y);
    for (int x = 0; x < width; ++x)
      row[x] = static_cast<uint8_t>(gfx::kFirstSaverEntry + (x + y) / 2 % gfx::kSaverColors);
  }
  // A white bar crossing the picture, four pixels per frame.
  const int barWidth = std::max(1, width / 32);
  const int barX = static_cast<int>(frame * 4 % static_cast<uint32_t>(width));
  for (int y = 0; y < height; ++y)
    std::fill_n(surface.row(y) + barX, std::min(barWidth, width - barX), uint8_t{255});
  screen_.Publish();
}

void TestPicture::PaletteStep() {
  std::array<gfx::Rgb, gfx::kSaverColors> colors;
  for (int i = 0; i < gfx::kSaverColors; ++i)
    colors[i] = WheelColor(static_cast<int>((i + phase_) % gfx::kSaverColors));
  screen_.AnimatePalette(0, gfx::kSaverColors, colors.data());
  phase_ = (phase_ + 1) % gfx::kSaverColors;
}

}  // namespace lumox::host
