// The two feeds soundfeed runs (the played one: synthetic song or sound
// file; the live one: what the computer plays), and what they share: their
// options, when they end, and how one update goes into the block.
#pragma once

#include <chrono>
#include <csignal>
#include <cstdint>
#include <memory>
#include <string>

#include "audio_source.h"
#include "auto_gain.h"
#include "control/sound_share.h"
#include "publisher.h"

namespace soundfeed {

enum class FeedKind { kDefault, kSynthetic, kFile, kLive };

struct FeedOptions {
  FeedKind kind = FeedKind::kDefault;
  std::string wav;
  std::string source;  // live: "" is what the default output plays
  bool loop = false;
  double seconds = 0.0;  // 0: no limit
  int rate = 50;         // updates per second
  bool quiet = false;
  bool launchedBySaver = false;  // /PPLAY
};

struct FeedSummary {
  int64_t updates = 0;
  std::string title;
  std::string ending;  // why it ended, "" at the end of the sound
};

// Set by SIGINT and SIGTERM.
extern volatile std::sig_atomic_t gStopRequested;

// The pace and the end of a feed: `rate` updates a second from its start,
// the status line on a terminal once a second, and the end: a signal, the
// time limit, or (started by the saver) that saver closing. Only a
// LauncherClosed given after the start counts: an old one may linger.
class FeedClock {
 public:
  using Clock = std::chrono::steady_clock;
  FeedClock(const FeedOptions& options, const lumox::SoundShare& share);
  // Seconds since the start.
  double Elapsed() const;
  // Why the feed ends now, or null while it goes on.
  const char* Ended();
  // After an update: shows the status line and sleeps until the next
  // update is due (after a stall, such as a suspended machine, it carries
  // on from now rather than in a burst).
  void WaitForNext(const StereoLevels& levels, int64_t updates);

 private:
  const FeedOptions& options_;
  const lumox::SoundShare& share_;
  bool launcherWasClosed_;
  bool showStatus_;
  Clock::duration tick_;
  Clock::time_point start_;
  Clock::time_point next_;
  int lastStatusSecond_ = -1;
};

// Writes one update: the automatic gain when the saver's AutoGain is on,
// then the player's output level (the saver's arrow keys).
void PublishUpdate(lumox::SoundShare& share, StereoLevels levels, AutoGain& autoGain,
                   float seconds);

std::string MinutesSeconds(double seconds);

// Each publishes until FeedClock says stop (the played one also at the end of
// its sound).
FeedSummary RunPlaybackFeed(const FeedOptions& options, std::unique_ptr<AudioSource> source,
                            lumox::SoundShare& share);
FeedSummary RunLiveFeed(const FeedOptions& options, lumox::SoundShare& share);

}  // namespace soundfeed
