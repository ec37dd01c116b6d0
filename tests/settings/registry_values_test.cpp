#include "settings/registry_values.h"

#include <gtest/gtest.h>

#include "state/palette_state.h"
#include "settings/saved_displays.h"
#include "settings_fixture.h"

namespace lumox {
namespace {

using testing::SettingsTest;

class RegistryValuesTest : public SettingsTest {};

TEST_F(RegistryValuesTest, ReadZeroFillsAndRefusesValuesLargerThanTheBuffer) {
  PutBytes("Screen Saver.Lumox", "Short", kRegBinary, {1, 2});
  PutBytes("Screen Saver.Lumox", "Long", kRegBinary, {1, 2, 3, 4, 5});

  uint8_t buffer[4] = {9, 9, 9, 9};
  size_t got = 99;
  EXPECT_EQ(ReadRegistryValue("Short", SettingsKey(), kRegBinary, buffer, 4, &got), 1);
  EXPECT_EQ(got, 2u);
  EXPECT_EQ(buffer[1], 2);
  EXPECT_EQ(buffer[2], 0);  // zero-filled beyond the stored bytes

  buffer[0] = 9;
  EXPECT_EQ(ReadRegistryValue("Long", SettingsKey(), kRegBinary, buffer, 4), 0);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(ReadRegistryValue("Missing", SettingsKey(), kRegBinary, buffer, 4), 0);
  EXPECT_EQ(ReadRegistryValue("Short", "No Such Key", kRegBinary, buffer, 4), 0);

  // A number is taken only at exactly four bytes; otherwise the default stays.
  int32_t value = 42;
  EXPECT_FALSE(ReadInt32("Short", SettingsKey(), value));
  EXPECT_FALSE(ReadInt32("Long", SettingsKey(), value));
  EXPECT_EQ(value, 42);
  PutInt(SettingsKey(), "Negative", -7);
  EXPECT_TRUE(ReadInt32("Negative", SettingsKey(), value));
  EXPECT_EQ(value, -7);
}

TEST_F(RegistryValuesTest, WriteNeverCreatesTheKey) {
  const int32_t speed = 3;
  EXPECT_EQ(WriteRegistryValue("Speed", SettingsKey(), kRegDword, &speed, 4), 0);
  EXPECT_TRUE(DumpKeys("").empty());
  EXPECT_FALSE(WriteActiveName("Anything"));
  EXPECT_TRUE(DumpKeys("").empty());

  PutInt(SettingsKey(), "Other", 1);
  EXPECT_EQ(WriteRegistryValue("Speed", SettingsKey(), kRegDword, &speed, 4), 1);
  EXPECT_EQ(GetInt(SettingsKey(), "Speed"), 3);
  // Size 0 deletes the value.
  EXPECT_EQ(WriteRegistryValue("Speed", SettingsKey(), kRegDword, nullptr, 0), 1);
  EXPECT_FALSE(HasValue(SettingsKey(), "Speed"));
}

TEST_F(RegistryValuesTest, KeyExistsTakesAFullPath) {
  PutInt(SavedKey(), "X", 1);
  EXPECT_EQ(RegistryKeyExists("Control Panel\\Screen Saver.Lumox\\Saved"), 1);
  EXPECT_EQ(RegistryKeyExists("Screen Saver.Lumox\\Saved"), 0);
}

TEST_F(RegistryValuesTest, TextsAreCutToTheirBuffer) {
  PutBytes(SettingsKey(), "Active", kRegSz, {'a', 'b', 'c', 0});
  std::string text;
  EXPECT_TRUE(ReadText("Active", SettingsKey(), 128, text));
  EXPECT_EQ(text, "abc");
  EXPECT_FALSE(ReadText("Active", SettingsKey(), 3, text));  // 4 bytes do not fit 3
  EXPECT_EQ(text, "");
  PutBytes(SettingsKey(), "Unterminated", kRegSz, {'x', 'y', 'z'});
  EXPECT_TRUE(ReadText("Unterminated", SettingsKey(), 3, text));
  EXPECT_EQ(text, "xy");
}

TEST_F(RegistryValuesTest, StoredNamesKeepTheirSpelling) {
  EXPECT_STREQ(ControlValueName(ControlField::Value, 0), "Control0");
  EXPECT_STREQ(ControlValueName(ControlField::Source, 10), "Check10");
  EXPECT_STREQ(ControlValueName(ControlField::Sense, 19), "Sense19");
  EXPECT_EQ(PaletteValueName(kBlue, kMorphRate, PaletteField::RangeHi), "BlueMorphRateRangeHi");
  EXPECT_EQ(PaletteValueName(kGreen, kCycleRate, PaletteField::Source), "CycleRateSource");
  EXPECT_EQ(PaletteValueName(kGreen, kSeconds, PaletteField::Sense), "RedSecondsSense");
  EXPECT_EQ(PaletteValueName(kGreen, kSeconds, PaletteField::RangeLo), "GreenSecondsRangeLo");
}

}  // namespace
}  // namespace lumox
