// The shared sound block: its wire format, and how the saver and the
// configuration dialog open, count and leave it.
#include "control/sound_link.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "control/controls.h"
#include "platform/memory_registry.h"
#include "platform/memory_shared_memory.h"
#include "platform/recording_system.h"

namespace lumox {
namespace {

namespace off = share_offset;

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

TEST(SoundShare, EveryFieldLandsLittleEndianAtItsWireOffsetAndNowhereElse) {
  SoundShareBytes block;
  SoundShare share(block.bytes);
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
  for (size_t i = 0; i < kSoundShareSize; ++i) ASSERT_EQ(block.bytes[i], expected[i]) << i;
  EXPECT_EQ(std::pair(share.LeftBand(15), share.RightBand(0)), std::pair(-2.0f, 0.5f));
  EXPECT_EQ(std::pair(share.LeftBand(16), share.U32(kSoundShareSize - 2)), std::pair(0.0f, 0u));
}

// Texts are cut and terminated within their field; one the player left
// unterminated stops at the field's end. Counters stop at zero.
TEST(SoundShare, TextsStayWithinTheirFieldAndCountersStopAtZero) {
  SoundShareBytes block;
  SoundShare share(block.bytes);
  share.SetText(off::InfoText2, kInfoTextSize, std::string(100, 'x'));
  EXPECT_EQ(share.Text(off::InfoText2, kInfoTextSize), std::string(63, 'x'));
  share.SetText(off::InfoText2, kInfoTextSize, "Track");
  EXPECT_EQ(block.bytes[off::InfoText2 + 6], 0);  // the old text is wiped
  std::memset(block.bytes + off::InfoText1, 'a', kInfoTextSize);
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
  // Closing the current block directly also falls back to the private one.
  SoundShare* idle = CurrentSoundShare();
  SoundShare* opened = OpenSoundShare();
  SetCurrentSoundShare(opened);
  CloseSoundShare(opened);
  EXPECT_EQ(CurrentSoundShare(), idle);
  CloseSoundShare(idle);  // not open: ignored
  CloseSoundShare(nullptr);
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
  EXPECT_EQ(AttachConfigDialog(), nullptr);
  EXPECT_NE(CurrentSoundShare()->bytes(), player->data());
  // The player stand-in is told why, and leaves the block as it is.
  view.SetU32(off::LayoutMismatch, 0);
  ShareOpenResult result = ShareOpenResult::kOpened;
  EXPECT_EQ(OpenSoundShareChecked(result, false), nullptr);
  EXPECT_EQ(result, ShareOpenResult::kLayoutMismatch);
  EXPECT_EQ(view.U32(off::LayoutMismatch), 0u);
  // A smaller block of the same name is left alone.
  player.reset();
  player = PlayerBlock(0x100);
  EXPECT_EQ(OpenSoundShareChecked(result, true), nullptr);
  for (size_t i = 0; i < 0x100; ++i) ASSERT_EQ(player->data()[i], 0);
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
  const uint8_t version[4] = {7, 0, 2, 0};  // 2.7
  for (const auto& [size, expected] : {std::pair{4u, 0x00020007u}, {2u, 0u}}) {
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

}  // namespace
}  // namespace lumox
