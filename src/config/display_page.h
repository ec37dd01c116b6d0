// The Display page: the video mode the saver runs in.
//
// The page lists the modes the system offers, tests one for five seconds,
// makes one the desktop's mode for good ("Use", with a restart when the
// system demands one), and stores one as the saver's mode ("Set", the
// 156-byte "DisplayMode" value) or clears it ("Clear": the saver runs in
// the desktop's mode). A mode that needs a restart can be neither tested
// nor stored; a mode the system refuses is not stored either.
//
// Mode records are the system's 156-byte display-mode records; the page
// reads only their valid-field flags, colour depth, size and frequency.
// The system itself is reached through DisplayModes, which each platform
// implements.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "saver/display_mode.h"

namespace lumox {

class ConfigDialogs;

// The property sheet as a whole, for the display test: it steps aside
// while a tested mode is on screen, and a restart closes it.
class SheetWindow {
 public:
  virtual ~SheetWindow() = default;
  virtual void Hide() = 0;
  virtual void Show() = 0;
  virtual void Wait(int milliseconds) = 0;
  virtual void PressCancel() = 0;
};

enum class ModeChangeResult { kSuccessful, kRestartRequired, kFailed };

struct ScreenFormat {
  uint32_t bitsPerPixel = 0;  // times the colour planes
  int32_t width = 0;
  int32_t height = 0;
};

class DisplayModes {
 public:
  virtual ~DisplayModes() = default;
  // The system's mode number `index` (0, 1, ...); false past the last.
  virtual bool EnumerateMode(int index, DisplayModeRecord& mode) = 0;
  // Whether the system would take the mode, without changing anything.
  virtual ModeChangeResult TestMode(const DisplayModeRecord& mode) = 0;
  // Changes the mode; `recordAsDesktop` makes it the desktop's mode for
  // good, otherwise it lasts until RestoreDesktopMode.
  virtual ModeChangeResult ChangeMode(const DisplayModeRecord& mode, bool recordAsDesktop) = 0;
  virtual void RestoreDesktopMode() = 0;
  // The desktop's mode now, as a record where the system gives one, and
  // as the screen's depth and size.
  virtual std::optional<DisplayModeRecord> CurrentSettings() = 0;
  virtual ScreenFormat CurrentScreen() = 0;
  // Asks the system to restart; shows its own errors. True on success.
  virtual bool Restart() = 0;
};

// Reading and writing the fields of a mode record.
namespace display_field {
// Two 16-bit words: the record's size (156) and its driver bytes (0).
constexpr size_t kSizeAndDriverExtra = 36;
constexpr size_t kFields = 40;  // which of the fields below are valid
constexpr size_t kBitsPerPixel = 104;
constexpr size_t kWidth = 108;
constexpr size_t kHeight = 112;
constexpr size_t kFrequency = 120;
}  // namespace display_field
constexpr uint32_t kBitsPerPixelValid = 0x00040000;
constexpr uint32_t kWidthValid = 0x00080000;
constexpr uint32_t kHeightValid = 0x00100000;
constexpr uint32_t kFrequencyValid = 0x00400000;

uint32_t ModeField(const DisplayModeRecord& mode, size_t offset);
void SetModeField(DisplayModeRecord& mode, size_t offset, uint32_t value);
// A record of the page's own: size 156, no driver bytes, the four fields
// set and marked valid.
DisplayModeRecord MakeDisplayMode(uint32_t bitsPerPixel, uint32_t width, uint32_t height,
                                  uint32_t frequency);

// "256 Colors at 640x480 60Hz": the depth as a number of colours (32 bits
// and more show 4294967295), the size, the frequency (0 and 1 read
// "Default Hz"), each only when the record marks it valid; then
// "  [Restart Required]" when the system says the mode needs one.
std::string DescribeMode(const DisplayModeRecord& mode, DisplayModes& system);
// "65536 Colors at 800x600", from the screen's format.
std::string DescribeScreen(const ScreenFormat& screen);

// The stored mode: present only as exactly 156 bytes.
std::optional<DisplayModeRecord> ReadStoredDisplayMode();
bool StoreDisplayMode(const DisplayModeRecord& mode);
// False when there was nothing to delete.
bool ClearStoredDisplayMode();

struct ListedMode {
  DisplayModeRecord record;
  std::string text;
};

class DisplayPage {
 public:
  DisplayPage(DisplayModes& system, ConfigDialogs& dialogs, SheetWindow& sheet);

  // Reads the stored mode and lists the system's modes, the first one
  // selected.
  void Initialize();

  const std::vector<ListedMode>& Modes() const { return modes_; }
  int Selected() const { return selected_; }  // -1: none
  void Select(int index);
  const std::string& CurrentModeText() const { return currentText_; }
  const std::string& RunModeText() const { return runText_; }
  bool CantTest() const { return cantTest_; }

  // The system reports a new desktop mode.
  void DisplayChanged(const ScreenFormat& screen);

  // The buttons. Test, Use and Set act on the selected mode and do nothing
  // without one; Clear deletes the stored mode.
  void Test();
  void Use();
  void Set();
  void Clear();

 private:
  // Applies the selected mode (for a test, or for good). False when the
  // mode is not on screen afterwards.
  bool ApplyMode(bool recordAsDesktop);
  const ListedMode* Selection() const;
  void ReadCurrentMode();

  DisplayModes& system_;
  ConfigDialogs& dialogs_;
  SheetWindow& sheet_;
  std::vector<ListedMode> modes_;
  int selected_ = -1;
  std::string currentText_;
  std::string runText_;
  bool cantTest_ = false;
};

}  // namespace lumox
