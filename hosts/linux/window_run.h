// Window runs: full screen (/s), a development window (--window) with SDL,
// and runs inside a foreign X11 window (/p, -root, -window-id) with plain
// Xlib.
#pragma once

#include "command_line.h"

namespace lumox::host {

// Exit code of the run: the window logic's quit code after a normal close,
// -1 when a preview window handle is not a window, 1 when no window could
// be made or the saver refused to start.
int RunSdlWindow(const HostCommand& command);
int RunEmbedded(const HostCommand& command);

}  // namespace lumox::host
