// The Random module: its choice of modules and of saved displays, the
// calls it makes into the other modules, and what it keeps of the user's
// options.
//
// Most cases run it on the process-wide saver record with recording
// stand-ins for the other modules (they draw nothing and take no random
// numbers) over a registry in memory; one case runs the real table set-up
// on a fresh registry, as a first run does.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "module_harness.h"
#include "modules/random_module.h"
#include "palette/palette.h"
#include "platform/memory_registry.h"
#include "saver/module_table.h"
#include "settings/registry_values.h"
#include "settings/saved_displays.h"

namespace lumox::testing {
namespace {

constexpr int kChoice = 0, kMaximumAtOnce = 1, kDuration = 2, kRandomControls = 3,
              kClearScreen = 4;
constexpr uint8_t kPicture = 77;  // a physical index the stand-ins never draw

std::vector<std::string>& CallLog() {
  static std::vector<std::string> log;
  return log;
}

// The stand-ins log "Stop 3", "Init 3 50" (with control 0's value, to see
// that it was validated before), "Start 3".
int32_t Log(const std::string& call, const ModuleDescriptor& m, const std::string& more = "") {
  CallLog().push_back(call + " " + std::to_string(m.index()) + more);
  return 0;
}
int32_t FakeDraw(ModuleDescriptor&) noexcept { return 0; }
int32_t FakeInit(ModuleDescriptor& m) noexcept {
  return Log("Init", m, " " + std::to_string(m.controls[0].Value));
}
int32_t FakeStart(ModuleDescriptor& m) noexcept { return Log("Start", m); }
int32_t FakeStop(ModuleDescriptor& m) noexcept { return Log("Stop", m); }

class RandomModuleTest : public ::testing::Test {
 protected:
  // The harness installs the clock, system services and sound block.
  RandomModuleTest() {
    InstallRegistry(&registry_);
    ForgetRandomModuleState();
    CallLog().clear();
    SetPaletteDefaults(palette_);
    surface_.Fill(kPicture);

    SaverState& saver = Saver();
    saver.table = ModuleTable{};
    saver.options = SaverOptions{};
    saver.palette = &palette_;
    for (int i = 0; i < kModuleCount; ++i) {
      ModuleDescriptor& m = saver.table[i];
      std::tie(m.name, m.table, m.palette) =
          std::tuple(kModuleNames[i], saver.table.data(), &palette_);
      AttachToSurface(m);
      DefineControl(saver.table, i, 0, 0, 50, 0, 100);
      DefineControl(saver.table, i, 0, 9, 1, -10, 10);
      std::tie(m.Draw, m.Init, m.Start, m.Stop) =
          std::make_tuple(FakeDraw, FakeInit, FakeStart, FakeStop);
    }
    InstallModule(saver.table, kRandom);
  }

  ~RandomModuleTest() override {
    SaverState& saver = Saver();
    saver.table = ModuleTable{};
    saver.options = SaverOptions{};
    saver.palette = nullptr;
    ForgetRandomModuleState();
    InstallRegistry(nullptr);
  }

  void AttachToSurface(ModuleDescriptor& m) {
    std::tie(m.width, m.height, m.dc) = std::tuple(surface_.width(), surface_.height(), &canvas_);
  }
  ModuleDescriptor& random() { return Saver().table[kRandom]; }
  void Set(int slot, int32_t value) { random().controls[slot].Value = value; }

  // The user's selection: these modules and the Random module.
  void Select(std::initializer_list<int> modules) {
    for (auto& active : Saver().options.Active) active = 0;
    for (int m : modules) Saver().options.Active[m] = 1;
    Saver().options.Active[kRandom] = 1;
  }
  std::set<int> ActiveModules() const {
    std::set<int> active;
    for (int i = 0; i < kModuleCount; ++i)
      if (Saver().options.Active[i]) active.insert(i);
    return active;
  }

  // The module as the render thread starts it; a later change comes from
  // Draw once the duration has passed.
  void Start() { random().Start(random()); }
  void DrawAfter(uint32_t milliseconds) {
    clock_.Advance(milliseconds);
    random().Draw(random());
  }
  void NextChange() {
    DrawAfter(1000u * static_cast<uint32_t>(random().controls[kDuration].Value) + 1);
  }
  // The displays shown over that many changes.
  std::set<std::string> DisplaysShown(int changes) {
    std::set<std::string> shown;
    for (int change = 0; change < changes; ++change) {
      NextChange();
      shown.insert(Saver().displayName);
    }
    return shown;
  }
  bool FilledWith(uint8_t p) const {
    return std::all_of(surface_.data(), surface_.data() + surface_.size(),
                       [p](uint8_t q) { return q == p; });
  }

  // A saved display holding keys for these modules.
  void AddDisplay(const std::string& name, std::initializer_list<int> modules) {
    registry_.CreateKey(RegRoot::CurrentUser, ControlPanelPath(DisplayKey(name)));
    for (int m : modules)
      registry_.CreateKey(RegRoot::CurrentUser, ControlPanelPath(ModuleKey(name, kModuleNames[m])));
  }

  ModuleHarness harness_{kRandom, 37, 23, 2024};
  ManualClock& clock_ = harness_.clock();
  SoundShare& share_ = harness_.sound();
  gfx::Surface& surface_ = harness_.surface();
  gfx::Canvas& canvas_ = harness_.canvas();
  MemoryRegistry registry_;
  PaletteState palette_;
};

// "Maximum at once" draws among the selected modules, a module drawn twice
// counting twice: sometimes one runs, sometimes both. With only itself
// selected it runs one other module.
TEST_F(RandomModuleTest, DrawsAmongTheSelectedModules) {
  Set(kChoice, 0);
  Set(kMaximumAtOnce, 3);
  Select({kCyclic, kStain});
  Start();
  std::set<size_t> counts;
  for (int change = 0; change < 60; ++change) {
    std::set<int> active = ActiveModules();
    ASSERT_TRUE(active.erase(kRandom));
    for (int m : active) EXPECT_TRUE(m == kCyclic || m == kStain) << m;
    counts.insert(active.size());
    NextChange();  // the selection stays the first one, whatever ran since
  }
  EXPECT_EQ(counts, (std::set<size_t>{1, 2}));

  std::set<int> seen;
  for (uint32_t seed : {1u, 77u, 31337u, 4u, 5u, 6u}) {
    ForgetRandomModuleState();
    Select({});
    SeedRandom(seed);
    Start();
    std::set<int> active = ActiveModules();
    ASSERT_TRUE(active.erase(kRandom)) << seed;
    ASSERT_EQ(active.size(), 1u) << seed;
    seen.insert(*active.begin());
  }
  EXPECT_GT(seen.size(), 1u);  // not always the same one
}

TEST_F(RandomModuleTest, ChangeStopsTheOldModulesThenValidatesInitsAndStartsTheNewInOrder) {
  Set(kChoice, 0);
  Set(kMaximumAtOnce, 11);
  Select({kBezier, kPattern, kVortex});
  Saver().table[kPattern].controls[0].Value = 500;  // beyond its maximum of 100
  Start();
  EXPECT_EQ(CallLog(), (std::vector<std::string>{"Stop 0", "Stop 2", "Stop 8",
                                                  "Init 0 50", "Start 0", "Init 2 50", "Start 2",
                                                  "Init 8 50", "Start 8"}));
  EXPECT_EQ(ActiveModules(), (std::set<int>{kBezier, kPattern, kVortex, kRandom}));
}

TEST_F(RandomModuleTest, ChangesOnlyOnceTheDurationHasPassed) {
  Set(kChoice, 0);
  Set(kDuration, 2);
  Select({kBezier});
  Start();
  CallLog().clear();
  DrawAfter(2000);
  EXPECT_TRUE(CallLog().empty()) << "the change time is not yet below the tick count";
  DrawAfter(1);
  EXPECT_EQ(CallLog().front(), "Stop 0");

  // Across the wrap of the tick count the change still waits its time.
  clock_.Set(0xFFFFFFFFu - 500);
  Start();
  CallLog().clear();
  for (int step = 0; step < 4; ++step) DrawAfter(499);  // before the wrap, and after it
  EXPECT_TRUE(CallLog().empty());
  DrawAfter(5);
  EXPECT_FALSE(CallLog().empty());
}

// "Saved displays that suit the player": without the player the first
// loadable display without the Random module, never one with it, not even
// for a moment; with the player running only a display that uses sound.
// Mode 1 takes any display.
TEST_F(RandomModuleTest, DisplaysThatSuitThePlayerAreTaken) {
  AddDisplay(kSoundSettingsDisplay, {kRandom});
  AddDisplay("A mix with Random", {kBezier, kRandom});
  AddDisplay("B nothing in it", {});
  AddDisplay("C cyclic", {kCyclic});
  Set(kChoice, 2);
  Select({kStar});
  Start();
  for (int change = 0; change < 20; ++change) {
    EXPECT_STREQ(Saver().displayName, "C cyclic");
    EXPECT_EQ(ActiveModules(), (std::set<int>{kCyclic, kRandom}));
    NextChange();
  }
  for (const std::string& call : CallLog())
    EXPECT_TRUE(!call.starts_with("Start") || call == "Start 1") << call;

  share_.SetU32(share_offset::PlayerActive, 1);
  AddDisplay("Loud", {kCyclic});
  for (const std::string& key :
       {ModuleKey("A mix with Random", "Bezier"), ModuleKey("Loud", "Cyclic")})
    WriteInt32(ControlValueName(ControlField::Source, 0), key, kSourceFirstBand);
  EXPECT_EQ(DisplaysShown(10), (std::set<std::string>{"Loud"}));
  Set(kChoice, 1);
  EXPECT_EQ(DisplaysShown(30), (std::set<std::string>{"Loud", "C cyclic"}));
}

// A display naming no known module is passed over; with no display left only
// the Random module runs, and one added later is found (the count was not
// learned as zero).
TEST_F(RandomModuleTest, WithNoUsableSavedDisplayOnlyTheRandomModuleRuns) {
  registry_.CreateKey(RegRoot::CurrentUser, ControlPanelPath(ModuleKey("Strange", "Teapot")));
  Set(kChoice, 1);
  Select({kBezier});
  Start();
  EXPECT_EQ(ActiveModules(), (std::set<int>{kRandom}));
  AddDisplay("Late", {kPattern});
  for (int change = 0; change < 20; ++change) {
    NextChange();
    EXPECT_EQ(ActiveModules(), (std::set<int>{kPattern, kRandom}));
  }
}

TEST_F(RandomModuleTest, ClearScreenZeroKeepsThePicture) {
  Set(kChoice, 0);
  Select({kSphere});
  Set(kClearScreen, 0);
  Start();
  EXPECT_TRUE(FilledWith(kPicture));
  Set(kClearScreen, 1);
  NextChange();
  EXPECT_TRUE(FilledWith(0));
}

TEST_F(RandomModuleTest, TheUserOptionsOfTheFirstChangeAreRestored) {
  AddDisplay("Other options", {kBezier});
  const std::string key = DisplayKey("Other options");
  for (const auto& [name, value] : {std::pair{"Priority", kPriorityNormal}, {"ClearFirst", 1},
                                    {"ShowInfo", 1}, {"ShowName", 30}, {"AutoRun", 1}})
    WriteInt32(name, key, value);
  SaverOptions& options = Saver().options;
  std::tie(options.Priority, options.ClearFirst, options.ShowInfo, options.ShowName) =
      std::tuple(kPriorityHigh, 0, 0, 9);
  Set(kChoice, 1);
  Start();
  EXPECT_STREQ(Saver().displayName, "Other options");
  // The user's own, but the other options (AutoRun) are the display's.
  EXPECT_EQ(std::tuple(options.Priority, options.ClearFirst, options.ShowInfo, options.ShowName,
                       options.AutoRun),
            std::tuple(kPriorityHigh, 0, 0, 9, 1));
  EXPECT_EQ(ActiveModules(), (std::set<int>{kBezier, kRandom}));

  options.Priority = kPriorityIdle;
  NextChange();
  EXPECT_EQ(options.Priority, kPriorityHigh) << "the first selection's, every time";
}

TEST_F(RandomModuleTest, RandomControlsGiveEveryControlTheRandomSourceAndAValueInRange) {
  Set(kChoice, 0);
  Set(kRandomControls, 1);
  Select({kEffect});
  ModuleControl& reversed = Saver().table[kEffect].controls[0];
  for (int change = 0; change < 30; ++change) {
    std::tie(reversed.RangeLo, reversed.RangeHi) = std::pair(80, 20);
    change == 0 ? Start() : NextChange();
    for (const ModuleControl& c : Saver().table[kEffect].controls)
      EXPECT_EQ(c.Source, kSourceRandom);
    EXPECT_GE(reversed.Value, 20);
    EXPECT_LE(reversed.Value, 80);
  }
  EXPECT_EQ(Saver().table[kBezier].controls[0].Source, kSourceSet) << "only the started ones";
}

TEST_F(RandomModuleTest, OnlyASavedDisplayRestartsThePaletteEffects) {
  for (ChannelAnimation& channel : palette_.channels) channel.ChangeTime = 1;
  AddDisplay("Pattern", {kPattern});
  Set(kChoice, 0);
  Select({kPattern});
  Start();
  for (const ChannelAnimation& channel : palette_.channels) EXPECT_EQ(channel.ChangeTime, 1u);
  Set(kChoice, 1);
  NextChange();
  for (const ChannelAnimation& channel : palette_.channels)
    EXPECT_EQ(channel.ChangeTime, TickCount() + 500);
}

// The first run: the real table set-up creates the default displays and
// runs "[R] Saved Sound Settings", i.e. this module. It must switch to
// displays that draw, never to one holding itself.
TEST_F(RandomModuleTest, FirstRunShowsDisplaysThatDraw) {
  SaverState& saver = Saver();
  saver.table = ModuleTable{};
  for (ModuleDescriptor& m : saver.table) AttachToSurface(m);
  SetUpModuleTable(saver);
  ASSERT_EQ(ActiveModules(), (std::set<int>{kRandom}));
  surface_.Fill(0);
  random().Init(random());
  Start();
  bool drew = false;
  for (int change = 0; change < 25; ++change) {
    EXPECT_STRNE(saver.displayName, kSoundSettingsDisplay);
    std::set<int> active = ActiveModules();
    ASSERT_TRUE(active.erase(kRandom));
    ASSERT_FALSE(active.empty()) << saver.displayName;
    for (int m : active) {
      EXPECT_NE(saver.table[m].Draw, &NoOpEntryPoint) << saver.displayName;
      for (int frame = 0; frame < 5; ++frame) saver.table[m].Draw(saver.table[m]);
    }
    drew = drew || !FilledWith(0);
    NextChange();
  }
  EXPECT_TRUE(drew);
  for (int m : ActiveModules()) saver.table[m].Stop(saver.table[m]);
}

}  // namespace
}  // namespace lumox::testing
