// The two feeds soundfeed runs (the played one: synthetic song or sound
// file; the live one: what the computer plays), and what they share: their
// options, when they end, and how one update goes into the block.
#pragma once

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

// Decides when a feed ends: a signal, the time limit, or (started by the
// saver) that saver closing. Only a LauncherClosed given after the start
// counts: an old one may linger in the block.
class FeedEnd {
 public:
  FeedEnd(const FeedOptions& options, const lumox::SoundShare& share);
  // Why the feed ends now, or null while it goes on.
  const char* Check(double elapsedSeconds);

 private:
  const FeedOptions& options_;
  const lumox::SoundShare& share_;
  bool launcherWasClosed_;
};

// Writes one update: the automatic gain when the saver's AutoGain is on,
// then the player's output level (the saver's arrow keys).
void PublishUpdate(lumox::SoundShare& share, StereoLevels levels, AutoGain& autoGain,
                   float seconds);

std::string MinutesSeconds(double seconds);
// The one-line status a feed shows on a terminal, once a second.
void PrintStatus(double elapsedSeconds, const StereoLevels& levels, int64_t updates);

// Each publishes until FeedEnd says stop (the played one also at the end of
// its sound).
FeedSummary RunPlaybackFeed(const FeedOptions& options, std::unique_ptr<AudioSource> source,
                            lumox::SoundShare& share);
FeedSummary RunLiveFeed(const FeedOptions& options, lumox::SoundShare& share);

}  // namespace soundfeed
