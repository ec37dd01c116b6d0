#include "display_power.h"

#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>

namespace lumox::host {

struct DisplayPower::Connection {
  Display* display = nullptr;
};

DisplayPower::DisplayPower() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return;
  int eventBase = 0, errorBase = 0;
  if (!DPMSQueryExtension(display, &eventBase, &errorBase) || !DPMSCapable(display)) {
    XCloseDisplay(display);
    return;
  }
  x_ = std::make_unique<Connection>(Connection{display});
}

DisplayPower::~DisplayPower() {
  if (x_) XCloseDisplay(x_->display);
}

bool DisplayPower::Asleep() {
  if (!x_) return false;
  const auto now = std::chrono::steady_clock::now();
  if (now < nextQuery_) return asleep_;
  nextQuery_ = now + std::chrono::seconds(1);
  CARD16 level = DPMSModeOn;
  BOOL enabled = False;
  asleep_ = DPMSInfo(x_->display, &level, &enabled) && enabled && level != DPMSModeOn;
  return asleep_;
}

}  // namespace lumox::host
