// Capturing what the computer plays: one connection to the sound system's
// output (the default output's monitor through the sound server on Linux,
// the default render device's loopback on Windows).
//
// The platform file defines the three free functions; CaptureThread keeps
// one device open, reconnecting when it is lost.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "publisher.h"

namespace soundfeed {

class CaptureDevice {
 public:
  virtual ~CaptureDevice() = default;
  virtual int sampleRate() const = 0;
  // Waits a short while (tens of milliseconds at most) for captured sound
  // and appends it to `left` and `right` (a mono device to both); nothing
  // when none came, even from a sound system that stopped answering.
  // Returns false, with a message in `error`, when the connection or device
  // is lost.
  virtual bool Read(std::vector<float>& left, std::vector<float>& right, std::string& error) = 0;
  // What the sound system says is playing into the captured output; empty
  // texts when it says nothing.
  virtual TrackInfo NowPlaying() = 0;
};

struct CaptureSourceEntry {
  std::string name;
  std::string description;
  int sampleRate = 0;
  bool isMonitor = false;  // records what an output plays
};

// Opens the named source, or what the default output plays when `source`
// is empty. Null with a message in `error` when that cannot be done.
std::unique_ptr<CaptureDevice> OpenCaptureDevice(const std::string& source, std::string& error);
// The sources the sound system offers; false with a message when it cannot
// be reached.
bool ListCaptureSources(std::vector<CaptureSourceEntry>& sources, std::string& error);
// True when the sound system answers (decides whether live capture is the
// default).
bool CaptureServerReachable();

}  // namespace soundfeed
