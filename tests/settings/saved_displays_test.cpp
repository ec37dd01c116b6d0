#include "settings/saved_displays.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/memory_registry.h"
#include "settings/registry_values.h"
#include "settings/settings_file.h"
#include "settings_fixture.h"

namespace lumox {
namespace {

using testing::Bytes;
using namespace std::literals;

const char* const kDisplay = "Mine";

// A module control's or palette value's stored fields: value, range low
// and high, source, sense.
template <typename Control>
std::tuple<int32_t, int32_t, int32_t, int32_t, int32_t> Fields(const Control& c) {
  return {c.Value, c.RangeLo, c.RangeHi, c.Source, c.Sense};
}

using SavedDisplaysTest = testing::SettingsTest;

TEST_F(SavedDisplaysTest, FreshUserGetsTheFirstRunDisplaysOnceAndRunsTheRandomModule) {
  SetUpSavedDisplays(state());
  EXPECT_EQ(ListSavedDisplays(), (std::vector<std::string>{
      "[D] Bezier", "[D] Cyclic", "[D] Pattern", "[D] Plasma", "[D] Polygon",
      "[D] Sphere", "[D] Stain",  "[D] Star",    "[D] Vortex", kSoundSettingsDisplay}));
  EXPECT_EQ(ReadActiveName(), kSoundSettingsDisplay);
  ExpectActive({kRandom});
  EXPECT_EQ(state().options.ShowInfo, 1);
  // Each holds its one module at its definition; Star ramps, the others are random.
  for (int i = kBezier; i <= kVortex; ++i) {
    const std::string name = std::string("[D] ") + kModuleNames[i];
    EXPECT_EQ(Dump(ControlPanelPath(ModulesKey(name))).size(), 1u + 4 * 5) << name;
    EXPECT_EQ(GetInt(ModuleKey(name, kModuleNames[i]), "Control3"), 50);
    EXPECT_EQ(GetInt(PaletteKey(name), "BlueEffect"), i == kStar ? kEffectRamp : kEffectRandom);
  }
  EXPECT_TRUE(ContainsRandom(kSoundSettingsDisplay));

  // Deleted ones stay deleted; an "Active" naming no display falls back.
  DeleteDisplay("[D] Bezier");
  WriteActiveName("Gone");
  SetUpSavedDisplays(state());
  EXPECT_FALSE(KeyExists(DisplayKey("[D] Bezier")));
  EXPECT_EQ(ReadActiveName(), kSoundSettingsDisplay);
}

TEST_F(SavedDisplaysTest, DisplayNamesNoStoreCanHoldAreRefusedUpFront) {
  SetUpSavedDisplays(state());
  const auto before = Dump("");
  const Bytes file = {0x00, 0x42, 0x00, 0x42, 1, 0, 0, 0, 0, 2, 0, 0, 0, 'X', 0, 3, 0, 0, 0, 0, 0, 0, 0};
  for (const std::string& name : {""s, std::string(256, 'n'), "Tab\tName"s, "Line\nBreak"s, "a\\b"s,
                                 ".."s, "."s}) {
    EXPECT_FALSE(SaveDisplay(state(), name.c_str())) << name;
    const SettingsFileResult imported = ImportSettingsBytes(name.c_str(), file);
    EXPECT_EQ(imported.status, SettingsFileStatus::kInvalidName) << name;
    EXPECT_EQ(imported.message, DisplayNameProblem(name));
    EXPECT_FALSE(imported.message.empty()) << name;
    EXPECT_EQ(Dump(""), before) << name;
  }
  // The longest name a registry key can have is saved and run.
  const std::string longest(255, 'n');
  Activate({kCyclic});
  EXPECT_TRUE(SaveDisplay(state(), longest.c_str()));
  SetUpSavedDisplays(state());
  EXPECT_EQ(ReadActiveName(), longest);
  EXPECT_EQ(state().displayName, longest);
  ExpectActive({kCyclic});
}

TEST_F(SavedDisplaysTest, LoadTakesStoredValuesDefaultsForMissingOnesAndRepairsTheRest) {
  const std::string bezier = ModuleKey(kDisplay, "Bezier");
  PutInt(bezier, "Control3", 70);  // no RangeLo3, RangeHi3, Check3, Sense3
  PutInt(bezier, "RangeHi0", 12);
  PutInt(bezier, "Check0", kSourceRandom);
  PutInt(bezier, "Sense0", 3);
  PutInt(ModuleKey(kDisplay, "Cyclic"), "Control0", 50);  // beyond its maximum of 20
  PutInt(ModuleKey(kDisplay, "Cyclic"), "RangeHi0", -1);  // below its minimum of 0
  PutInt(DisplayKey(kDisplay), "ShowName", 30);           // no SlowCPU, Priority, ...
  state().table[kBezier].controls[3].RangeLo = 99;        // left over from an earlier load
  state().options.Priority = kPriorityHigh;
  state().options.ShowInfo = 1;

  ASSERT_EQ(LoadDisplay(state(), kDisplay), 1);
  const ModuleControl* c = state().table[kBezier].controls.data();
  EXPECT_EQ(Fields(c[3]), std::make_tuple(70, 10, 100, kSourceSet, 10));
  EXPECT_EQ(Fields(c[0]), std::make_tuple(4, 0, 12, kSourceRandom, 3));
  EXPECT_EQ(Fields(state().table[kCyclic].controls[0]), std::make_tuple(4, 0, 20, kSourceSet, 10));
  ExpectActive({kBezier, kCyclic});
  EXPECT_EQ(share().U32(share_offset::SlowCPU) + share().U32(share_offset::AutoGain), 2u);
  const SaverOptions& options = state().options;
  EXPECT_EQ(std::make_tuple(options.Priority, options.ShowInfo, options.ShowName),
            std::make_tuple(kPriorityHigh, 0, 30));
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

  ASSERT_EQ(LoadDisplay(state(), kDisplay), 1);
  const ModuleControl* c = state().table[kPattern].controls.data();
  EXPECT_EQ(Fields(c[0]), std::make_tuple(7, 0, 20, 0, 0x11234));
  EXPECT_EQ(c[3].Value, 50);
  EXPECT_STREQ(state().table[kPattern].text, "");
  EXPECT_EQ(std::make_tuple(state().options.ShowName, state().options.Speed,
                            palette().settings.Effect[kRed].load()),
            std::make_tuple(30, 5, kEffectCustom));
  const gfx::Rgb expected[] = {{1, 2, 3}, {4, 5, 0}, {0, 0, 0}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(palette().custom[i].Color(), expected[i]) << i;
    EXPECT_EQ(palette().custom[i].flags, 1);
  }
}

TEST_F(SavedDisplaysTest, SaveThenLoadGivesBackTheLiveSettings) {
  state().configDialogOpen = true;  // keep the sound sources as set
  Activate({kVortex, kBitmap});
  ModuleControl& vortex = state().table[kVortex].controls[3];
  // A Sense of four distinct bytes: stored and read back in their order.
  vortex = ModuleControl{1, 13, kSourceFirstBand + 2, 33, 50, 90, 20, 10, 100, 0x04030201, 0.5f, 0};
  const std::string path = "/pictures/" + std::string(249, 'p');  // the longest that fits
  std::strcpy(state().table[kBitmap].text, path.c_str());
  PaletteSettings& settings = palette().settings;
  settings.values[kMorphRate][kBlue].RangeHi = 15;
  settings.values[kScale][kRed].Value = 77;
  settings.Effect[kGreen] = kEffectCustom;
  palette().custom[5].Set({1, 2, 3});
  std::tie(state().options.ShowName, state().options.Speed) = std::pair(12, 7);
  share().SetU32(share_offset::SlowCPU, 0);
  const ModuleControl saved = vortex;
  ASSERT_TRUE(SaveDisplay(state(), kDisplay));
  EXPECT_EQ(Get(ModuleKey(kDisplay, "Bitmap"), "Path").size(), 260u);

  // A fresh process loads it.
  ResetModule(state(), kVortex);
  ResetModule(state(), kBitmap);
  SetPaletteDefaults(palette());
  palette().custom[5].Set({0, 0, 0});
  state().options = SaverOptions{};
  share().SetU32(share_offset::SlowCPU, 1);
  ASSERT_EQ(LoadDisplay(state(), kDisplay), 1);
  EXPECT_EQ(Fields(vortex), Fields(saved));
  EXPECT_EQ(state().table[kBitmap].text, path);
  EXPECT_EQ(std::make_tuple(settings.values[kMorphRate][kBlue].RangeHi,
                            settings.values[kScale][kRed].Value, settings.Effect[kGreen],
                            state().options.ShowName, state().options.Speed),
            std::make_tuple(15, 77, kEffectCustom, 12, 7));
  EXPECT_EQ(palette().custom[5].Color(), (gfx::Rgb{1, 2, 3}));
  EXPECT_EQ(share().U32(share_offset::SlowCPU), 0u);
  ExpectActive({kVortex, kBitmap});
}

// "CycleRate" has one value for all channels, and the green Seconds sense
// is stored under the red name: the slot written last wins.
TEST_F(SavedDisplaysTest, TheTwoIrregularPaletteNamesShareTheirValues) {
  PaletteSettings& settings = palette().settings;
  for (int channel = 0; channel < kChannels; ++channel) {
    settings.values[kCycleRate][channel].Value = 20 * (channel + 1);
    settings.values[kSeconds][channel].Sense = 2 + 3 * channel;
  }
  SavePalette(palette(), kDisplay);
  const std::string key = PaletteKey(kDisplay);
  EXPECT_EQ(std::make_tuple(GetInt(key, "CycleRate"), GetInt(key, "RedSecondsSense"),
                            GetInt(key, "BlueSecondsSense"), GetInt(key, "GreenMorphRateRangeHi")),
            std::make_tuple(60, 5, 8, 16));
  EXPECT_TRUE(Get(key, "RedCycleRate").empty() && Get(key, "GreenSecondsSense").empty());

  PutInt(ModuleKey(kDisplay, "Sphere"), "Control0", 1);
  ASSERT_EQ(LoadDisplay(state(), kDisplay), 1);
  for (int channel = 0; channel < kChannels; ++channel) {
    EXPECT_EQ(settings.values[kCycleRate][channel].Value, 60) << channel;
    EXPECT_EQ(settings.values[kSeconds][channel].Sense, channel == kBlue ? 8 : 5) << channel;
  }
}

TEST_F(SavedDisplaysTest, CustomColoursAreStoredOnlyForTheCustomEffect) {
  palette().settings.Effect[kBlue] = kEffectCustom;
  palette().custom[0].Set({10, 20, 30});
  SavePalette(palette(), kDisplay);
  Bytes custom = Get(PaletteKey(kDisplay), "Custom");
  ASSERT_EQ(custom.size(), 708u);
  EXPECT_EQ(Bytes(custom.begin(), custom.begin() + 3), (Bytes{10, 20, 30}));
  // The capture-colours key stores the colours on screen instead.
  palette().LiveColors = 1;
  palette().entries[235].Set({7, 8, 9});
  SavePalette(palette(), kDisplay);
  custom = Get(PaletteKey(kDisplay), "Custom");
  EXPECT_EQ(Bytes(custom.end() - 3, custom.end()), (Bytes{7, 8, 9}));
  palette().settings.Effect[kBlue] = kEffectFade;
  SavePalette(palette(), kDisplay);
  EXPECT_TRUE(Get(PaletteKey(kDisplay), "Custom").empty());
}

TEST_F(SavedDisplaysTest, EarlierVersionPalettesAreConverted) {
  PutInt(ModuleKey(kDisplay, "Stain"), "Control0", 1);
  for (const auto& [name, value] : std::vector<std::pair<const char*, int32_t>>{
           {"Shifted", 1}, {"Together", 1}, {"AllEffect", kEffectCoarse}, {"RedEffect", kEffectFade},
           {"GreenDensitySource", 5},  // the old density lived in the source slot
           {"RedRampDecayRangeLo", 7}, {"BlueSource", kSourceOscillate}, {"BlueScale", 40},
           {"BlueScaleLo", 20}, {"BlueScaleHi", 60}, {"BlueSense", 3},
           {"RedSource", kSourceRandom},  // below 2: the old scale is ignored
           {"RedSense", 2}}) {
    PutInt(PaletteKey(kDisplay), name, value);
  }
  ASSERT_EQ(LoadDisplay(state(), kDisplay), 1);
  const auto& v = palette().settings.values;
  EXPECT_EQ(Fields(v[kDensity][kGreen]), std::make_tuple(6, 5, 9, kSourceRandom, 7));
  EXPECT_EQ(v[kRampDecay][kRed].RangeLo, 21);
  EXPECT_EQ(v[kRampDecay][kBlue].RangeLo, 3);  // default 1, times 3
  EXPECT_EQ(Fields(v[kScale][kBlue]), std::make_tuple(40, 20, 60, kSourceOscillate, 3));
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
  SaveDisplay(state(), kDisplay);
  PutInt(ModulesKey(kDisplay) + "\\Foreign\\Deeper", "X", 1);  // e.g. from an imported file
  EXPECT_EQ(DeleteDisplay(kDisplay), 1);
  // A name that is not a display never reaches the "Saved" key itself.
  for (const char* name : {"", "..", "Keep\\Modules"}) EXPECT_EQ(DeleteDisplay(name), 1);
  EXPECT_TRUE(KeyExists(ModuleKey("Keep", "Pattern")));
  EXPECT_EQ(ListSavedDisplays(), std::vector<std::string>{"Keep"});
}

// However many keys a hand-edited or foreign store holds, lists stop at a
// thousand displays.
TEST_F(SavedDisplaysTest, AtMostAThousandDisplaysAreListed) {
  for (int i = 0; i < 1001; ++i) PutInt(PaletteKey("D" + std::to_string(i)), "AllEffect", 1);
  EXPECT_EQ(ListSavedDisplays().size(), 1000u);
}

TEST_F(SavedDisplaysTest, CapturesStoreLiveControlsAsFixedValuesUnderTheNextFreeNumber) {
  Activate({kRandom, kBezier});
  ModuleControl& live = state().table[kBezier].controls[0];
  live.Source = kSourceVolume;
  live.Value = 14;  // what the evaluator made of the sound just now
  share().SetU32(share_offset::CaptureRequest, 1);
  palette().LiveColors = 1;
  palette().settings.Effect[kRed] = kEffectCustom;
  Capture(state());
  const std::string bezier = ModuleKey("Capture #1", "Bezier");
  EXPECT_EQ(GetInt(bezier, "Check0") * 100 + GetInt(bezier, "Control0"), kSourceSet * 100 + 14);
  EXPECT_FALSE(ContainsRandom("Capture #1"));
  EXPECT_EQ(Get(PaletteKey("Capture #1"), "Custom").size(), 708u);
  EXPECT_EQ(live.Source, kSourceVolume);
  ExpectActive({kRandom, kBezier});
  EXPECT_EQ(share().U32(share_offset::CaptureRequest) + palette().LiveColors, 0u);

  for (const char* expected : {"Capture #2", "Capture #1", "Capture #3"}) {
    if (std::string(expected) == "Capture #1") DeleteDisplay("Capture #1");
    Capture(state());
    EXPECT_EQ(ReadActiveName(), expected);
  }
}

// Without the player (or with sound switched off) sound sources of active
// modules and of the palette become Oscillate; the open dialog keeps them.
TEST_F(SavedDisplaysTest, SoundSourcesFollowThePlayerAndTheSwitches) {
  struct Case {
    uint32_t player, moduleSound, paletteSound; bool dialog;
    int32_t moduleSource, paletteSource; uint32_t saverUses, paletteUses;
  };
  for (const Case& c : {Case{0, 1, 1, false, kSourceOscillate, kSourceOscillate, 0, 0},
                        Case{1, 1, 0, false, kSourceVolume, kSourceOscillate, 1, 0},
                        Case{1, 0, 1, false, kSourceOscillate, kSourceLeft, 1, 1},
                        Case{0, 0, 0, true, kSourceVolume, kSourceLeft, 1, 1}}) {
    Activate({kStar});
    ModuleControl* star = state().table[kStar].controls.data();
    star[3].Source = star[4].Source = kSourceVolume;  // slot 4 is not defined: left alone
    star[0].Source = kSourceRandom;
    state().table[kPlasma].controls[3].Source = kSourceVolume;  // not active: left alone
    palette().settings.values[kScale][kRed].Source = kSourceLeft;
    share().SetU32(share_offset::PlayerActive, c.player);
    share().SetU32(share_offset::ModuleSoundEnabled, c.moduleSound);
    share().SetU32(share_offset::PaletteSoundEnabled, c.paletteSound);
    state().configDialogOpen = c.dialog;
    ApplySoundAvailability(state());
    EXPECT_EQ(std::make_tuple(star[3].Source, star[4].Source, star[0].Source),
              std::make_tuple(c.moduleSource, kSourceVolume, kSourceRandom));
    EXPECT_EQ(state().table[kPlasma].controls[3].Source, kSourceVolume);
    EXPECT_EQ(palette().settings.values[kScale][kRed].Source, c.paletteSource);
    EXPECT_EQ(share().U32(share_offset::SaverUsesSound), c.saverUses);
    EXPECT_EQ(share().U32(share_offset::PaletteUsesSound), c.paletteUses);
  }
}

// A memory registry that counts the outermost batches and the changes
// made outside any batch.
class BatchCountingRegistry final : public RegistryStore {
 public:
  using R = RegRoot;
  using S = std::string_view;
  bool KeyExists(R r, S p) override { return inner_.KeyExists(r, p); }
  bool CreateKey(R r, S p) override { return Change(), inner_.CreateKey(r, p); }
  bool DeleteKey(R r, S p) override { return Change(), inner_.DeleteKey(r, p); }
  bool ReadValue(R r, S p, S n, RegValue& out) override { return inner_.ReadValue(r, p, n, out); }
  bool WriteValue(R r, S p, S n, uint32_t t, const void* d, size_t size) override {
    return Change(), inner_.WriteValue(r, p, n, t, d, size);
  }
  bool DeleteValue(R r, S p, S n) override { return Change(), inner_.DeleteValue(r, p, n); }
  std::vector<std::string> EnumSubkeys(R r, S p) override { return inner_.EnumSubkeys(r, p); }
  std::vector<RegValue> EnumValues(R r, S p) override { return inner_.EnumValues(r, p); }
  void BeginBatch() override { batches += depth_++ == 0; }
  void EndBatch() override { --depth_; }
  int batches = 0, changes = 0, unbatchedChanges = 0;

 private:
  void Change() { ++changes, unbatchedChanges += depth_ == 0; }
  MemoryRegistry inner_;
  int depth_ = 0;
};

// Every save that writes a display changes the registry inside one batch,
// so a file-backed registry writes the whole display out at once and a
// killed process never leaves half of one.
TEST_F(SavedDisplaysTest, DisplaysAreWrittenInOneBatchEach) {
  BatchCountingRegistry counting;
  InstallRegistry(&counting);
  auto expectOneBatch = [&](const char* what, auto action) {
    counting.batches = counting.unbatchedChanges = counting.changes = 0;
    action();
    EXPECT_GT(counting.changes, 0) << what;
    EXPECT_EQ(counting.unbatchedChanges, 0) << what;
    EXPECT_EQ(counting.batches, 1) << what;
  };
  expectOneBatch("first run", [&] { SetUpSavedDisplays(state()); });
  state().options.Active[kStar] = 1;
  expectOneBatch("save", [&] { SaveDisplay(state(), kDisplay); });
  expectOneBatch("save again", [&] { SaveDisplay(state(), kDisplay); });
  expectOneBatch("capture", [&] { Capture(state()); });
  expectOneBatch("delete", [&] { DeleteDisplay(kDisplay); });
  std::vector<uint8_t> file;
  ASSERT_TRUE(SerializeDisplay("Capture #1", file).ok());
  expectOneBatch("import", [&] { EXPECT_TRUE(ImportSettingsBytes(kDisplay, file).ok()); });
}

}  // namespace
}  // namespace lumox
