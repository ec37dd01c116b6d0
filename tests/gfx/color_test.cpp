// Colour references to physical palette entries.
#include "gfx/color.h"

#include <gtest/gtest.h>

namespace lumox::gfx {
namespace {

TEST(Color, PaletteIndicesSkipTheTenLowStaticsAndPlainRgbTakesTheNearestStatic) {
  EXPECT_EQ(ToPhysical(PaletteIndex(300)), 10 + 300 % 236);
  for (uint32_t c = 0; c < 0x1000000u; c += 0x010305u) EXPECT_TRUE(IsStaticEntry(ToPhysical(c)));
}

// Inversion swaps each static with its opposite (the table read backwards)
// and keeps saver entries saver entries.
TEST(Color, TheTwentyStaticColoursOfTheDisplayAndTheirInverses) {
  const Rgb statics[20] = {{0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},
                           {0, 0, 128},     {128, 0, 128},   {0, 128, 128},   {192, 192, 192},
                           {192, 220, 192}, {166, 202, 240}, {255, 251, 240}, {160, 160, 164},
                           {128, 128, 128}, {255, 0, 0},     {0, 255, 0},     {255, 255, 0},
                           {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
  for (int i = 0; i < 20; ++i) {
    const int entry = i < 10 ? i : 236 + i;
    EXPECT_EQ(StaticColor(entry), statics[i]) << entry;
    EXPECT_EQ(ToPhysical(MakeRgb(statics[i].red, statics[i].green, statics[i].blue)), entry);
    EXPECT_EQ(StaticColor(Invert(static_cast<PhysicalIndex>(entry))), statics[19 - i]) << entry;
  }
  for (int p = 10; p < 246; ++p) EXPECT_FALSE(IsStaticEntry(Invert(static_cast<PhysicalIndex>(p))));
}

}  // namespace
}  // namespace lumox::gfx
