// Which monitors the full-screen saver covers on a desktop with several:
// the primary one only, each one with a window of its own, or one window
// spanning them all.
//
// The choice is one global value, "Monitors" under the settings key, a
// 4-byte number (0 primary, 1 each, 2 span). A missing value, and any
// number this version does not know, read as the primary monitor: a saver
// that cannot tell what was meant covers the one screen every desktop has.
#pragma once

#include <cstdint>

namespace lumox {

enum class MonitorChoice : int32_t { kPrimary = 0, kEach = 1, kSpan = 2 };

MonitorChoice ReadMonitorChoice();
// Creates the settings key when it does not exist yet. False when the
// store refused the write.
bool StoreMonitorChoice(MonitorChoice choice);

}  // namespace lumox
