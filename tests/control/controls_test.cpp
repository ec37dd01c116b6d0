// Control values: the oscillator, the sound levels the player publishes, and
// the module-side randomising, evaluation and repair of stored controls; the
// shared sound block's wire format, how the saver and the configuration
// dialog open, count and leave it, and finding the analyser shipped beside
// the saver.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <numbers>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "base/truncate.h"
#include "control/bundled_player.h"
#include "control/controls.h"
#include "control/oscillator_table.h"
#include "control/sound_link.h"
#include "control/sound_share.h"
#include "platform/memory_registry.h"
#include "platform/memory_shared_memory.h"
#include "platform/program_path.h"
#include "platform/recording_system.h"
#include "state/module.h"

#ifndef _WIN32
#include <unistd.h>

#include "platform/posix/posix_system.h"
#endif

namespace lumox {
namespace {

namespace fs = std::filesystem;
namespace off = share_offset;

// A private shared block made current for one test, with the level
// trackers back at their initial values.
class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCurrentSoundShare(&share);
    ResetLevelTrackers();
  }
  void TearDown() override { SetCurrentSoundShare(nullptr); }
  void SetLevels(float left, float right, float fullScale = 1.0f) {
    share.SetF32(off::LeftLevel, left);
    share.SetF32(off::RightLevel, right);
    share.SetF32(off::LevelFullScale, fullScale);
    share.SetF32(off::BandFullScale, fullScale);
  }
  SoundShareBytes bytes;
  SoundShare share{bytes.bytes};
};

std::vector<int32_t> Oscillation(float state, float sense, float lo, float hi, int count) {
  std::vector<int32_t> values;
  for (int i = 0; i < count; ++i)
    values.push_back(TruncateToInt(EvaluateControl(kSourceOscillate, state, sense, lo, hi)));
  return values;
}

// One cycle is 400 / Sense steps: at Sense 10 a step is a fortieth of a cycle.
TEST_F(ControlsTest, OscillationStartsHalfWayStepsThroughTheTableAndKeepsMovingForDays) {
  EXPECT_EQ(Oscillation(0.5f, 10.0f, 0.0f, 100.0f, 4), (std::vector<int32_t>{42, 34, 27, 20}));
  EXPECT_EQ(Oscillation(0.5f, 10.0f, 100.0f, 0.0f, 4), (std::vector<int32_t>{57, 65, 72, 79}));
  // After days of running the phase is large; it must keep moving (one step
  // lost to rounding, then the usual cycle).
  const std::vector<int32_t> late = Oscillation(600000.5f, 10.0f, 0.0f, 100.0f, 41);
  EXPECT_EQ(late[0], 49);
  EXPECT_EQ(std::vector<int32_t>(late.begin() + 1, late.end()), Oscillation(0.5f, 10, 0, 100, 40));
}

// Sense 10 follows the level at once, Sense 1 moves a tenth of the way; a
// reversed range counts down from RangeLo.
TEST_F(ControlsTest, SoundMovesTheStateBySenseTenthsTowardTheLevel) {
  struct Case { float left, right, state, sense, lo, hi; int32_t source; float value, newState; };
  const Case cases[] = {
      {0.25f, 0.75f, 0.5f, 10, 20, 60, kSourceVolume, 40, 0.5f},
      {1, 1, 0.0f, 1, 0, 100, kSourceVolume, 10, 0.1f},
      {0.2f, 0.2f, 0.5f, 10, 100, 0, kSourceVolume, 80, 0.8f},
      {0.2f, 0.2f, 0.5f, 10, 50, 50, kSourceVolume, 50, 0.8f},  // equal ends: t is 1 - m
      {0.5f, 0.5f, NAN, 10, 0, 100, kSourceVolume, 50, 0.5f},   // a NaN state starts afresh
  };
  for (const Case& c : cases) {
    SetLevels(c.left, c.right);
    float state = c.state;
    EXPECT_FLOAT_EQ(EvaluateControl(c.source, state, c.sense, c.lo, c.hi), c.value)
        << c.source << " " << c.left << " " << c.sense << " " << c.lo;
    EXPECT_FLOAT_EQ(state, c.newState);
  }
  // With SlowCPU set every sound source reads Volume.
  SetLevels(0.2f, 0.6f);
  for (int b = 0; b < kBandCount; ++b) share.SetLeftBand(b, 0.9f);
  for (uint32_t slow : {0u, 1u}) {
    share.SetU32(off::SlowCPU, slow);
    for (int source : {int{kSourceLeft}, kSourceFirstBand + 12, int{kSourceLastBand}}) {
      float state = 0.0f;  // Sense 10 over 0..1 gives the level itself
      const float level = EvaluateControl(source, state, 10.0f, 0.0f, 1.0f);
      EXPECT_EQ(level == ReadSoundLevel(kSourceVolume), slow == 1) << source;
    }
  }
}

TEST_F(ControlsTest, LevelsAreDividedByTheFullScalesOrNormalisedByAutoGain) {
  SetLevels(100.0f, 300.0f, 200.0f);
  share.SetF32(off::BandFullScale, 50.0f);
  share.SetU32(off::LevelDivisor, 10);  // only with AutoGain
  share.SetLeftBand(4, 40.0f);
  share.SetRightBand(4, 80.0f);
  for (const auto& [source, level] : {std::pair{kSourceVolume + 0, 1.0f}, {kSourceLeft + 0, 0.5f},
                                      {kSourceRight + 0, 1.5f}, {kSourceFirstBand + 4, 1.2f},
                                      {kSourceFirstBand + 5, 0.0f}})
    EXPECT_FLOAT_EQ(ReadSoundLevel(source), level) << source;
  // AutoGain divides by the divisor, then by the span from the lowest to the
  // highest level so far, at most 1; channels and bands are tracked apart.
  share.SetU32(off::AutoGain, 1);
  SetLevels(4.0f, 4.0f);  // the first nonzero level is peak and floor: full
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceVolume), 1.0f);
  SetLevels(8.0f, 8.0f);  // peak 0.8, floor 0.4
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceVolume), 1.0f);
  SetLevels(0.0f, 6.0f);  // 0.6 / 0.4, limited to 1; then Left 0 lowers the floor
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceRight), 1.0f);
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceLeft), 0.0f);
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceRight), 0.75f);
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceFirstBand), 0.0f);  // a zero read first yields 0
  share.SetLeftBand(15, 3.0f);
  share.SetRightBand(15, 1.0f);
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceLastBand), 1.0f);
  share.SetLeftBand(15, 1.0f);
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceLastBand), 0.5f);
  EXPECT_FLOAT_EQ(ChannelTracker().peak, 0.8f);
}

TEST_F(ControlsTest, AbsurdLevelsScalesSensesStatesAndSourcesGiveFiniteValues) {
  const float inf = std::numeric_limits<float>::infinity();
  for (uint32_t autoGain : {0u, 1u}) {
    share.SetU32(off::AutoGain, autoGain);
    for (float level : {NAN, inf, -inf, 3e38f, -3e38f}) {
      ResetLevelTrackers();
      for (float scale : {0.0f, NAN, 1e-38f}) {  // zero, as a fresh block has them
        SetLevels(level, level, scale);
        for (int b = 0; b < kBandCount; ++b) share.SetRightBand(b, level);
        for (int source = -1; source <= kSourceCount; ++source) {
          for (float sense : {10.0f, NAN, -inf, 3e38f}) {
            float state = source == 5 ? NAN : 0.5f;
            const float value = EvaluateControl(source, state, sense, -1000.0f, 1000.0f);
            ASSERT_TRUE(std::isfinite(value) && std::isfinite(state)) << source << " " << level;
          }
          ASSERT_TRUE(std::isfinite(ReadSoundLevel(source)));
        }
      }
    }
  }
  for (int source : {-5, 0, 1, 22, INT32_MIN, INT32_MAX}) EXPECT_EQ(ReadSoundLevel(source), 0.0f);
}

TEST_F(ControlsTest, RenderAndPaletteThreadsEvaluateWhileThePlayerWrites) {
  share.SetU32(off::AutoGain, 1);
  share.SetU32(off::LevelDivisor, 100);
  std::atomic<bool> playing{true};
  std::thread player([&] {
    for (int i = 0; playing; ++i) {
      SetLevels(static_cast<float>(i % 97), static_cast<float>(i % 89));
      share.SetLeftBand(i % kBandCount, static_cast<float>(i % 53));
    }
  });
  std::atomic<int> inRange{0};
  auto evaluator = [&](int firstSource) {
    float state = 0.5f;
    for (int i = 0; i < 20000; ++i)  // equal range ends always yield that value
      inRange += EvaluateControl(3 + (firstSource + i) % 19, state, 5, 33, 33) == 33.0f;
  };
  std::thread render(evaluator, 0), palette(evaluator, 7);
  render.join();
  palette.join();
  playing = false;
  player.join();
  EXPECT_EQ(inRange, 40000);
}

TEST_F(ControlsTest, LivenessNeedsThePlayerAndTheRightSwitch) {
  for (const auto& [player, modules, palette] : {std::array{0u, 1u, 1u}, {1u, 0u, 1u},
                                                 {1u, 1u, 0u}, {1u, 1u, 1u}}) {
    share.SetU32(off::PlayerActive, player);
    share.SetU32(off::ModuleSoundEnabled, modules);
    share.SetU32(off::PaletteSoundEnabled, palette);
    for (int source = -1; source <= kSourceCount; ++source) {
      const bool sound = source >= kSourceVolume && source <= kSourceLastBand;
      EXPECT_EQ(IsControlLive(source), source == 2 || (sound && player && modules)) << source;
      EXPECT_EQ(IsPaletteSourceLive(source), source == 2 || (sound && player && palette));
    }
  }
}

TEST_F(ControlsTest, RandomizeDrawsTheRangeAndEvaluateReplacesOnlyLiveSources) {
  ModuleDescriptor module;
  module.controls[0] = DefinedControl(0, 4, 0, 20);
  // A range given either way round, and a span beyond int32.
  module.controls[1] = {.Source = kSourceRandom, .RangeLo = 15, .RangeHi = 5};
  module.controls[2] = {.Source = kSourceOscillate, .RangeLo = INT32_MIN, .RangeHi = INT32_MAX};
  std::set<int32_t> seen;
  for (int i = 0; i < 500; ++i) {
    RandomizeControls(module);
    ASSERT_EQ(module.controls[0].Value, 4);
    seen.insert(module.controls[1].Value);
  }
  EXPECT_EQ(seen, (std::set<int32_t>{5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
  module.controls[1].Value = 3;
  module.controls[2] = {.Source = kSourceOscillate, .Value = 3, .RangeHi = 100};
  module.controls[3] = {.Source = kSourceVolume, .Value = 3, .RangeLo = -100};
  SetLevels(0.375f, 0.375f);
  EvaluateControls(module);
  const std::array<int32_t, 4> values = {module.controls[0].Value, module.controls[1].Value,
                                         module.controls[2].Value, module.controls[3].Value};
  EXPECT_EQ(values, (std::array<int32_t, 4>{4, 3, 42, -62}));  // -62.5 truncated toward zero
}

TEST_F(ControlsTest, ValidateRepairsValuesAndRangesOutsideTheLimits) {
  // Default, minimum, maximum; value and range as loaded; as repaired.
  const int32_t cases[][9] = {{4, 0, 20, 50, 21, -1, 4, 0, 20},
                              {4, 0, 20, -1, 20, 0, 4, 20, 0},
                              {4, 0, 20, 0, 0, 20, 0, 0, 20},  // the limits themselves are kept
                              {4, 0, 20, 20, 20, 0, 20, 20, 0},
                              {-5, -10, -1, INT32_MIN, -10, INT32_MAX, -5, -10, -1}};
  for (const auto& c : cases) {
    ModuleDescriptor module;
    ModuleControl& control = module.controls[0] = DefinedControl(0, c[0], c[1], c[2]);
    control.Value = c[3];
    control.RangeLo = c[4];
    control.RangeHi = c[5];
    ValidateControls(module);
    EXPECT_EQ((std::array{control.Value, control.RangeLo, control.RangeHi}),
              (std::array{c[6], c[7], c[8]})) << c[3];
  }
  const std::pair<int, const char*> names[] = {{kSourceSet, "Set"}, {kSourceVolume, "Volume"},
      {kSourceFirstBand + 12, "8KHz"}, {kSourceLastBand, "18KHz"}, {-1, ""}, {kSourceCount, ""}};
  for (const auto& [source, name] : names) EXPECT_STREQ(ControlSourceName(source), name);
}

TEST(OscillatorTable, IsTheRoundedSineShiftedByOneStep) {
  for (int k = 0; k < kOscillatorTableSize; ++k)
    ASSERT_EQ(OscillatorTable[k], std::lround(16382.0L * std::sin(std::numbers::pi_v<long double> * (k + 1) / 1024.0L))) << k;
}

using SoundShareTest = ControlsTest;

// The words the saver reads or writes, at their documented wire offsets.
constexpr std::pair<size_t, size_t> kWords[] = {
    {off::BlockSize, 0x000},          {off::LayoutVersion, 0x004},      {off::LeftLevel, 0x00C},
    {off::RightLevel, 0x010},         {off::LevelFullScale, 0x014},     {off::LevelDivisor, 0x018},
    {off::KeyLevel, 0x01C},           {off::BandFullScale, 0x020},      {off::InfoSerial, 0x1AC},
    {off::LayoutMismatchCode, 0x1C8}, {off::LayoutMismatch, 0x1CC},     {off::SaverWindows, 0x1D0},
    {off::PaletteUsesSound, 0x1D4},   {off::SaverUsesSound, 0x1D8},
    {off::PaletteSoundEnabled, 0x1DC}, {off::ModuleSoundEnabled, 0x1E0},
    {off::FullScreenSaver, 0x1E4},    {off::AutoGain, 0x1E8},           {off::SlowCPU, 0x1F2},
    {off::PlayerActive, 0x1F6},       {off::SaverClients, 0x1FA},     {off::RestartRequest, 0x302},
    {off::CaptureRequest, 0x306},     {off::LauncherClosed, 0x30A}};

TEST_F(SoundShareTest, EveryFieldLandsLittleEndianAtItsWireOffsetAndNowhereElse) {
  uint8_t expected[kSoundShareSize] = {};
  uint8_t n = 1;
  for (const auto& [field, wire] : kWords) {
    share.SetU32(field, 0x01010101u * n + 0x00030201u);
    const uint8_t bytes[4] = {uint8_t(n + 1), uint8_t(n + 2), uint8_t(n + 3), n};
    std::memcpy(expected + wire, bytes, 4);
    EXPECT_EQ(share.U32(field), 0x01010101u * n++ + 0x00030201u) << wire;
  }
  share.SetU16(off::PlayerVersionMajor, 0x0102);
  share.SetU16(off::SaverVersionMinor, 5);
  share.SetLeftBand(15, -2.0f);  // 0xC0000000, the last left band
  share.SetRightBand(0, 0.5f);   // 0x3F000000, the first right band
  share.SetLeftBand(16, 9.0f);   // no such bands
  share.SetRightBand(-1, 9.0f);
  share.SetText(off::InfoText2, kInfoTextSize, "Track");
  share.SetU32(kSoundShareSize - 2, 0xFFFFFFFFu);  // past the end
  share.SetText(off::DisplayName, 600, "far too long a field");
  share.Increment(kSoundShareSize);
  const std::pair<size_t, uint8_t> others[] = {
      {0x1B8, 0x02}, {0x1B9, 0x01}, {0x1BE, 5},   {0x0A3, 0xC0}, {0x0A7, 0x3F},
      {0x12C, 'T'},  {0x12D, 'r'},  {0x12E, 'a'}, {0x12F, 'c'},  {0x130, 'k'}};
  for (const auto& [offset, byte] : others) expected[offset] = byte;
  for (size_t i = 0; i < kSoundShareSize; ++i) ASSERT_EQ(bytes.bytes[i], expected[i]) << i;
  EXPECT_EQ(std::pair(share.LeftBand(15), share.RightBand(0)), std::pair(-2.0f, 0.5f));
  EXPECT_EQ(std::pair(share.LeftBand(16), share.U32(kSoundShareSize - 2)), std::pair(0.0f, 0u));
}

// Texts are cut and terminated within their field; one the player left
// unterminated stops at the field's end. Counters stop at zero.
TEST_F(SoundShareTest, TextsStayWithinTheirFieldAndCountersStopAtZero) {
  share.SetText(off::InfoText2, kInfoTextSize, std::string(100, 'x'));
  EXPECT_EQ(share.Text(off::InfoText2, kInfoTextSize), std::string(63, 'x'));
  std::memset(bytes.bytes + off::InfoText1, 'a', kInfoTextSize);
  EXPECT_EQ(share.Text(off::InfoText1, kInfoTextSize), std::string(64, 'a'));
  EXPECT_EQ(share.Text(off::DisplayName, 600), "");
  share.Increment(off::SaverClients);
  for (int i = 0; i < 2; ++i) share.Decrement(off::SaverClients);
  share.Increment(off::SaverClients);
  EXPECT_EQ(share.U32(off::SaverClients), 1u);
}

class SoundLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallRegistry(&registry);
    InstallSharedMemoryProvider(&memory);
    InstallSystemServices(&system);
  }
  void TearDown() override {
    SetCurrentSoundShare(nullptr);
    InstallRegistry(nullptr);
    InstallSharedMemoryProvider(nullptr);
    InstallSystemServices(nullptr);
  }
  // The player's view of the block: holds it open and writes what it likes.
  std::unique_ptr<SharedMemory> PlayerBlock(size_t size = kSoundShareSize) {
    return memory.Open(SoundShareName(), size);
  }
  std::vector<uint8_t> Version(const char* key) {
    RegValue value;
    registry.ReadValue(RegRoot::CurrentUser, key, "Current Version", value);
    return value.data;
  }

  MemoryRegistry registry;
  MemorySharedMemoryProvider memory;
  RecordingSystemServices system;
};

TEST_F(SoundLinkTest, AFreshBlockHoldsOnlyItsHeaderAndTheSaverVersion) {
  SoundShare* share = OpenSoundShare();
  ASSERT_NE(share, nullptr);
  const uint8_t header[8] = {0x0E, 0x03, 0, 0, 4, 0, 0, 0};  // 782, 4
  EXPECT_EQ(std::memcmp(share->bytes(), header, 8), 0);
  for (size_t i = 8; i < kSoundShareSize; ++i) ASSERT_EQ(share->bytes()[i], 0) << "byte " << i;
  CloseSoundShare(share);
  EXPECT_FALSE(memory.IsOpen(SoundShareName()));

  share = AttachSaverWindow();
  ASSERT_NE(share, nullptr);
  EXPECT_EQ(share->U16(off::SaverVersionMajor) * 10 + share->U16(off::SaverVersionMinor), 35);
  EXPECT_EQ(CurrentSoundShare(), share);
  EXPECT_EQ(Version("Software\\Lumox"), (std::vector<uint8_t>{5, 0, 3, 0}));
  // Evaluation reads the attached block, and a private silent one once it is gone.
  share->SetF32(off::LevelFullScale, 2.0f);
  share->SetF32(off::LeftLevel, 1.0f);
  EXPECT_FLOAT_EQ(ReadSoundLevel(kSourceLeft), 0.5f);
  DetachSaverWindow(share);
  EXPECT_FALSE(memory.IsOpen(SoundShareName()));
  EXPECT_EQ(ReadSoundLevel(kSourceLeft), 0.0f);
}

// A block of another layout or size is marked for the player and refused,
// its header kept; a block the player has not stamped yet is taken as it is.
TEST_F(SoundLinkTest, OnlyABlockOfThisLayoutIsTaken) {
  auto player = PlayerBlock();
  SoundShare view(player->data());
  view.SetU32(off::PlayerActive, 1);
  const struct { uint32_t size, layout; bool taken; } headers[] = {
      {0, 0, true}, {782, 4, true}, {782, 3, false}, {900, 4, false}, {0, 4, false}};
  for (const auto& h : headers) {
    view.SetU32(off::BlockSize, h.size);
    view.SetU32(off::LayoutVersion, h.layout);
    view.SetU32(off::LayoutMismatch, 1 - h.taken);  // attaching clears an old mark
    SoundShare* share = AttachSaverWindow();
    EXPECT_EQ(share != nullptr, h.taken) << h.size << " " << h.layout;
    EXPECT_EQ(std::pair(view.U32(off::SaverWindows), view.U32(off::LayoutMismatch)),
              std::pair(h.taken ? 1u : 0u, h.taken ? 0u : 1u));
    EXPECT_EQ(std::pair(view.U32(off::LayoutVersion), view.U32(off::LayoutMismatchCode)),
              std::pair(h.taken ? 4u : h.layout, h.taken ? 0u : 2u));
    EXPECT_EQ(view.U32(off::PlayerActive), 1u);  // taken, not zeroed
    DetachSaverWindow(share);
    view.SetU32(off::LayoutMismatchCode, 0);
  }
  // The player stand-in is told why, and leaves the block as it is.
  view.SetU32(off::LayoutMismatch, 0);
  ShareOpenResult result = ShareOpenResult::kOpened;
  EXPECT_EQ(OpenSoundShareChecked(result, false), nullptr);
  EXPECT_EQ(result, ShareOpenResult::kLayoutMismatch);
  EXPECT_EQ(view.U32(off::LayoutMismatch), 0u);
  // A smaller block of the same name is refused and marked only where the
  // mark fits: one byte short of it, nothing is written.
  for (size_t size : {off::LayoutMismatch + 4, off::LayoutMismatch + 3}) {
    player.reset();
    player = PlayerBlock(size);
    EXPECT_EQ(OpenSoundShareChecked(result, true), nullptr);
    std::vector<uint8_t> expected(size, 0);
    if (size == off::LayoutMismatch + 4) {
      expected[off::LayoutMismatchCode] = kLayoutMismatchCode;
      expected[off::LayoutMismatch] = 1;
    }
    EXPECT_EQ(std::vector<uint8_t>(player->data(), player->data() + size), expected) << size;
  }
}

TEST_F(SoundLinkTest, TwoWindowsAndTheDialogCountTheirAttachments) {
  auto player = PlayerBlock();
  SoundShare view(player->data());
  auto counts = [&] { return std::pair{view.U32(off::SaverWindows), view.U32(off::SaverClients)}; };
  SoundShare* first = AttachSaverWindow();
  SoundShare* second = AttachSaverWindow();
  ASSERT_TRUE(first != nullptr && second != nullptr);
  EXPECT_EQ(counts(), std::pair(2u, 2u));
  SoundShare* dialog = AttachConfigDialog();
  ConfigSheetShown(dialog);
  EXPECT_EQ(counts(), std::pair(2u, 3u));
  ConfigSheetClosed(dialog);
  DetachConfigDialog(dialog);
  EXPECT_EQ(counts(), std::pair(2u, 2u));

  const size_t cleared[] = {off::PaletteUsesSound, off::SaverUsesSound, off::FullScreenSaver};
  for (size_t field : cleared) view.SetU32(field, 1);
  SignalLauncherClosing(first, false);
  EXPECT_EQ(view.U32(off::LauncherClosed), 0u);
  SignalLauncherClosing(first, true);
  EXPECT_EQ(view.U32(off::LauncherClosed), 1u);
  DetachSaverWindow(first);
  EXPECT_EQ(counts(), std::pair(1u, 1u));
  for (size_t field : cleared) EXPECT_EQ(view.U32(field), 0u) << field;
  DetachSaverWindow(second);
  EXPECT_EQ(counts(), std::pair(0u, 0u));
  player.reset();
  EXPECT_FALSE(memory.IsOpen(SoundShareName()));
}

TEST_F(SoundLinkTest, ThePlayerVersionComesFromItsKeyWhichIsCreated) {
  EXPECT_EQ(ReadPlayerVersion(), 0u);
  EXPECT_TRUE(registry.KeyExists(RegRoot::CurrentUser, "Software\\Auralis"));
  const uint8_t version[4] = {7, 1, 2, 3};  // little-endian
  for (const auto& [size, expected] : {std::pair{4u, 0x03020107u}, {2u, 0u}}) {
    registry.WriteValue(RegRoot::CurrentUser, "Software\\Auralis", "Current Version", kRegDword,
                        version, size);
    EXPECT_EQ(ReadPlayerVersion(), expected) << size;
  }
  WriteSaverVersion(0x1234, 0xABCD);
  EXPECT_EQ(Version("Software\\Lumox"), (std::vector<uint8_t>{0xCD, 0xAB, 0x34, 0x12}));
}

TEST_F(SoundLinkTest, LaunchingThePlayer) {
  EXPECT_FALSE(LaunchPlayer(true, true));  // not installed: nothing happens
  auto command = [&](const std::string& text) {
    registry.CreateKey(RegRoot::LocalMachine, "Software\\Auralis");
    registry.WriteValue(RegRoot::LocalMachine, "Software\\Auralis", "", kRegSz, text.c_str(),
                        text.size() + 1);
  };
  command("C:\\Auralis\\auralis.exe");
  EXPECT_TRUE(LaunchPlayer(false, false));  // from the Sound page, as it stands
  EXPECT_FALSE(LaunchPlayer(true, false));  // the preview never starts it
  EXPECT_TRUE(LaunchPlayer(true, true));
  // A command line longer than its 260-byte buffer is not run.
  command(std::string(259, 'p'));
  EXPECT_TRUE(LaunchPlayer(false, true));
  command(std::string(260, 'p'));
  EXPECT_FALSE(LaunchPlayer(false, true));
  EXPECT_EQ(system.launches(), (std::vector<std::string>{"C:\\Auralis\\auralis.exe",
                                                         "C:\\Auralis\\auralis.exe /PPLAY",
                                                         std::string(259, 'p')}));
}

#ifdef _WIN32
constexpr const char* kThisProgram = "lumox_control_tests.exe";
constexpr const char* kPlayer = "SOUNDFEED.EXE";
const std::string kAwkward = "lumox bundled player";
#else
constexpr const char* kThisProgram = "lumox_control_tests";
constexpr const char* kPlayer = "soundfeed";
const std::string kAwkward = "lumox \"bundled\" \\ player " + std::to_string(getpid());
#endif

// The running program's folder holds it; nothing is found in an empty folder,
// and the command line keeps an awkward path whole.
TEST(BundledPlayer, FoundOnlyWhenPresentAndQuotedWhole) {
  const fs::path programs = ProgramFolder();
  ASSERT_FALSE(programs.empty());
  EXPECT_TRUE(fs::exists(programs / kThisProgram));
  const fs::path folder = fs::temp_directory_path() / kAwkward;
  fs::create_directories(folder);
  EXPECT_EQ(BundledPlayerCommandLine(folder.string()), "");
  EXPECT_EQ(BundledPlayerCommandLine(""), "");
  std::ofstream(folder / kPlayer) << "x";

  const std::string line = BundledPlayerCommandLine(folder.string());
#ifdef _WIN32
  EXPECT_EQ(line, "\"" + (folder / kPlayer).string() + "\"");
#else
  EXPECT_EQ(SplitCommandLine(line + " /PPLAY"),
            (std::vector<std::string>{(folder / kPlayer).string(), "/PPLAY"}));
#endif
  fs::remove_all(folder);
}

}  // namespace
}  // namespace lumox
