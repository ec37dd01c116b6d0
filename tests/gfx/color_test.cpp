// Colour references to physical palette entries.
#include "gfx/color.h"

#include <gtest/gtest.h>

namespace lumox::gfx {
namespace {

TEST(Color, PaletteIndicesSkipTheTenLowStaticsAndPlainRgbTakesTheNearestStatic) {
  for (auto [color, physical] : {std::pair{PaletteIndex(0), 10}, {PaletteIndex(235), 245},
                                 {PaletteIndex(236), 10}, {PaletteIndex(300), 74},
                                 {0x0100FFFFu, 10 + 0xFFFF % 236},
                                 {MakeRgb(250, 10, 5), 249}, {MakeRgb(100, 100, 100), 248}}) {
    EXPECT_EQ(ToPhysical(color), physical) << std::hex << color;
  }
  for (uint32_t c = 0; c < 0x1000000u; c += 0x010305u) EXPECT_TRUE(IsStaticEntry(ToPhysical(c)));
}

TEST(Color, InversionKeepsSaverEntriesAndSwapsStatics) {
  for (int p = 10; p < 246; ++p) {
    EXPECT_FALSE(IsStaticEntry(Invert(static_cast<PhysicalIndex>(p))));
    EXPECT_EQ(Invert(Invert(static_cast<PhysicalIndex>(p))), p);
  }
  EXPECT_EQ(Invert(0), 255);
  EXPECT_EQ(Invert(7), 248);                              // light grey and dark grey swap
  EXPECT_EQ(StaticColor(Invert(1)), (Rgb{0, 255, 255}));  // dark red -> cyan
}

TEST(Color, TheTwentyStaticColoursOfTheDisplay) {
  const Rgb statics[20] = {{0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},
                           {0, 0, 128},     {128, 0, 128},   {0, 128, 128},   {192, 192, 192},
                           {192, 220, 192}, {166, 202, 240}, {255, 251, 240}, {160, 160, 164},
                           {128, 128, 128}, {255, 0, 0},     {0, 255, 0},     {255, 255, 0},
                           {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
  for (int i = 0; i < 20; ++i) {
    const int entry = i < 10 ? i : 236 + i;
    EXPECT_EQ(StaticColor(entry), statics[i]) << entry;
    EXPECT_EQ(ToPhysical(MakeRgb(statics[i].red, statics[i].green, statics[i].blue)), entry);
  }
  for (int entry : {100, -1, 256}) EXPECT_EQ(StaticColor(entry), (Rgb{})) << entry;
}

}  // namespace
}  // namespace lumox::gfx
