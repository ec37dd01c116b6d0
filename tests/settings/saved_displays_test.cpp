#include "settings/saved_displays.h"

#include <gtest/gtest.h>

#include <cstring>

#include "settings/registry_values.h"
#include "settings/settings_file.h"
#include "settings_fixture.h"

namespace lumox {
namespace {

using testing::Bytes;

const std::string kDisplay = "Mine";

// A control's stored fields: value, range low and high, source, sense.
std::tuple<int32_t, int32_t, int32_t, int32_t, int32_t> Fields(const ModuleControl& c) {
  return {c.Value, c.RangeLo, c.RangeHi, c.Source, c.Sense};
}

class SavedDisplaysTest : public testing::SettingsTest {};

TEST_F(SavedDisplaysTest, FreshUserGetsTheFirstRunDisplaysOnceAndRunsTheRandomModule) {
  SetUpSavedDisplays(state());
  const std::vector<std::string> expected = {
      "[D] Bezier", "[D] Cyclic", "[D] Pattern", "[D] Plasma", "[D] Polygon",
      "[D] Sphere", "[D] Stain",  "[D] Star",    "[D] Vortex", kSoundSettingsDisplay};
  EXPECT_EQ(ListSavedDisplays(), expected);
  EXPECT_EQ(ReadActiveName(), kSoundSettingsDisplay);
  for (int i = 0; i < kModuleCount; ++i) EXPECT_EQ(state().options.Active[i], i == kRandom) << i;
  EXPECT_EQ(state().options.ShowInfo, 1);
  // Each holds its one module at its definition and the table's effects
  // (Star: Ramp, the others Random).
  for (int i = kBezier; i <= kVortex; ++i) {
    const std::string name = std::string("[D] ") + kModuleNames[i];
    EXPECT_EQ(Dump(ControlPanelPath(ModulesKey(name))).size(), 1u + 4 * 5) << name;
    EXPECT_EQ(GetInt(ModuleKey(name, kModuleNames[i]), "Control3"), 50);
    EXPECT_EQ(GetInt(PaletteKey(name), "BlueEffect"), i == kStar ? kEffectRamp : kEffectRandom);
  }
  EXPECT_TRUE(ContainsRandom(kSoundSettingsDisplay));

  DeleteDisplay("[D] Bezier");
  SetUpSavedDisplays(state());
  EXPECT_FALSE(KeyExists(DisplayKey("[D] Bezier")));
}

TEST_F(SavedDisplaysTest, ActiveNamingAMissingOrEmptyDisplayFallsBackToSoundSettings) {
  SetUpSavedDisplays(state());
  for (const char* active : {"Gone", "Empty", ""}) {
    PutInt(DisplayKey("Empty"), "Priority", kPriorityHigh);  // options only, no module
    WriteActiveName(active);
    SetUpSavedDisplays(state());
    EXPECT_EQ(ReadActiveName(), kSoundSettingsDisplay) << active;
    EXPECT_STREQ(state().displayName, kSoundSettingsDisplay);
    EXPECT_EQ(state().options.Active[kRandom], 1);
  }
}

TEST_F(SavedDisplaysTest, DisplayNamesNoStoreCanHoldAreRefusedUpFront) {
  SetUpSavedDisplays(state());
  const auto before = Dump("");
  const Bytes file = {0x00, 0x42, 0x00, 0x42, 1, 0, 0, 0, 0, 2, 0, 0, 0, 'X', 0, 3, 0, 0, 0, 0, 0, 0, 0};
  for (const std::string& name : {std::string(), std::string(256, 'n'), std::string(259, 'n'),
                                  std::string("Tab\tName"), std::string("Line\nBreak"),
                                  std::string("a\\b"), std::string(".."), std::string(".")}) {
    EXPECT_FALSE(IsValidDisplayName(name)) << name;
    EXPECT_FALSE(DisplayNameProblem(name).empty()) << name;
    EXPECT_FALSE(SaveDisplay(state(), name.c_str())) << name;
    const SettingsFileResult imported = ImportSettingsBytes(name.c_str(), file);
    EXPECT_EQ(imported.status, SettingsFileStatus::kInvalidName) << name;
    EXPECT_EQ(imported.message, DisplayNameProblem(name));
    EXPECT_EQ(Dump(""), before) << name;
  }
  // The longest name a registry key can have is saved and run.
  const std::string longest(255, 'n');
  state().options.Active = {};
  state().options.Active[kCyclic] = 1;
  EXPECT_TRUE(SaveDisplay(state(), longest.c_str()));
  SetUpSavedDisplays(state());
  EXPECT_EQ(ReadActiveName(), longest);
  EXPECT_EQ(std::string(state().displayName), longest);
  EXPECT_EQ(state().options.Active[kCyclic], 1);
  EXPECT_EQ(state().options.Active[kRandom], 0);
}

TEST_F(SavedDisplaysTest, LoadTakesStoredValuesDefaultsForMissingOnesAndRepairsTheRest) {
  const std::string bezier = ModuleKey(kDisplay, "Bezier");
  PutInt(bezier, "Control3", 70);  // no RangeLo3, RangeHi3, Check3, Sense3
  PutInt(bezier, "RangeHi0", 12);
  PutInt(bezier, "Check0", kSourceRandom);
  PutInt(bezier, "Sense0", 3);
  PutInt(ModuleKey(kDisplay, "Cyclic"), "Control0", 50);    // beyond its maximum of 20
  PutInt(ModuleKey(kDisplay, "Cyclic"), "RangeHi0", -1);    // below its minimum of 0
  PutInt(DisplayKey(kDisplay), "ShowName", 30);             // no SlowCPU, Priority, ...
  state().table[kBezier].controls[3].RangeLo = 99;          // left over from an earlier load
  state().options.Priority = kPriorityHigh;
  state().options.ShowInfo = 1;
  palette().settings.values[kDensity][kGreen].Value = 77;  // no "Palette" key: defaults

  ASSERT_EQ(LoadDisplay(state(), kDisplay.c_str()), 1);
  const ModuleControl* c = state().table[kBezier].controls.data();
  EXPECT_EQ(Fields(c[3]), std::make_tuple(70, 10, 100, kSourceSet, 10));
  EXPECT_EQ(Fields(c[0]), std::make_tuple(4, 0, 12, kSourceRandom, 3));
  EXPECT_EQ(Fields(state().table[kCyclic].controls[0]), std::make_tuple(4, 0, 20, kSourceSet, 10));
  for (int i = 0; i < kModuleCount; ++i) {
    EXPECT_EQ(state().options.Active[i], i == kBezier || i == kCyclic) << i;
  }
  EXPECT_EQ(palette().settings.values[kDensity][kGreen].Value, 6);
  EXPECT_EQ(share().U32(share_offset::SlowCPU), 1u);
  EXPECT_EQ(share().U32(share_offset::AutoGain), 1u);
  EXPECT_EQ(state().options.Priority, kPriorityHigh);
  EXPECT_EQ(state().options.ShowInfo, 0);
  EXPECT_EQ(state().options.ShowName, 30);
  EXPECT_EQ(share().Text(share_offset::DisplayName, kShareDisplayNameSize), kDisplay);
}

TEST_F(SavedDisplaysTest, ShortValuesReadZeroFilledLongerOnesKeepTheirDefaults) {
  const std::string key = ModuleKey(kDisplay, "Pattern");
  PutBytes(key, "Control0", {7, 0});                     // 2 bytes: 7
  PutBytes(key, "Check0", {});                           // no bytes at all: 0
  PutBytes(key, "Sense0", {0x34, 0x12, 0x01});           // 3 bytes: 0x11234
  PutBytes(key, "Control3", {60, 0, 0, 0, 0, 0, 0, 0});  // too long: the default 50
  PutBytes(key, "Path", Bytes(261, 'x'), kRegSz);        // beyond 260 bytes: empty
  PutBytes(DisplayKey(kDisplay), "ShowName", {30});
  PutBytes(SettingsKey(), "Speed", {5, 0});
  PutBytes(PaletteKey(kDisplay), "RedEffect", {kEffectCustom});
  PutBytes(PaletteKey(kDisplay), "Custom", {1, 2, 3, 4, 5});  // one colour and a part
  std::strcpy(state().table[kPattern].text, "old");
  palette().custom[2].Set({9, 9, 9});

  ASSERT_EQ(LoadDisplay(state(), kDisplay.c_str()), 1);
  const ModuleControl* c = state().table[kPattern].controls.data();
  EXPECT_EQ(Fields(c[0]), std::make_tuple(7, 0, 20, 0, 0x11234));
  EXPECT_EQ(c[3].Value, 50);
  EXPECT_STREQ(state().table[kPattern].text, "");
  EXPECT_EQ(state().options.ShowName, 30);
  EXPECT_EQ(state().options.Speed, 5);
  EXPECT_EQ(palette().settings.Effect[kRed], kEffectCustom);
  const gfx::Rgb expected[] = {{1, 2, 3}, {4, 5, 0}, {0, 0, 0}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(palette().custom[i].Color(), expected[i]) << i;
    EXPECT_EQ(palette().custom[i].flags, 1);
  }
}

TEST_F(SavedDisplaysTest, WriteValueNeverCreatesTheKey) {
  const int32_t speed = 3;
  EXPECT_EQ(WriteRegistryValue("Speed", SettingsKey(), kRegDword, &speed, 4), 0);
  EXPECT_FALSE(WriteActiveName("Anything"));
  EXPECT_TRUE(Dump("").empty());
}

TEST_F(SavedDisplaysTest, SaveThenLoadGivesBackTheLiveSettings) {
  state().configDialogOpen = true;  // keep the sound sources as set
  state().options.Active = {};
  state().options.Active[kVortex] = 1;
  state().options.Active[kBitmap] = 1;
  state().table[kVortex].controls[3] = ModuleControl{1, 13, kSourceFirstBand + 2, 33, 50, 90, 20,
                                                     10, 100, 4, 0.5f, 0};
  std::strcpy(state().table[kBitmap].text, "/pictures/*.bmp");
  palette().settings.values[kMorphRate][kBlue].RangeHi = 15;
  palette().settings.Effect[kGreen] = kEffectCustom;
  palette().custom[5].Set({1, 2, 3});
  state().options.ShowName = 12;
  state().options.Speed = 7;
  share().SetU32(share_offset::SlowCPU, 0);
  const ModuleControl saved = state().table[kVortex].controls[3];
  ASSERT_TRUE(SaveDisplay(state(), kDisplay.c_str()));

  EXPECT_EQ(ReadActiveName(), kDisplay);
  EXPECT_EQ(Get(ModuleKey(kDisplay, "Bitmap"), "Path").size(), 260u);
  EXPECT_TRUE(Get(ModuleKey(kDisplay, "Vortex"), "Path").empty());      // empty text: not written
  EXPECT_TRUE(Get(ModuleKey(kDisplay, "Vortex"), "Control1").empty());  // undefined slot

  // A fresh process loads it.
  ResetModule(state(), kVortex);
  ResetModule(state(), kBitmap);
  SetPaletteDefaults(palette());
  palette().custom[5].Set({0, 0, 0});
  state().options = SaverOptions{};
  share().SetU32(share_offset::SlowCPU, 1);

  ASSERT_EQ(LoadDisplay(state(), kDisplay.c_str()), 1);
  EXPECT_EQ(Fields(state().table[kVortex].controls[3]), Fields(saved));
  EXPECT_STREQ(state().table[kBitmap].text, "/pictures/*.bmp");
  EXPECT_EQ(palette().settings.values[kMorphRate][kBlue].RangeHi, 15);
  EXPECT_EQ(palette().settings.Effect[kGreen], kEffectCustom);
  EXPECT_EQ(palette().custom[5].Color(), (gfx::Rgb{1, 2, 3}));
  EXPECT_EQ(state().options.ShowName, 12);
  EXPECT_EQ(state().options.Speed, 7);
  EXPECT_EQ(share().U32(share_offset::SlowCPU), 0u);
  for (int i = 0; i < kModuleCount; ++i) {
    EXPECT_EQ(state().options.Active[i], i == kVortex || i == kBitmap) << i;
  }
}

TEST_F(SavedDisplaysTest, TheTwoIrregularPaletteNamesShareTheirValues) {
  PaletteSettings& settings = palette().settings;
  for (int channel = 0; channel < kChannels; ++channel) {
    settings.values[kCycleRate][channel].Value = 20 * (channel + 1);
    settings.values[kSeconds][channel].Sense = 2 + 3 * channel;
  }
  SavePalette(palette(), kDisplay.c_str());
  const std::string key = PaletteKey(kDisplay);
  EXPECT_EQ(GetInt(key, "CycleRate"), 60);        // the blue slot, written last
  EXPECT_EQ(GetInt(key, "RedSecondsSense"), 5);   // the green sense, written second
  EXPECT_EQ(GetInt(key, "BlueSecondsSense"), 8);
  EXPECT_TRUE(Get(key, "RedCycleRate").empty());
  EXPECT_TRUE(Get(key, "GreenSecondsSense").empty());
  EXPECT_EQ(GetInt(key, "GreenMorphRateRangeHi"), 16);

  PutInt(ModuleKey(kDisplay, "Sphere"), "Control0", 1);
  ASSERT_EQ(LoadDisplay(state(), kDisplay.c_str()), 1);
  for (int channel = 0; channel < kChannels; ++channel) {
    EXPECT_EQ(settings.values[kCycleRate][channel].Value, 60) << channel;
  }
  EXPECT_EQ(settings.values[kSeconds][kRed].Sense, 5);
  EXPECT_EQ(settings.values[kSeconds][kGreen].Sense, 5);
  EXPECT_EQ(settings.values[kSeconds][kBlue].Sense, 8);
}

TEST_F(SavedDisplaysTest, CustomColoursAreStoredOnlyForTheCustomEffect) {
  palette().settings.Effect[kBlue] = kEffectCustom;
  palette().custom[0].Set({10, 20, 30});
  SavePalette(palette(), kDisplay.c_str());
  Bytes custom = Get(PaletteKey(kDisplay), "Custom");
  ASSERT_EQ(custom.size(), 708u);
  EXPECT_EQ(Bytes(custom.begin(), custom.begin() + 3), (Bytes{10, 20, 30}));

  // The capture-colours key stores the colours on screen instead.
  palette().LiveColors = 1;
  palette().entries[235].Set({7, 8, 9});
  SavePalette(palette(), kDisplay.c_str());
  custom = Get(PaletteKey(kDisplay), "Custom");
  EXPECT_EQ(Bytes(custom.end() - 3, custom.end()), (Bytes{7, 8, 9}));

  palette().settings.Effect[kBlue] = kEffectFade;
  SavePalette(palette(), kDisplay.c_str());
  EXPECT_TRUE(Get(PaletteKey(kDisplay), "Custom").empty());
}

TEST_F(SavedDisplaysTest, EarlierVersionPalettesAreConverted) {
  const std::string key = PaletteKey(kDisplay);
  PutInt(ModuleKey(kDisplay, "Stain"), "Control0", 1);
  for (const auto& [name, value] : std::vector<std::pair<const char*, int32_t>>{
           {"Shifted", 1}, {"Together", 1}, {"AllEffect", kEffectCoarse}, {"RedEffect", kEffectFade},
           {"GreenDensitySource", 5},  // the old density lived in the source slot
           {"RedRampDecayRangeLo", 7}, {"BlueSource", kSourceOscillate}, {"BlueScale", 40},
           {"BlueScaleLo", 20}, {"BlueScaleHi", 60}, {"BlueSense", 3},
           {"RedSource", kSourceRandom},  // below 2: the old scale is ignored
           {"RedSense", 2}}) {
    PutInt(key, name, value);
  }
  ASSERT_EQ(LoadDisplay(state(), kDisplay.c_str()), 1);
  const auto& v = palette().settings.values;
  auto fields = [](const PaletteValue& p) {
    return std::make_tuple(int32_t(p.Value), int32_t(p.RangeLo), int32_t(p.RangeHi),
                           int32_t(p.Sense), int32_t(p.Source));
  };
  EXPECT_EQ(fields(v[kDensity][kGreen]), std::make_tuple(6, 5, 9, 7, kSourceRandom));
  EXPECT_EQ(v[kRampDecay][kRed].RangeLo, 21);
  EXPECT_EQ(v[kRampDecay][kBlue].RangeLo, 3);  // default 1, times 3
  EXPECT_EQ(fields(v[kScale][kBlue]), std::make_tuple(40, 20, 60, 3, kSourceOscillate));
  EXPECT_EQ(v[kScale][kRed].Source, kSourceSet);
  EXPECT_EQ(v[kScale][kRed].Sense, 7);
  for (int channel = 0; channel < kChannels; ++channel) {
    const int32_t direction = v[kDirection][channel].RangeLo;
    EXPECT_TRUE(direction != 0 && direction >= -3 && direction <= 3) << direction;
    EXPECT_EQ(palette().settings.Effect[channel], kEffectCoarse);  // "Together" wins
  }
}

TEST_F(SavedDisplaysTest, DeleteRemovesTheWholeDisplayAndNothingElse) {
  SaveDisplay(state(), "Keep");
  state().options.Active[kRandom] = 1;
  SaveDisplay(state(), kDisplay.c_str());
  EXPECT_TRUE(ContainsRandom(kDisplay.c_str()));
  EXPECT_FALSE(ContainsRandom("Keep"));
  PutInt(ModulesKey(kDisplay) + "\\Foreign\\Deeper", "X", 1);  // e.g. from an imported file
  EXPECT_EQ(DeleteDisplay(kDisplay.c_str()), 1);
  EXPECT_FALSE(KeyExists(DisplayKey(kDisplay)));
  // A name that is not a display never reaches the "Saved" key itself.
  for (const char* name : {"", "..", "Keep\\Modules"}) EXPECT_EQ(DeleteDisplay(name), 1);
  EXPECT_TRUE(KeyExists(ModuleKey("Keep", "Pattern")));
  EXPECT_EQ(ListSavedDisplays(), std::vector<std::string>{"Keep"});
}

TEST_F(SavedDisplaysTest, ResetModuleRestoresTheDefinition) {
  ModuleDescriptor& module = state().table[kSphere];
  module.controls[3] = ModuleControl{1, 13, kSourceLeft, 77, 50, 20, 30, 10, 100, 2, 0.9f, 1};
  std::strcpy(module.text, "x");
  ResetModule(state(), kSphere);
  EXPECT_EQ(Fields(module.controls[3]), std::make_tuple(50, 10, 100, kSourceSet, 10));
  EXPECT_FLOAT_EQ(module.controls[3].Smoothed, 0.5f);
  EXPECT_STREQ(module.text, "");
}

TEST_F(SavedDisplaysTest, CapturesStoreLiveControlsAsFixedValuesUnderTheNextFreeNumber) {
  state().options.Active[kRandom] = 1;
  state().options.Active[kStar] = 1;
  ModuleControl& live = state().table[kStar].controls[3];
  live.Source = kSourceVolume;
  live.Value = 64;  // what the evaluator made of the sound just now
  share().SetU32(share_offset::CaptureRequest, 1);
  palette().LiveColors = 1;
  palette().settings.Effect[kRed] = kEffectCustom;

  Capture(state());
  const std::string star = ModuleKey("Capture #1", "Star");
  EXPECT_EQ(GetInt(star, "Check3"), kSourceSet);
  EXPECT_EQ(GetInt(star, "Control3"), 64);
  EXPECT_FALSE(ContainsRandom("Capture #1"));
  EXPECT_EQ(Get(PaletteKey("Capture #1"), "Custom").size(), 708u);
  EXPECT_EQ(live.Source, kSourceVolume);
  EXPECT_EQ(state().options.Active[kRandom], 1);
  EXPECT_EQ(share().U32(share_offset::CaptureRequest), 0u);
  EXPECT_EQ(palette().LiveColors, 0);

  for (const char* expected : {"Capture #2", "Capture #1", "Capture #3"}) {
    if (std::string(expected) == "Capture #1") DeleteDisplay("Capture #1");
    Capture(state());
    EXPECT_EQ(ReadActiveName(), expected);
    EXPECT_TRUE(KeyExists(DisplayKey(expected)));
  }
}

// Without the player (or with sound switched off) sound sources of active
// modules and of the palette become Oscillate; the open dialog keeps them.
TEST_F(SavedDisplaysTest, SoundSourcesFollowThePlayerAndTheSwitches) {
  struct Case {
    uint32_t player, moduleSound, paletteSound;
    bool dialog;
    int32_t moduleSource, paletteSource;
    uint32_t saverUses, paletteUses;
  };
  const Case cases[] = {
      {0, 1, 1, false, kSourceOscillate, kSourceOscillate, 0, 0},
      {1, 1, 0, false, kSourceVolume, kSourceOscillate, 1, 0},
      {1, 0, 1, false, kSourceOscillate, kSourceLeft, 1, 1},
      {0, 0, 0, true, kSourceVolume, kSourceLeft, 1, 1},
  };
  for (const Case& c : cases) {
    state().options.Active = {};
    state().options.Active[kStar] = 1;
    state().table[kStar].controls[3].Source = kSourceVolume;
    state().table[kStar].controls[4].Source = kSourceVolume;  // not defined: left alone
    state().table[kPlasma].controls[3].Source = kSourceVolume;  // not active: left alone
    state().table[kStar].controls[0].Source = kSourceRandom;
    palette().settings.values[kScale][kRed].Source = kSourceLeft;
    share().SetU32(share_offset::PlayerActive, c.player);
    share().SetU32(share_offset::ModuleSoundEnabled, c.moduleSound);
    share().SetU32(share_offset::PaletteSoundEnabled, c.paletteSound);
    state().configDialogOpen = c.dialog;
    ApplySoundAvailability(state());
    EXPECT_EQ(state().table[kStar].controls[3].Source, c.moduleSource);
    EXPECT_EQ(state().table[kStar].controls[4].Source, kSourceVolume);
    EXPECT_EQ(state().table[kPlasma].controls[3].Source, kSourceVolume);
    EXPECT_EQ(state().table[kStar].controls[0].Source, kSourceRandom);
    EXPECT_EQ(palette().settings.values[kScale][kRed].Source, c.paletteSource);
    EXPECT_EQ(share().U32(share_offset::SaverUsesSound), c.saverUses);
    EXPECT_EQ(share().U32(share_offset::PaletteUsesSound), c.paletteUses);
  }
}

}  // namespace
}  // namespace lumox
