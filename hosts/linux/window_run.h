// Window runs: full screen (/s), a development window (--window) with SDL,
// and runs inside a foreign X11 window (/p, -root, -window-id) with plain
// Xlib.
#pragma once

#include <chrono>
#include <memory>

#include "command_line.h"
#include "refresh_timer.h"
#include "saver_window_session.h"

namespace lumox::host {

// Exit code of the run: the window logic's quit code after a normal close,
// -1 when a preview window handle is not a window, 1 when no window could
// be made or the saver refused to start.
int RunSdlWindow(const HostCommand& command);
int RunEmbedded(const HostCommand& command);

// What both runs give their session: the saver's command line, and pacing
// by the present loop's beat unless the loop runs unpaced.
SessionOptions PacedSessionOptions(const HostCommand& command,
                                   const std::shared_ptr<PresentBeat>& beat,
                                   std::chrono::nanoseconds refreshPeriod);

// Creates the session's window; says on stderr why when the saver refuses
// to start.
bool CreateSession(SaverWindowSession& session);

}  // namespace lumox::host
