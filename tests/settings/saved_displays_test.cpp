#include "settings/saved_displays.h"

#include <gtest/gtest.h>

#include <cstring>

#include "settings/registry_values.h"
#include "settings_fixture.h"

namespace lumox {
namespace {

using testing::SettingsTest;

const std::string kDisplay = "Mine";

class SavedDisplaysTest : public SettingsTest {};

TEST_F(SavedDisplaysTest, FreshUserGetsTheFirstRunDisplaysAndRunsTheRandomModule) {
  SetUpSavedDisplays(state());

  const std::vector<std::string> expected = {
      "[D] Bezier",  "[D] Cyclic", "[D] Pattern", "[D] Plasma", "[D] Polygon",
      "[D] Sphere",  "[D] Stain",  "[D] Star",    "[D] Vortex", kSoundSettingsDisplay};
  EXPECT_EQ(ListSavedDisplays(), expected);
  EXPECT_EQ(ReadActiveName(), kSoundSettingsDisplay);
  for (int i = 0; i < kModuleCount; ++i) EXPECT_EQ(state().options.Active[i], i == kRandom) << i;
  EXPECT_EQ(state().options.ShowInfo, 1);

  // Each first-run display holds its one module at its definition and the
  // effects of the table (Star: Ramp, the others Random).
  for (int i = kBezier; i <= kVortex; ++i) {
    const std::string name = std::string("[D] ") + kModuleNames[i];
    EXPECT_EQ(registry().EnumSubkeys(RegRoot::CurrentUser, ControlPanelPath(ModulesKey(name))),
              std::vector<std::string>{kModuleNames[i]});
    EXPECT_EQ(GetInt(ModuleKey(name, kModuleNames[i]), "Control3"), 50);
    const int32_t effect = i == kStar ? kEffectRamp : kEffectRandom;
    EXPECT_EQ(GetInt(PaletteKey(name), "RedEffect"), effect) << name;
    EXPECT_EQ(GetInt(PaletteKey(name), "BlueEffect"), effect) << name;
  }
  EXPECT_TRUE(ContainsRandom(kSoundSettingsDisplay));
  EXPECT_EQ(GetInt(PaletteKey(kSoundSettingsDisplay), "GreenEffect"), kEffectRandom);
}

TEST_F(SavedDisplaysTest, FirstRunHappensOnlyOnce) {
  SetUpSavedDisplays(state());
  DeleteDisplay("[D] Bezier");
  SetUpSavedDisplays(state());
  EXPECT_FALSE(KeyExists(DisplayKey("[D] Bezier")));
  EXPECT_TRUE(KeyExists(DisplayKey("[D] Cyclic")));
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

TEST_F(SavedDisplaysTest, ALongActiveNameIsRunAndNotReplacedByTheFallback) {
  SetUpSavedDisplays(state());
  const std::string name(200, 'n');
  state().options.Active = {};
  state().options.Active[kCyclic] = 1;
  SaveDisplay(state(), name.c_str());
  SetUpSavedDisplays(state());
  EXPECT_EQ(ReadActiveName(), name);
  EXPECT_EQ(state().options.Active[kCyclic], 1);
  EXPECT_EQ(state().options.Active[kRandom], 0);
  // Loading the state's own name again is allowed.
  EXPECT_EQ(LoadDisplay(state(), state().displayName), 1);
  EXPECT_EQ(std::string(state().displayName), name);
}

TEST_F(SavedDisplaysTest, LoadTakesStoredValuesAndDefaultsForMissingOnes) {
  const std::string bezier = ModuleKey(kDisplay, "Bezier");
  PutInt(bezier, "Control3", 70);  // no RangeLo3, RangeHi3, Check3, Sense3
  PutInt(bezier, "RangeHi0", 12);
  PutInt(bezier, "Check0", kSourceRandom);
  PutInt(bezier, "Sense0", 3);
  PutInt(ModuleKey(kDisplay, "Star"), "Control9", -3);
  state().table[kBezier].controls[3].RangeLo = 99;  // left over from an earlier load

  ASSERT_EQ(LoadDisplay(state(), kDisplay.c_str()), 1);

  const ModuleDescriptor& module = state().table[kBezier];
  EXPECT_EQ(module.controls[3].Value, 70);
  EXPECT_EQ(module.controls[3].RangeLo, 10);  // the control's minimum
  EXPECT_EQ(module.controls[3].RangeHi, 100);
  EXPECT_EQ(module.controls[3].Sense, 10);
  EXPECT_EQ(module.controls[0].Value, 4);
  EXPECT_EQ(module.controls[0].RangeHi, 12);
  EXPECT_EQ(module.controls[0].Source, kSourceRandom);
  EXPECT_EQ(module.controls[0].Sense, 3);
  EXPECT_EQ(state().table[kStar].controls[9].Value, -3);
  for (int i = 0; i < kModuleCount; ++i) {
    EXPECT_EQ(state().options.Active[i], i == kBezier || i == kStar) << i;
  }
  EXPECT_STREQ(state().displayName, "Mine");
  EXPECT_EQ(share().Text(share_offset::DisplayName, kShareDisplayNameSize), "Mine");
}

TEST_F(SavedDisplaysTest, LoadedValuesOutsideTheLimitsAreRepaired) {
  const std::string key = ModuleKey(kDisplay, "Cyclic");
  PutInt(key, "Control0", 50);
  PutInt(key, "RangeHi0", -1);
  ASSERT_EQ(LoadDisplay(state(), kDisplay.c_str()), 1);
  EXPECT_EQ(state().table[kCyclic].controls[0].Value, 4);
  EXPECT_EQ(state().table[kCyclic].controls[0].RangeHi, 20);
}

TEST_F(SavedDisplaysTest, ValuesOfTheWrongSizeKeepTheirDefaults) {
  const std::string key = ModuleKey(kDisplay, "Pattern");
  PutBytes(key, "Control0", kRegBinary, {7, 0});                   // too short
  PutBytes(key, "Control3", kRegBinary, {60, 0, 0, 0, 0, 0, 0, 0});  // too long
  PutBytes(key, "Path", kRegSz, std::vector<uint8_t>(300, 'x'));   // beyond 260 bytes
  PutBytes(PaletteKey(kDisplay), "RedEffect", kRegBinary, {kEffectCustom, 0, 0});
  PutBytes(PaletteKey(kDisplay), "Custom", kRegBinary, std::vector<uint8_t>(707, 9));
  std::strcpy(state().table[kPattern].text, "old");
  palette().settings.Effect[kRed] = kEffectFade;
  const gfx::Rgb before = palette().custom[0].Color();

  ASSERT_EQ(LoadDisplay(state(), kDisplay.c_str()), 1);
  const ModuleDescriptor& module = state().table[kPattern];
  EXPECT_EQ(module.controls[0].Value, 4);
  EXPECT_EQ(module.controls[3].Value, 50);
  EXPECT_STREQ(module.text, "");
  EXPECT_EQ(palette().settings.Effect[kRed], kEffectFade);
  EXPECT_EQ(palette().custom[0].red, before.red);
}

TEST_F(SavedDisplaysTest, MissingPaletteAndOptionValuesKeepTheirDefaults) {
  PutInt(ModuleKey(kDisplay, "Plasma"), "Control0", 5);
  PutInt(DisplayKey(kDisplay), "ShowName", 30);  // no SlowCPU, Priority, ...
  state().options.Priority = kPriorityHigh;
  state().options.ShowInfo = 1;
  palette().settings.values[kDensity][kGreen].Value = 77;
  palette().settings.Effect[kBlue] = kEffectSmooth;

  ASSERT_EQ(LoadDisplay(state(), kDisplay.c_str()), 1);
  EXPECT_EQ(palette().settings.values[kDensity][kGreen].Value, 6);  // the default
  EXPECT_EQ(palette().settings.Effect[kBlue], kEffectSmooth);
  EXPECT_EQ(share().U32(share_offset::SlowCPU), 1u);
  EXPECT_EQ(share().U32(share_offset::AutoGain), 1u);
  EXPECT_EQ(share().U32(share_offset::ModuleSoundEnabled), 1u);
  EXPECT_EQ(state().options.Priority, kPriorityHigh);
  EXPECT_EQ(state().options.ShowInfo, 0);
  EXPECT_EQ(state().options.ShowName, 30);
}

TEST_F(SavedDisplaysTest, SoundSourcesBecomeOscillationWithoutThePlayer) {
  PutInt(ModuleKey(kDisplay, "Star"), "Check3", kSourceVolume);
  PutInt(PaletteKey(kDisplay), "RedScaleSource", kSourceLeft);
  ASSERT_EQ(LoadDisplay(state(), kDisplay.c_str()), 1);
  EXPECT_EQ(state().table[kStar].controls[3].Source, kSourceOscillate);
  EXPECT_EQ(palette().settings.values[kScale][kRed].Source, kSourceOscillate);

  state().configDialogOpen = true;
  ASSERT_EQ(LoadDisplay(state(), kDisplay.c_str()), 1);
  EXPECT_EQ(state().table[kStar].controls[3].Source, kSourceVolume);
}

TEST_F(SavedDisplaysTest, SaveThenLoadGivesBackTheLiveSettings) {
  state().configDialogOpen = true;  // keep the sound sources as set
  state().options.Active = {};
  state().options.Active[kVortex] = 1;
  state().options.Active[kBitmap] = 1;
  ModuleControl& control = state().table[kVortex].controls[3];
  control.Value = 33;
  control.RangeLo = 90;
  control.RangeHi = 20;
  control.Source = kSourceFirstBand + 2;
  control.Sense = 4;
  std::strcpy(state().table[kBitmap].text, "/pictures/*.bmp");
  palette().settings.values[kMorphRate][kBlue].RangeHi = 15;
  palette().settings.Effect[kGreen] = kEffectCustom;
  palette().custom[5].Set({1, 2, 3});
  state().options.ShowName = 12;
  state().options.Speed = 7;
  share().SetU32(share_offset::SlowCPU, 0);
  share().SetU32(share_offset::AutoGain, 1);
  SaveDisplay(state(), kDisplay.c_str());

  EXPECT_EQ(ReadActiveName(), kDisplay);
  RegValue path;
  ASSERT_TRUE(registry().ReadValue(RegRoot::CurrentUser,
                                   ControlPanelPath(ModuleKey(kDisplay, "Bitmap")), "Path", path));
  EXPECT_EQ(path.type, kRegSz);
  EXPECT_EQ(path.data.size(), 260u);
  EXPECT_FALSE(HasValue(ModuleKey(kDisplay, "Vortex"), "Path"));  // empty text: not written
  EXPECT_FALSE(HasValue(ModuleKey(kDisplay, "Vortex"), "Control1"));  // undefined slot

  // A fresh process loads it.
  palette().settings.values[kMorphRate][kBlue].RangeHi = 0;
  palette().settings.Effect[kGreen] = kEffectRamp;
  palette().custom[5].Set({0, 0, 0});
  state().table[kVortex].controls[3] = ModuleControl{};
  state().table[kVortex].controls[3].Defined = 1;
  state().table[kVortex].controls[3].Minimum = 10;
  state().table[kVortex].controls[3].Maximum = 100;
  state().table[kBitmap].text[0] = '\0';
  state().options.Speed = 0;
  share().SetU32(share_offset::AutoGain, 0);

  ASSERT_EQ(LoadDisplay(state(), kDisplay.c_str()), 1);
  const ModuleControl& loaded = state().table[kVortex].controls[3];
  EXPECT_EQ(loaded.Value, 33);
  EXPECT_EQ(loaded.RangeLo, 90);
  EXPECT_EQ(loaded.RangeHi, 20);
  EXPECT_EQ(loaded.Source, kSourceFirstBand + 2);
  EXPECT_EQ(loaded.Sense, 4);
  EXPECT_STREQ(state().table[kBitmap].text, "/pictures/*.bmp");
  EXPECT_EQ(palette().settings.values[kMorphRate][kBlue].RangeHi, 15);
  EXPECT_EQ(palette().settings.Effect[kGreen], kEffectCustom);
  EXPECT_EQ(palette().custom[5].blue, 3);
  EXPECT_EQ(state().options.ShowName, 12);
  EXPECT_EQ(state().options.Speed, 7);
  EXPECT_EQ(share().U32(share_offset::SlowCPU), 0u);
  EXPECT_EQ(share().U32(share_offset::AutoGain), 1u);
  for (int i = 0; i < kModuleCount; ++i) {
    EXPECT_EQ(state().options.Active[i], i == kVortex || i == kBitmap) << i;
  }
}

TEST_F(SavedDisplaysTest, TheTwoIrregularPaletteNamesShareTheirValues) {
  PaletteSettings& settings = palette().settings;
  settings.values[kCycleRate][kRed].Value = 20;
  settings.values[kCycleRate][kGreen].Value = 40;
  settings.values[kCycleRate][kBlue].Value = 60;
  settings.values[kSeconds][kRed].Sense = 2;
  settings.values[kSeconds][kGreen].Sense = 5;
  settings.values[kSeconds][kBlue].Sense = 8;
  SavePalette(palette(), kDisplay.c_str());

  const std::string key = PaletteKey(kDisplay);
  EXPECT_EQ(GetInt(key, "CycleRate"), 60);  // the blue slot, written last
  EXPECT_FALSE(HasValue(key, "RedCycleRate"));
  EXPECT_EQ(GetInt(key, "RedSecondsSense"), 5);  // the green sense, written second
  EXPECT_FALSE(HasValue(key, "GreenSecondsSense"));
  EXPECT_EQ(GetInt(key, "BlueSecondsSense"), 8);
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
  RegValue custom;
  ASSERT_TRUE(registry().ReadValue(RegRoot::CurrentUser, ControlPanelPath(PaletteKey(kDisplay)),
                                   "Custom", custom));
  ASSERT_EQ(custom.data.size(), 708u);
  EXPECT_EQ(custom.data[0], 10);
  EXPECT_EQ(custom.data[2], 30);

  // The capture-colours key stores the colours on screen instead.
  palette().LiveColors = 1;
  palette().entries[235].Set({7, 8, 9});
  SavePalette(palette(), kDisplay.c_str());
  ASSERT_TRUE(registry().ReadValue(RegRoot::CurrentUser, ControlPanelPath(PaletteKey(kDisplay)),
                                   "Custom", custom));
  EXPECT_EQ(custom.data[705], 7);
  EXPECT_EQ(custom.data[707], 9);

  palette().settings.Effect[kBlue] = kEffectFade;
  SavePalette(palette(), kDisplay.c_str());
  EXPECT_FALSE(HasValue(PaletteKey(kDisplay), "Custom"));
  EXPECT_TRUE(HasValue(PaletteKey(kDisplay), "BlueEffect"));
}

TEST_F(SavedDisplaysTest, EarlierVersionPalettesAreConverted) {
  const std::string key = PaletteKey(kDisplay);
  PutInt(ModuleKey(kDisplay, "Stain"), "Control0", 1);
  PutInt(key, "Shifted", 1);
  PutInt(key, "Together", 1);
  PutInt(key, "AllEffect", kEffectCoarse);
  PutInt(key, "RedEffect", kEffectFade);
  PutInt(key, "GreenDensitySource", 5);  // the old density lived in the source slot
  PutInt(key, "RedRampDecayRangeLo", 7);
  PutInt(key, "BlueSource", kSourceOscillate);
  PutInt(key, "BlueScale", 40);
  PutInt(key, "BlueScaleLo", 20);
  PutInt(key, "BlueScaleHi", 60);
  PutInt(key, "BlueSense", 3);
  PutInt(key, "RedSource", kSourceRandom);  // below 2: the old scale is ignored
  PutInt(key, "RedSense", 2);

  ASSERT_EQ(LoadDisplay(state(), kDisplay.c_str()), 1);
  const PaletteSettings& settings = palette().settings;
  EXPECT_EQ(settings.values[kDensity][kGreen].RangeLo, 5);
  EXPECT_EQ(settings.values[kDensity][kGreen].RangeHi, 9);
  EXPECT_EQ(settings.values[kDensity][kGreen].Source, kSourceRandom);
  EXPECT_EQ(settings.values[kRampDecay][kRed].RangeLo, 21);
  EXPECT_EQ(settings.values[kRampDecay][kBlue].RangeLo, 3);  // default 1, times 3
  EXPECT_EQ(settings.values[kScale][kBlue].Source, kSourceOscillate);
  EXPECT_EQ(settings.values[kScale][kBlue].Value, 40);
  EXPECT_EQ(settings.values[kScale][kBlue].RangeLo, 20);
  EXPECT_EQ(settings.values[kScale][kBlue].RangeHi, 60);
  EXPECT_EQ(settings.values[kScale][kBlue].Sense, 3);
  EXPECT_EQ(settings.values[kScale][kRed].Source, kSourceSet);
  EXPECT_EQ(settings.values[kScale][kRed].Sense, 7);
  for (int channel = 0; channel < kChannels; ++channel) {
    const int32_t direction = settings.values[kDirection][channel].RangeLo;
    EXPECT_TRUE(direction != 0 && direction >= -3 && direction <= 3) << direction;
    EXPECT_EQ(settings.Effect[channel], kEffectCoarse);  // "Together" wins over RedEffect
  }
}

TEST_F(SavedDisplaysTest, DeleteRemovesTheWholeDisplayAndNothingElse) {
  SaveDisplay(state(), "Keep");
  SaveDisplay(state(), kDisplay.c_str());
  PutInt(ModulesKey(kDisplay) + "\\Foreign\\Deeper", "X", 1);  // e.g. from an imported file
  EXPECT_EQ(DeleteDisplay(kDisplay.c_str()), 1);
  EXPECT_FALSE(KeyExists(DisplayKey(kDisplay)));
  EXPECT_TRUE(KeyExists(ModuleKey("Keep", "Pattern")));

  // A name that is not a display never reaches the "Saved" key itself.
  for (const char* name : {"", "..", "Keep\\Modules"}) {
    EXPECT_EQ(DeleteDisplay(name), 1);
    SaveDisplay(state(), name);
  }
  EXPECT_TRUE(KeyExists(ModuleKey("Keep", "Pattern")));
  EXPECT_EQ(ListSavedDisplays(), std::vector<std::string>{"Keep"});
}

TEST_F(SavedDisplaysTest, ContainsRandomLooksForTheRandomModuleKey) {
  state().options.Active[kRandom] = 1;
  SaveDisplay(state(), "With");
  state().options.Active[kRandom] = 0;
  SaveDisplay(state(), "Without");
  EXPECT_TRUE(ContainsRandom("With"));
  EXPECT_FALSE(ContainsRandom("Without"));
  EXPECT_FALSE(ContainsRandom("Nowhere"));
}

TEST_F(SavedDisplaysTest, ResetModuleRestoresTheDefinition) {
  ModuleDescriptor& module = state().table[kSphere];
  module.controls[3] = ModuleControl{1, 13, kSourceLeft, 77, 50, 20, 30, 10, 100, 2, 0.9f, 1};
  std::strcpy(module.text, "x");
  ResetModule(state(), kSphere);
  const ModuleControl& control = module.controls[3];
  EXPECT_EQ(control.Value, 50);
  EXPECT_EQ(control.RangeLo, 10);
  EXPECT_EQ(control.RangeHi, 100);
  EXPECT_EQ(control.Source, kSourceSet);
  EXPECT_EQ(control.Sense, 10);
  EXPECT_FLOAT_EQ(control.Smoothed, 0.5f);
  EXPECT_STREQ(module.text, "");
  EXPECT_EQ(module.controls[1].Defined, 0);
}

TEST_F(SavedDisplaysTest, CapturesTakeTheNextFreeNumber) {
  Capture(state());
  Capture(state());
  EXPECT_TRUE(KeyExists(DisplayKey("Capture #1")));
  EXPECT_TRUE(KeyExists(DisplayKey("Capture #2")));
  EXPECT_EQ(ReadActiveName(), "Capture #2");
  DeleteDisplay("Capture #1");
  Capture(state());
  EXPECT_TRUE(KeyExists(DisplayKey("Capture #1")));
  EXPECT_EQ(ReadActiveName(), "Capture #1");
  Capture(state());
  EXPECT_TRUE(KeyExists(DisplayKey("Capture #3")));
}

TEST_F(SavedDisplaysTest, CaptureStoresLiveControlsAsFixedValuesAndRestoresThem) {
  state().options.Active[kRandom] = 1;
  state().options.Active[kStar] = 1;
  ModuleControl& live = state().table[kStar].controls[3];
  live.Source = kSourceVolume;
  live.Value = 64;  // what the evaluator made of the sound just now
  state().table[kPattern].controls[0].Source = kSourceOscillate;
  share().SetU32(share_offset::CaptureRequest, 1);
  palette().LiveColors = 1;
  palette().settings.Effect[kRed] = kEffectCustom;

  Capture(state());

  const std::string star = ModuleKey("Capture #1", "Star");
  EXPECT_EQ(GetInt(star, "Check3"), kSourceSet);
  EXPECT_EQ(GetInt(star, "Control3"), 64);
  EXPECT_EQ(GetInt(ModuleKey("Capture #1", "Pattern"), "Check0"), kSourceSet);
  EXPECT_FALSE(ContainsRandom("Capture #1"));
  EXPECT_TRUE(HasValue(PaletteKey("Capture #1"), "Custom"));

  EXPECT_EQ(live.Source, kSourceVolume);
  EXPECT_EQ(state().table[kPattern].controls[0].Source, kSourceOscillate);
  EXPECT_EQ(state().options.Active[kRandom], 1);
  EXPECT_EQ(share().U32(share_offset::CaptureRequest), 0u);
  EXPECT_EQ(palette().LiveColors, 0);
}

}  // namespace
}  // namespace lumox
