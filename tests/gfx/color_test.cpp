// Colour references to physical palette entries.
#include "gfx/color.h"

#include <gtest/gtest.h>

namespace lumox::gfx {
namespace {

TEST(Color, PaletteIndicesSkipTheTenLowStaticsAndWrapAt236) {
  EXPECT_EQ(ToPhysical(PaletteIndex(0)), 10);
  EXPECT_EQ(ToPhysical(PaletteIndex(235)), 245);
  EXPECT_EQ(ToPhysical(PaletteIndex(236)), 10);
  EXPECT_EQ(ToPhysical(PaletteIndex(300)), 10 + 64);
  EXPECT_EQ(ToPhysical(0x0100FFFFu), 10 + 0xFFFF % 236);
}

TEST(Color, PlainRgbTakesTheNearestStaticColourNeverASaverEntry) {
  EXPECT_EQ(ToPhysical(MakeRgb(250, 10, 5)), 249);     // red
  EXPECT_EQ(ToPhysical(MakeRgb(100, 100, 100)), 248);  // dark grey
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
  const Rgb low[10] = {{0, 0, 0},       {128, 0, 0},    {0, 128, 0},   {128, 128, 0},
                       {0, 0, 128},     {128, 0, 128},  {0, 128, 128}, {192, 192, 192},
                       {192, 220, 192}, {166, 202, 240}};
  const Rgb high[10] = {{255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},
                        {0, 255, 0},     {255, 255, 0},   {0, 0, 255},     {255, 0, 255},
                        {0, 255, 255},   {255, 255, 255}};
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(StaticColor(i), low[i]) << i;
    EXPECT_EQ(StaticColor(246 + i), high[i]) << 246 + i;
    EXPECT_EQ(ToPhysical(MakeRgb(low[i].red, low[i].green, low[i].blue)), i);
    EXPECT_EQ(ToPhysical(MakeRgb(high[i].red, high[i].green, high[i].blue)), 246 + i);
  }
  EXPECT_EQ(StaticColor(100), (Rgb{}));
  EXPECT_EQ(StaticColor(-1), (Rgb{}));
  EXPECT_EQ(StaticColor(256), (Rgb{}));
}

}  // namespace
}  // namespace lumox::gfx
