#include "saver/saver_window.h"

#include <algorithm>
#include <cstring>

#include "base/caught_failure.h"
#include "control/sound_share.h"
#include "state/palette_state.h"
#include "platform/clock.h"
#include "platform/system.h"
#include "saver/command_line.h"
#include "state/saver_state.h"
#include "saver/timed_thread.h"

namespace lumox {

namespace {

int32_t Negated(int32_t value) {
  return static_cast<int32_t>(0u - static_cast<uint32_t>(value));
}

void CopyText(char* destination, size_t size, const std::string& text) {
  size_t length = std::min(text.size(), size - 1);
  std::memcpy(destination, text.data(), length);
  destination[length] = '\0';
}

// Puts "Active" and the saved displays back as they were before a run of
// a settings file.
void EndTestRun(SaverWindow& window) {
  if (!window.testing) return;
  if (window.services.deleteDisplay) window.services.deleteDisplay(kTestingDisplayName);
  if (window.services.writeActiveName) window.services.writeActiveName(window.previousActiveName);
  window.testing = false;
}

// A settings file named on the command line runs as the saved display
// "Testing Current Settings", made active for this run only.
void BeginTestRun(SaverWindow& window) {
  const RuntimeServices& services = window.services;
  CommandWords words = SplitCommandWords(window.commandLine);
  if (words.settingsFile.empty() || !services.importSettingsFile) return;
  std::string active = services.readActiveName ? services.readActiveName() : std::string();
  if (!services.importSettingsFile(words.settingsFile, kTestingDisplayName)) return;
  window.previousActiveName = active.substr(0, kCommandWordSize - 1);
  window.testing = true;
  if (services.writeActiveName) services.writeActiveName(kTestingDisplayName);
}

// Switches a full-screen window to the stored display mode, if there is
// one that the system accepts.
void SwitchDisplayMode(SaverWindow& window) {
  WindowSize client = window.host.ClientSize();
  WindowSize screen = window.host.ScreenSize();
  if (client.width != screen.width || client.height != screen.height) return;
  DisplayModeRecord mode;
  if (!window.services.readDisplayMode || !window.services.readDisplayMode(mode)) return;
  if (!window.host.TestDisplayMode(mode)) return;
  if (!window.host.ChangeDisplayMode(mode)) return;
  SleepMs(kModeSettleMs);
  window.host.ResizeWindow(static_cast<int32_t>(mode.Width()), static_cast<int32_t>(mode.Height()));
  window.modeSwitched = true;
}

LResult PrepareRun(SaverWindow& window) {
  const RuntimeServices& services = window.services;
  if (services.writeVersionStamp) services.writeVersionStamp();
  if (services.readSlogan) CopyText(window.saver.slogan, kSloganSize, services.readSlogan());

  window.share = services.attachSaverWindow ? services.attachSaverWindow() : nullptr;
  if (!window.share) {
    // The window will not exist, so no WM_DESTROY will undo the test run.
    EndTestRun(window);
    return -1;
  }

  SwitchDisplayMode(window);
  window.creationTick = TickCount();
  return 0;
}

LResult OnCreate(SaverWindow& window) {
  if (window.services.buildControlNames) window.services.buildControlNames();
  try {
    BeginTestRun(window);
    return PrepareRun(window);
  } catch (...) {
    // The window may never see WM_DESTROY: put the settings back now.
    EndTestRun(window);
    throw;
  }
}

void OnDestroy(SaverWindow& window) {
  const RuntimeServices& services = window.services;
  window.saver.runFlag = 0;
  if (!window.share) {
    EndTestRun(window);
    return;
  }

  // Only a mode this window switched to is undone.
  if (window.modeSwitched) window.host.RestoreDisplayMode();
  if (window.saver.autoStarted) window.share->SetU32(share_offset::LauncherClosed, 1);

  bool renderEnded = true;
  if (window.renderStarted) renderEnded = window.host.WaitRenderThread(kThreadJoinTimeoutMs);

  EndTestRun(window);

  // An abandoned drawing thread may still read the block: leave it mapped
  // (the process is about to end and the system releases it then), but
  // count the window out so the player does not see a saver running.
  if (services.detachSaverWindow) services.detachSaverWindow(window.share, renderEnded);
  window.share = nullptr;
}

void ForEachChannel(PaletteState* palette, void (*change)(PaletteState&, int)) {
  if (!palette) return;
  for (int channel = 0; channel < kChannels; ++channel) change(*palette, channel);
}

// The hot keys. True when the key was one of them.
bool OnHotKey(SaverWindow& window, WParam key) {
  SaverState& saver = window.saver;
  SoundShare* share = window.share;
  PaletteState* palette = saver.livePalette.load(std::memory_order_acquire);
  switch (key) {
    case kVkLeft:
      if (share) {
        uint32_t level = share->U32(share_offset::KeyLevel);
        if (level > kKeyLevelMin) share->SetU32(share_offset::KeyLevel, level - 1);
      }
      return true;
    case kVkRight:
      if (share) {
        uint32_t level = share->U32(share_offset::KeyLevel);
        if (level < kKeyLevelMax) share->SetU32(share_offset::KeyLevel, level + 1);
      }
      return true;
    case kVkF1:
      if (share) share->SetU32(share_offset::CaptureRequest, 1);
      System().Beep();
      return true;
    case kVkF2:
      if (share) share->SetU32(share_offset::RestartRequest, 1);
      return true;
    case kVkF3:
      // Capture the colours now on screen as a custom palette.
      ForEachChannel(palette, [](PaletteState& p, int channel) {
        p.settings.Effect[channel] = kEffectCustom;
      });
      if (palette) palette->LiveColors = 1;
      if (share) share->SetU32(share_offset::CaptureRequest, 1);
      System().Beep();
      return true;
    case kVkF4:
      ForEachChannel(palette, [](PaletteState& p, int channel) {
        p.channels[channel].ChangeTime = TickCount();
      });
      return true;
    case kVkF5:
      saver.renderPaused = saver.renderPaused ? 0 : 1;
      saver.palettePaused = saver.palettePaused ? 0 : 1;
      return true;
    case kVkF6:
      saver.renderPaused = saver.renderPaused ? 0 : 1;
      return true;
    case kVkF7:
      saver.palettePaused = saver.palettePaused ? 0 : 1;
      return true;
    case kVkF8:
      ForEachChannel(palette, [](PaletteState& p, int channel) {
        PaletteValue& direction = p.settings.values[kDirection][channel];
        direction.Value = Negated(direction.Value);
      });
      return true;
    case kVkF9:
      window.mouseLock = !window.mouseLock;
      System().Beep();
      return true;
    default:
      return false;
  }
}

// While a stored display mode is in force the monitor and mouse may report
// movement on their own; only a sustained burst of movement counts.
LResult OnMouseMove(SaverWindow& window, WParam wParam, LParam lParam) {
  if (window.mouseLock) return 0;
  if (!window.modeSwitched) return window.host.DefaultProc(kWmMouseMove, wParam, lParam);

  uint32_t now = TickCount();
  if (now - window.burstStartTick >= kBurstWindowMs) {
    window.burstStartTick = now;
    window.burstCount = 0;
    return 0;
  }
  uint32_t sinceCreation = now - window.creationTick;
  if (sinceCreation < kBurstSettleMs) {
    if (window.burstCount++ > kBurstCountEarly) {
      window.userInput = true;
      return window.host.DefaultProc(kWmMouseMove, wParam, lParam);
    }
  }
  if (sinceCreation > kBurstSettleMs) {
    if (window.burstCount++ > kBurstCountLate) {
      window.userInput = true;
      return window.host.DefaultProc(kWmMouseMove, wParam, lParam);
    }
  }
  return 0;
}

LResult Dispatch(SaverWindow& window, uint32_t message, WParam wParam, LParam lParam) {
  switch (message) {
    case kWmCreate:
      return OnCreate(window);
    case kWmEraseBackground:
      if (!window.renderStarted && window.share) {
        window.host.BringToForeground();
        window.renderStarted =
            window.host.StartRenderThread(window.share, window.host.ClientSize());
      }
      return 0;  // the system never erases the background
    case kWmActivate:
    case kWmActivateApp:
      if (LowWord(wParam) == 0) return 0;  // losing the activation never dismisses
      break;
    case kWmClose:
      if (window.modeSwitched && !window.userInput) return 0;
      break;
    case kWmKeyDown:
      if (OnHotKey(window, wParam)) return 0;
      window.userInput = true;
      break;
    case kWmSysKeyDown:
    case kWmLeftButtonDown:
    case kWmRightButtonDown:
    case kWmMiddleButtonDown:
      window.userInput = true;
      break;
    case kWmMouseMove:
      return OnMouseMove(window, wParam, lParam);
    case kWmDestroy:
      OnDestroy(window);
      break;
    default:
      break;
  }
  return window.host.DefaultProc(message, wParam, lParam);
}

}  // namespace

LResult ScreenSaverProc(SaverWindow& window, uint32_t message, WParam wParam, LParam lParam) {
  try {
    return Dispatch(window, message, wParam, lParam);
  } catch (...) {
    System().DebugOutput("Saver window failed" + CaughtFailureDetail());
  }
  window.host.PostQuit(kFaultExitCode);
  return 0;
}

}  // namespace lumox
