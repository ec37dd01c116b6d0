// The saver's own window procedure: preparing a run when the window is
// created, starting the render thread on the first background erase, the
// hot keys, the stricter dismissal rules while a stored display mode is in
// force, and the tear-down when the window is destroyed.
//
// ScreenSaverProc is fed with Win32 message numbers (saver/messages.h).
// What it does not consume goes on to the host's default handling
// (HostDefaultProc) through SaverWindowHost::DefaultProc.
#pragma once

#include <cstdint>
#include <string>

#include "saver/display_mode.h"
#include "saver/messages.h"
#include "saver/runtime_services.h"

namespace lumox {

struct SaverState;
class SoundShare;

struct WindowSize {
  int32_t width = 0;
  int32_t height = 0;
};

// What ScreenSaverProc asks of the window and the system.
class SaverWindowHost {
 public:
  virtual ~SaverWindowHost() = default;
  // The host's default handling (HostDefaultProc).
  virtual LResult DefaultProc(uint32_t message, WParam wParam, LParam lParam) = 0;
  virtual WindowSize ClientSize() = 0;
  virtual WindowSize ScreenSize() = 0;
  // Display modes: a test change, a real one (not recorded), and the
  // return to the system's stored mode.
  virtual bool TestDisplayMode(const DisplayModeRecord& mode) = 0;
  virtual bool ChangeDisplayMode(const DisplayModeRecord& mode) = 0;
  virtual void RestoreDisplayMode() = 0;
  // Moves the window to (0, 0) with this size, without changing its order
  // or redrawing.
  virtual void ResizeWindow(int32_t width, int32_t height) = 0;
  virtual void BringToForeground() = 0;
  // The render thread (RenderThread), drawing on a screen of the window's
  // client size now (a stored display mode may have resized the window
  // since it was made); false if it could not be started.
  virtual bool StartRenderThread(SoundShare* share, WindowSize clientSize) = 0;
  // Waits up to `timeoutMs` for it; false when it, or the palette thread
  // it runs, had to be abandoned.
  virtual bool WaitRenderThread(uint32_t timeoutMs) = 0;
  virtual void PostQuit(int exitCode) = 0;
};

constexpr const char* kTestingDisplayName = "Testing Current Settings";
// Milliseconds to let the display settle after a mode change.
constexpr uint32_t kModeSettleMs = 200;
// The mouse-burst rule while a stored display mode is in force: a pause
// this long starts a new burst ...
constexpr uint32_t kBurstWindowMs = 2000;
// ... and in the first seconds after creation (while the monitor resyncs
// and the mouse may report phantom moves) a burst must be longer.
constexpr uint32_t kBurstSettleMs = 8000;
constexpr uint32_t kBurstCountEarly = 18;
constexpr uint32_t kBurstCountLate = 4;
constexpr uint32_t kKeyLevelMin = 1;
constexpr uint32_t kKeyLevelMax = 20;
// A fault while handling a message ends the message loop with this code.
constexpr int kFaultExitCode = 43;

// The run state of one saver window. The saver record, the services and
// the host are referred to, not copied: they must outlive the window.
struct SaverWindow {
  SaverWindow(SaverState& saver, const RuntimeServices& services, SaverWindowHost& host,
              std::string commandLine)
      : saver(saver), services(services), host(host), commandLine(std::move(commandLine)) {}

  SaverState& saver;
  const RuntimeServices& services;
  SaverWindowHost& host;
  // The whole command line of the process (program, switch, settings file).
  std::string commandLine;

  // WM_CREATE switched the display to the stored mode.
  bool modeSwitched = false;
  // A key, a button or a sustained mouse movement was seen.
  bool userInput = false;
  uint32_t creationTick = 0;
  uint32_t burstStartTick = 0;
  uint32_t burstCount = 0;
  // The run shows the settings file named on the command line.
  bool testing = false;
  std::string previousActiveName;
  bool renderStarted = false;
  // F9: mouse movement never dismisses.
  bool mouseLock = false;
  SoundShare* share = nullptr;
};

LResult ScreenSaverProc(SaverWindow& window, uint32_t message, WParam wParam, LParam lParam);

}  // namespace lumox
