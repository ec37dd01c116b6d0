// The live feed: what the computer plays, captured on a thread of its own
// and published at the update rate. When sound stops arriving (the server
// went away, the device vanished, a loopback with nothing playing) the
// levels drop to silence within kSilenceAfter while PlayerActive stays 1:
// the player is still there, it just hears nothing.
#include <chrono>
#include <memory>
#include <vector>

#include "capture_thread.h"
#include "feed.h"
#include "level_meter.h"

namespace soundfeed {
namespace {

// Long enough to bridge the gaps of a healthy stream (its blocks are 20 ms
// apart), short enough that silence shows within 200 ms of a loss.
constexpr std::chrono::milliseconds kSilenceAfter{100};

bool SameTexts(const TrackInfo& a, const TrackInfo& b) {
  return a.title == b.title && a.artist == b.artist && a.time == b.time;
}

}  // namespace

FeedSummary RunLiveFeed(const FeedOptions& options, lumox::SoundShare& share) {
  CaptureThread capture(
      [&options](std::string& error) { return OpenCaptureDevice(options.source, error); },
      options.quiet);
  std::unique_ptr<LevelMeter> meter;
  int meterRate = 0;
  AutoGain autoGain;
  FeedClock clock(options, share);
  std::vector<float> left, right;
  TrackInfo shown;
  FeedSummary summary;
  summary.title = "live sound";

  for (;;) {
    if (const char* why = clock.Ended()) {
      summary.ending = why;
      break;
    }
    const int rate = capture.Take(left, right);
    if (rate > 0 && rate != meterRate) {
      meter = std::make_unique<LevelMeter>(rate);
      meterRate = rate;
    }
    StereoLevels levels;
    if (capture.SinceLastSound() > kSilenceAfter) {
      // Nothing recent: silence, and no stale samples in the next window.
      if (meter) meter->Clear();
    } else if (meter && !left.empty()) {
      levels = meter->Push(left.data(), right.data(), static_cast<int>(left.size()));
    } else if (meter) {
      levels = meter->Last();
    }
    PublishUpdate(share, levels, autoGain, 1.0f / options.rate);
    ++summary.updates;

    // The texts change only when what plays changes: each change shows
    // the saver's info box.
    const TrackInfo playing = capture.nowPlaying();
    if (!playing.title.empty() && !SameTexts(playing, shown)) {
      PublishInfo(share, playing);
      summary.title = playing.title;
    }
    shown = playing;
    clock.WaitForNext(levels, summary.updates);
  }
  return summary;
}

}  // namespace soundfeed
