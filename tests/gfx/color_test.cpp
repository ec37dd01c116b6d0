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

TEST(Color, PlainRgbTakesTheNearestStaticColour) {
  EXPECT_EQ(ToPhysical(kBlack), 0);
  EXPECT_EQ(ToPhysical(kWhite), 255);
  EXPECT_EQ(ToPhysical(MakeRgb(250, 10, 5)), 249);     // red
  EXPECT_EQ(ToPhysical(MakeRgb(0, 0, 140)), 4);        // dark blue
  EXPECT_EQ(ToPhysical(MakeRgb(100, 100, 100)), 248);  // dark grey
  EXPECT_EQ(ToPhysical(MakeRgb(190, 190, 190)), 7);    // light grey
  EXPECT_EQ(ToPhysical(MakeRgb(255, 250, 238)), 246);  // cream
  // Never a saver entry, whatever the colour.
  for (uint32_t c = 0; c < 0x1000000u; c += 0x010305u) {
    const int p = ToPhysical(c);
    EXPECT_TRUE(IsStaticEntry(p)) << std::hex << c;
  }
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

TEST(Color, StaticColoursOfTheDisplay) {
  // The grey ramp and the two ends that the frames and inversion rely on.
  EXPECT_EQ(StaticColor(0), (Rgb{0, 0, 0}));
  EXPECT_EQ(StaticColor(7), (Rgb{192, 192, 192}));
  EXPECT_EQ(StaticColor(248), (Rgb{128, 128, 128}));
  EXPECT_EQ(StaticColor(255), (Rgb{255, 255, 255}));
  EXPECT_EQ(StaticColor(100), (Rgb{}));
  EXPECT_EQ(StaticColor(-1), (Rgb{}));
  EXPECT_EQ(StaticColor(256), (Rgb{}));
}

}  // namespace
}  // namespace lumox::gfx
