// The played feed: the synthetic song or a sound file, read at the pace of
// the wall clock, analysed and published many times a second, with new
// texts every ten seconds.
#include <algorithm>
#include <vector>

#include "audio_source.h"
#include "feed.h"
#include "level_meter.h"

namespace soundfeed {

FeedSummary RunPlaybackFeed(const FeedOptions& options, std::unique_ptr<AudioSource> source,
                            lumox::SoundShare& share) {
  const int sampleRate = source->sampleRate();
  LevelMeter meter(sampleRate);
  AutoGain autoGain;
  FeedClock clock(options, share);
  std::vector<float> left, right;
  int64_t framesPlayed = 0;
  int lastInfoSecond = -1;
  FeedSummary summary;
  summary.title = source->title();

  for (;;) {
    const double elapsed = clock.Elapsed();
    if (const char* why = clock.Ended()) {
      summary.ending = why;
      break;
    }
    // Catch up with the wall clock: play what the last tick's time held.
    const int64_t due = static_cast<int64_t>(elapsed * sampleRate) + sampleRate / options.rate;
    const int frames = static_cast<int>(std::clamp<int64_t>(due - framesPlayed, 1, sampleRate));
    left.resize(frames);
    right.resize(frames);
    int got = source->Read(left.data(), right.data(), frames);
    if (got == 0 && options.loop && options.kind == FeedKind::kFile) {
      std::string error;
      source = OpenSoundFile(options.wav, error);
      if (source != nullptr) got = source->Read(left.data(), right.data(), frames);
    }
    if (got <= 0) break;
    framesPlayed += got;

    const StereoLevels levels = meter.Push(left.data(), right.data(), got);
    PublishUpdate(share, levels, autoGain, 1.0f / options.rate);
    ++summary.updates;

    // New texts every ten seconds: the saver shows its info box on each.
    if (static_cast<int>(elapsed) / 10 != lastInfoSecond) {
      lastInfoSecond = static_cast<int>(elapsed) / 10;
      const double played = static_cast<double>(framesPlayed) / sampleRate;
      std::string time = MinutesSeconds(played);
      if (source->length() > 0.0) time += " / " + MinutesSeconds(source->length());
      PublishInfo(share, {source->title(), "soundfeed", time});
    }
    clock.WaitForNext(levels, summary.updates);
  }
  return summary;
}

}  // namespace soundfeed
