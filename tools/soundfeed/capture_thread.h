// Keeps a capture device open on a thread of its own and hands what it
// records to the publishing loop.
//
// The thread opens the device, reads it until the connection is lost, and
// then tries again after a pause that doubles from 250 ms up to 2 s, so a
// missing sound server costs a few wake-ups a second, never a busy loop.
// Each new message (lost, refused, back again) is printed once.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "capture_device.h"

namespace soundfeed {

class CaptureThread {
 public:
  using Clock = std::chrono::steady_clock;
  using Opener = std::function<std::unique_ptr<CaptureDevice>(std::string& error)>;

  explicit CaptureThread(Opener opener, bool quiet = false);
  ~CaptureThread();
  CaptureThread(const CaptureThread&) = delete;
  CaptureThread& operator=(const CaptureThread&) = delete;

  // Moves the sound captured since the last call into `left` and `right`
  // (replacing their contents; at most the newest second is kept) and
  // returns its sample rate, 0 while nothing is connected.
  int Take(std::vector<float>& left, std::vector<float>& right);
  // Time since sound last arrived; the publisher shows silence after a
  // short gap (lost server, hung server, a loopback with nothing playing).
  Clock::duration SinceLastSound() const;
  TrackInfo nowPlaying() const;

 private:
  void Run() noexcept;
  void ReadUntilLost(CaptureDevice& device);
  void Report(const std::string& message);
  // Sleeps for `pause` unless asked to stop; false when stopping.
  bool Pause(std::chrono::milliseconds pause);

  Opener opener_;
  bool quiet_;
  mutable std::mutex lock_;
  std::condition_variable wake_;
  bool stop_ = false;
  bool connected_ = false;
  int rate_ = 0;
  std::vector<float> left_, right_;
  Clock::time_point lastSound_;
  TrackInfo nowPlaying_;
  std::string lastMessage_;
  std::thread thread_;
};

}  // namespace soundfeed
