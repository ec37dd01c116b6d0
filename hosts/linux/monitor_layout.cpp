#include "monitor_layout.h"

#include <algorithm>
#include <cstdint>

namespace lumox::host {

std::vector<MonitorRect> SaverWindowRects(const std::vector<MonitorRect>& monitors,
                                          MonitorChoice choice) {
  std::vector<MonitorRect> shown;
  for (const MonitorRect& monitor : monitors)
    if (monitor.width > 0 && monitor.height > 0) shown.push_back(monitor);
  if (shown.empty()) return {};
  switch (choice) {
    case MonitorChoice::kEach:
      return shown;
    case MonitorChoice::kSpan: {
      // 64-bit edges: far-apart monitors must not overflow the sum.
      int64_t left = shown[0].x, top = shown[0].y;
      int64_t right = left + shown[0].width, bottom = top + shown[0].height;
      for (const MonitorRect& m : shown) {
        left = std::min<int64_t>(left, m.x);
        top = std::min<int64_t>(top, m.y);
        right = std::max<int64_t>(right, int64_t{m.x} + m.width);
        bottom = std::max<int64_t>(bottom, int64_t{m.y} + m.height);
      }
      const int64_t kMaxExtent = INT32_MAX;
      return {{static_cast<int>(left), static_cast<int>(top),
               static_cast<int>(std::min(right - left, kMaxExtent)),
               static_cast<int>(std::min(bottom - top, kMaxExtent))}};
    }
    case MonitorChoice::kPrimary:
      break;
  }
  return {shown.front()};
}

}  // namespace lumox::host
