// Whether the X display's monitor is powered down (DPMS standby, suspend
// or off): nobody sees a picture then, so the host presents nothing.
//
// Keeps a connection of its own, so it serves SDL windows and foreign
// windows alike, and asks the server at most once a second. Without a
// display or without the DPMS extension the monitor counts as on.
#pragma once

#include <chrono>
#include <memory>

namespace lumox::host {

class DisplayPower {
 public:
  DisplayPower();
  ~DisplayPower();
  DisplayPower(const DisplayPower&) = delete;
  DisplayPower& operator=(const DisplayPower&) = delete;

  bool Asleep();

 private:
  struct Connection;
  std::unique_ptr<Connection> x_;
  bool asleep_ = false;
  std::chrono::steady_clock::time_point nextQuery_{};
};

}  // namespace lumox::host
