#include "feed.h"

#include <cstdio>

namespace soundfeed {

namespace off = lumox::share_offset;

volatile std::sig_atomic_t gStopRequested = 0;

FeedEnd::FeedEnd(const FeedOptions& options, const lumox::SoundShare& share)
    : options_(options), share_(share), launcherWasClosed_(share.U32(off::LauncherClosed) != 0) {}

const char* FeedEnd::Check(double elapsedSeconds) {
  if (gStopRequested) return "stopped by signal";
  if (options_.launchedBySaver) {
    const bool closed = share_.U32(off::LauncherClosed) != 0;
    if (closed && !launcherWasClosed_) return "the saver closed";
    launcherWasClosed_ = closed;
  }
  if (options_.seconds > 0.0 && elapsedSeconds >= options_.seconds) return "time is up";
  return nullptr;
}

void PublishUpdate(lumox::SoundShare& share, StereoLevels levels, AutoGain& autoGain,
                   float seconds) {
  if (share.U32(off::AutoGain) != 0) autoGain.Apply(levels, seconds);
  ScaleLevels(levels, KeyLevelGain(share));
  PublishLevels(share, levels);
}

std::string MinutesSeconds(double seconds) {
  const int whole = static_cast<int>(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%d:%02d", whole / 60, whole % 60);
  return text;
}

void PrintStatus(double elapsedSeconds, const StereoLevels& levels, int64_t updates) {
  int loudest = 0;
  for (int band = 1; band < kBands; ++band)
    if (levels.leftBands[band] + levels.rightBands[band] >
        levels.leftBands[loudest] + levels.rightBands[loudest])
      loudest = band;
  std::printf("\rsoundfeed: %s  L %.2f  R %.2f  loudest %5.0f Hz  %lld updates ",
              MinutesSeconds(elapsedSeconds).c_str(), levels.left, levels.right,
              kBandCentres[loudest], static_cast<long long>(updates));
  std::fflush(stdout);
}

}  // namespace soundfeed
