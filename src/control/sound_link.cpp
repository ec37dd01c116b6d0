#include "control/sound_link.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "control/bundled_player.h"
#include "platform/program_path.h"
#include "platform/registry_store.h"
#include "platform/shared_memory.h"
#include "platform/system.h"

namespace lumox {
namespace {

namespace off = share_offset;

constexpr const char* kPlayerKey = "Software\\Auralis";
constexpr const char* kSaverKey = "Software\\Lumox";
constexpr const char* kVersionValue = "Current Version";
constexpr size_t kCommandLineSize = 260;

// A block from OpenSoundShare: the view together with the mapping that
// keeps it alive.
struct OpenedShare : SoundShare {
  explicit OpenedShare(std::unique_ptr<SharedMemory> mapping)
      : SoundShare(mapping->data()), memory(std::move(mapping)) {}
  std::unique_ptr<SharedMemory> memory;
};

// The blocks now open, so that CloseSoundShare only ever deletes one of
// them (a second close, or the private block, is ignored).
std::mutex gOpenLock;
std::vector<OpenedShare*> gOpen;

SoundShareBytes gPrivateBytes;
constinit SoundShare gPrivateShare(gPrivateBytes.bytes);
std::atomic<SoundShare*> gCurrent{nullptr};

void StampSaverVersion(SoundShare& share) {
  share.SetU16(off::SaverVersionMajor, kSaverVersionMajor);
  share.SetU16(off::SaverVersionMinor, kSaverVersionMinor);
  share.SetU32(off::LayoutMismatch, 0);
}

uint32_t LittleEndianWord(const std::vector<uint8_t>& data) {
  return data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<uint32_t>(data[3]) << 24);
}

// Opening shared by the saver window and the configuration dialog.
SoundShare* AttachSaver() {
  WriteSaverVersion(kSaverVersionMajor, kSaverVersionMinor);
  SoundShare* share = OpenSoundShare();
  if (share == nullptr) return nullptr;
  StampSaverVersion(*share);
  SetCurrentSoundShare(share);
  return share;
}

}  // namespace

SoundShare* OpenSoundShareChecked(ShareOpenResult& result, bool markMismatch) {
  std::unique_ptr<SharedMemory> memory =
      SharedMemoryProviderInstance().Open(SoundShareName(), kSoundShareSize);
  if (memory == nullptr || memory->data() == nullptr) {
    result = ShareOpenResult::kUnavailable;
    return nullptr;
  }
  SoundShare view(memory->data());
  const bool fullSize = memory->size() >= kSoundShareSize;

  if (memory->created() && fullSize) {
    std::fill_n(memory->data(), kSoundShareSize, uint8_t{0});
  } else {
    const uint32_t size = fullSize ? view.U32(off::BlockSize) : 0;
    const uint32_t layout = fullSize ? view.U32(off::LayoutVersion) : 0;
    // An all-zero header is a block whose creator has not stamped it yet;
    // it claims no layout, so it is not another one.
    const bool unstamped = fullSize && size == 0 && layout == 0;
    if (!fullSize || (!unstamped && (size != kSoundShareSize || layout != kSoundShareLayout))) {
      // Mark only what lies inside the mapping.
      if (markMismatch && memory->size() >= off::LayoutMismatch + 4) {
        view.SetU32(off::LayoutMismatchCode, kLayoutMismatchCode);
        view.SetU32(off::LayoutMismatch, 1);
      }
      result = ShareOpenResult::kLayoutMismatch;
      return nullptr;
    }
  }
  view.SetU32(off::LayoutVersion, kSoundShareLayout);
  view.SetU32(off::BlockSize, kSoundShareSize);

  auto* opened = new OpenedShare(std::move(memory));
  {
    std::lock_guard<std::mutex> lock(gOpenLock);
    gOpen.push_back(opened);
  }
  result = ShareOpenResult::kOpened;
  return opened;
}

SoundShare* OpenSoundShare() {
  ShareOpenResult result;
  return OpenSoundShareChecked(result, true);
}

void CloseSoundShare(SoundShare* share) {
  // The evaluators must never read a closed block.
  SoundShare* expected = share;
  gCurrent.compare_exchange_strong(expected, nullptr, std::memory_order_acq_rel);
  OpenedShare* opened = nullptr;
  {
    std::lock_guard<std::mutex> lock(gOpenLock);
    auto it = std::find(gOpen.begin(), gOpen.end(), share);
    if (it == gOpen.end()) return;
    opened = *it;
    gOpen.erase(it);
  }
  delete opened;
}

SoundShare* CurrentSoundShare() {
  SoundShare* share = gCurrent.load(std::memory_order_acquire);
  return share != nullptr ? share : &gPrivateShare;
}

void SetCurrentSoundShare(SoundShare* share) {
  gCurrent.store(share, std::memory_order_release);
}

uint32_t ReadPlayerVersion() {
  RegistryStore& registry = Registry();
  if (!registry.KeyExists(RegRoot::CurrentUser, kPlayerKey))
    registry.CreateKey(RegRoot::CurrentUser, kPlayerKey);
  RegValue value;
  if (!registry.ReadValue(RegRoot::CurrentUser, kPlayerKey, kVersionValue, value)) return 0;
  if (value.data.size() != 4) return 0;
  return LittleEndianWord(value.data);
}

void WriteSaverVersion(uint16_t major, uint16_t minor) {
  const uint32_t version = (uint32_t{major} << 16) | minor;
  const uint8_t bytes[4] = {static_cast<uint8_t>(version), static_cast<uint8_t>(version >> 8),
                            static_cast<uint8_t>(version >> 16),
                            static_cast<uint8_t>(version >> 24)};
  RegistryStore& registry = Registry();
  registry.CreateKey(RegRoot::CurrentUser, kSaverKey);
  registry.WriteValue(RegRoot::CurrentUser, kSaverKey, kVersionValue, kRegDword, bytes,
                      sizeof bytes);
}

bool LaunchPlayer(bool fromSaver, bool fullScreenWindow) {
  RegValue value;
  std::string commandLine;
  if (Registry().ReadValue(RegRoot::LocalMachine, kPlayerKey, "", value)) {
    if (value.type != kRegSz || value.data.size() > kCommandLineSize) return false;
    commandLine.assign(value.data.begin(), value.data.end());
    commandLine.resize(commandLine.find('\0') == std::string::npos ? commandLine.size()
                                                                   : commandLine.find('\0'));
  } else {
    // No player registered: the analyser shipped beside the saver, if any.
    commandLine = BundledPlayerCommandLine(ProgramFolder());
  }
  if (commandLine.empty()) return false;
  if (fromSaver) {
    // The preview must not start the player: only a full-screen saver does.
    if (!fullScreenWindow) return false;
    commandLine += " /PPLAY";
  }
  return System().LaunchProgram(commandLine);
}

SoundShare* AttachSaverWindow() {
  SoundShare* share = AttachSaver();
  if (share == nullptr) return nullptr;
  share->Increment(off::SaverWindows);
  share->Increment(off::SaverClients);
  return share;
}

void SignalLauncherClosing(SoundShare* share, bool triedLaunch) {
  if (share != nullptr && triedLaunch) share->SetU32(off::LauncherClosed, 1);
}

void DetachSaverWindow(SoundShare* share, bool unmap) {
  if (share == nullptr) return;
  share->Decrement(off::SaverWindows);
  share->Decrement(off::SaverClients);
  share->SetU32(off::PaletteUsesSound, 0);
  share->SetU32(off::SaverUsesSound, 0);
  share->SetU32(off::FullScreenSaver, 0);
  if (unmap) CloseSoundShare(share);
}

SoundShare* AttachConfigDialog() { return AttachSaver(); }

void ConfigSheetShown(SoundShare* share) {
  if (share != nullptr) share->Increment(off::SaverClients);
}

void ConfigSheetClosed(SoundShare* share) {
  if (share != nullptr) share->Decrement(off::SaverClients);
}

void DetachConfigDialog(SoundShare* share) {
  CloseSoundShare(share);
}

}  // namespace lumox
