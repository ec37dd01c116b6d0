// One full-screen saver at a time.
//
// Before it creates its window, a full-screen run looks for the window of
// one already running (titled "Screen Saver", class "lumox"); if there is
// one, it brings that window to the front and the new process ends with 0.
#pragma once

namespace lumox::host {

// True when another saver's full-screen window exists (it was raised).
bool RaiseRunningSaver();

}  // namespace lumox::host
