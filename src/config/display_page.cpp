#include "config/display_page.h"

#include <cstdio>

#include "config/config_session.h"
#include "platform/registry_store.h"
#include "platform/system.h"
#include "settings/registry_values.h"

namespace lumox {

namespace {

constexpr const char* kDisplayModeValue = "DisplayMode";
constexpr const char* kDefaultModeText = "Default";
constexpr const char* kTestCaption = "Test Display Settings";
constexpr int kTestMilliseconds = 5000;
// A system that never stops offering modes still gives a finite list.
constexpr int kMaxListedModes = 4096;

std::string ColorsText(uint32_t bitsPerPixel) {
  const uint32_t colors = bitsPerPixel >= 32 ? 0xFFFFFFFFu : uint32_t{1} << bitsPerPixel;
  char text[32];
  std::snprintf(text, sizeof text, "%lu Colors at", static_cast<unsigned long>(colors));
  return text;
}

std::string SizeText(int32_t width, int32_t height) {
  char text[32];
  std::snprintf(text, sizeof text, " %dx%d", static_cast<int>(width), static_cast<int>(height));
  return text;
}

std::string FrequencyText(uint32_t frequency) {
  if (frequency <= 1) return " Default Hz";
  char text[24];
  std::snprintf(text, sizeof text, " %dHz", static_cast<int>(frequency));
  return text;
}

}  // namespace

uint32_t ModeField(const DisplayModeRecord& mode, size_t offset) {
  return static_cast<uint32_t>(mode.bytes[offset]) |
         (static_cast<uint32_t>(mode.bytes[offset + 1]) << 8) |
         (static_cast<uint32_t>(mode.bytes[offset + 2]) << 16) |
         (static_cast<uint32_t>(mode.bytes[offset + 3]) << 24);
}

void SetModeField(DisplayModeRecord& mode, size_t offset, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) mode.bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

DisplayModeRecord MakeDisplayMode(uint32_t bitsPerPixel, uint32_t width, uint32_t height,
                                  uint32_t frequency) {
  DisplayModeRecord mode;
  SetModeField(mode, display_field::kSizeAndDriverExtra, kDisplayModeSize);
  SetModeField(mode, display_field::kFields,
               kBitsPerPixelValid | kWidthValid | kHeightValid | kFrequencyValid);
  SetModeField(mode, display_field::kBitsPerPixel, bitsPerPixel);
  SetModeField(mode, display_field::kWidth, width);
  SetModeField(mode, display_field::kHeight, height);
  SetModeField(mode, display_field::kFrequency, frequency);
  return mode;
}

std::string DescribeMode(const DisplayModeRecord& mode, DisplayModes& system) {
  const uint32_t fields = ModeField(mode, display_field::kFields);
  std::string text;
  if (fields & kBitsPerPixelValid)
    text += ColorsText(ModeField(mode, display_field::kBitsPerPixel));
  if ((fields & kWidthValid) && (fields & kHeightValid)) {
    text += SizeText(static_cast<int32_t>(ModeField(mode, display_field::kWidth)),
                     static_cast<int32_t>(ModeField(mode, display_field::kHeight)));
  }
  if (fields & kFrequencyValid) text += FrequencyText(ModeField(mode, display_field::kFrequency));
  if (system.TestMode(mode) == ModeChangeResult::kRestartRequired) text += "  [Restart Required]";
  return text;
}

std::string DescribeScreen(const ScreenFormat& screen) {
  return ColorsText(screen.bitsPerPixel) + SizeText(screen.width, screen.height);
}

std::optional<DisplayModeRecord> ReadStoredDisplayMode() {
  DisplayModeRecord mode;
  size_t readSize = 0;
  if (ReadRegistryValue(kDisplayModeValue, SettingsKey(), kRegBinary, mode.bytes.data(),
                        mode.bytes.size(), &readSize) == 0 ||
      readSize != mode.bytes.size()) {
    return std::nullopt;
  }
  return mode;
}

bool StoreDisplayMode(const DisplayModeRecord& mode) {
  return WriteRegistryValue(kDisplayModeValue, SettingsKey(), kRegBinary, mode.bytes.data(),
                            mode.bytes.size()) != 0;
}

bool ClearStoredDisplayMode() {
  return Registry().DeleteValue(RegRoot::CurrentUser, ControlPanelPath(SettingsKey()),
                                kDisplayModeValue);
}

DisplayPage::DisplayPage(DisplayModes& system, ConfigDialogs& dialogs, SheetWindow& sheet)
    : system_(system), dialogs_(dialogs), sheet_(sheet) {}

void DisplayPage::Initialize() {
  const std::optional<DisplayModeRecord> stored = ReadStoredDisplayMode();
  runText_ = stored ? DescribeMode(*stored, system_) : kDefaultModeText;

  modes_.clear();
  for (int index = 0; index < kMaxListedModes; ++index) {
    ListedMode listed;
    if (!system_.EnumerateMode(index, listed.record)) break;
    // The page keeps records of one layout whatever the system filled in.
    SetModeField(listed.record, display_field::kSizeAndDriverExtra, kDisplayModeSize);
    listed.text = DescribeMode(listed.record, system_);
    modes_.push_back(std::move(listed));
  }
  selected_ = modes_.empty() ? -1 : 0;
  ReadCurrentMode();
}

void DisplayPage::Select(int index) {
  if (index >= -1 && index < static_cast<int>(modes_.size())) selected_ = index;
}

const ListedMode* DisplayPage::Selection() const {
  return selected_ >= 0 ? &modes_[static_cast<size_t>(selected_)] : nullptr;
}

void DisplayPage::ReadCurrentMode() {
  const std::optional<DisplayModeRecord> current = system_.CurrentSettings();
  currentText_ =
      current ? DescribeMode(*current, system_) : DescribeScreen(system_.CurrentScreen());
}

void DisplayPage::DisplayChanged(const ScreenFormat& screen) {
  currentText_ = DescribeScreen(screen);
}

bool DisplayPage::ApplyMode(bool recordAsDesktop) {
  const ListedMode* mode = Selection();
  cantTest_ = false;
  if (system_.TestMode(mode->record) == ModeChangeResult::kRestartRequired) {
    dialogs_.ShowMessage("Can't Test This Mode",
                         "This mode requires a restart so it cannot be tested.",
                         MessageIcon::kError);
    cantTest_ = true;
    return false;
  }
  switch (system_.ChangeMode(mode->record, recordAsDesktop)) {
    case ModeChangeResult::kSuccessful:
      if (recordAsDesktop) ReadCurrentMode();
      return true;
    case ModeChangeResult::kRestartRequired:
      if (System().AskYesNo("Restart?",
                            "You must restart your computer for the settings to take effect.\n"
                            "Would you like to restart now?")) {
        if (system_.Restart()) {
          sheet_.PressCancel();
        } else {
          dialogs_.ShowMessage("Restart",
                               "You still must restart your computer for the settings to take "
                               "effect",
                               MessageIcon::kPlain);
        }
      }
      return false;
    case ModeChangeResult::kFailed:
      break;
  }
  dialogs_.ShowMessage("Error", "Unable to change display mode.", MessageIcon::kError);
  return false;
}

void DisplayPage::Test() {
  if (Selection() == nullptr) return;
  dialogs_.ShowMessage(kTestCaption,
                       "The resolution will be changed for five seconds and then changed back.\n"
                       "Press OK to start the test...",
                       MessageIcon::kInformation);
  const bool applied = ApplyMode(false);
  if (cantTest_) return;
  // A mode that did not take is not shown as tested: the desktop's own
  // mode is put back at once, and nothing claims the mode is fine.
  if (!applied) {
    system_.RestoreDesktopMode();
    return;
  }
  sheet_.Hide();
  sheet_.Wait(kTestMilliseconds);
  system_.RestoreDesktopMode();
  sheet_.Show();
  dialogs_.ShowMessage(kTestCaption,
                       "If you were able to see your screen properly then this display mode is OK.",
                       MessageIcon::kInformation);
}

void DisplayPage::Use() {
  if (Selection() == nullptr) return;
  ApplyMode(true);
}

void DisplayPage::Set() {
  const ListedMode* mode = Selection();
  if (mode == nullptr) return;
  switch (system_.TestMode(mode->record)) {
    case ModeChangeResult::kRestartRequired:
      dialogs_.ShowMessage("Can't Use This Mode",
                           "This mode requires a restart so it cannot be used.",
                           MessageIcon::kError);
      cantTest_ = true;
      return;
    case ModeChangeResult::kFailed:
      // The saver would only fall back to the desktop's mode with it.
      dialogs_.ShowMessage("Can't Use This Mode",
                           "The system does not accept this mode, so it cannot be used.",
                           MessageIcon::kError);
      return;
    case ModeChangeResult::kSuccessful:
      break;
  }
  if (StoreDisplayMode(mode->record)) runText_ = mode->text;
}

void DisplayPage::Clear() {
  if (ClearStoredDisplayMode()) runText_ = kDefaultModeText;
}

}  // namespace lumox
