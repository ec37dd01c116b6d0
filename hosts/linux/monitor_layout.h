// Where the full-screen saver's windows go on a desktop of several
// monitors, from the monitors' bounds in desktop coordinates (the primary
// monitor first, as SDL lists them):
//   primary  one window over the first monitor;
//   each     one window over every monitor;
//   span     one window over the smallest rectangle holding them all (the
//            parts of it no monitor shows are simply not seen).
// The saver draws one screen at the size of the first window; every other
// window shows that same screen, scaled to its own size.
#pragma once

#include <vector>

#include "config/monitor_choice.h"

namespace lumox::host {

struct MonitorRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const MonitorRect&) const = default;
};

// Monitors without area are left out; no monitor gives no window.
std::vector<MonitorRect> SaverWindowRects(const std::vector<MonitorRect>& monitors,
                                          MonitorChoice choice);

}  // namespace lumox::host
