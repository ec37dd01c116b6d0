#include "feed.h"

#include <cstdio>
#include <thread>
#include <unistd.h>

namespace soundfeed {

namespace off = lumox::share_offset;

namespace {

// The one-line status on a terminal.
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

}  // namespace

volatile std::sig_atomic_t gStopRequested = 0;

FeedClock::FeedClock(const FeedOptions& options, const lumox::SoundShare& share)
    : options_(options),
      share_(share),
      launcherWasClosed_(share.U32(off::LauncherClosed) != 0),
      showStatus_(isatty(STDOUT_FILENO) && !options.quiet),
      tick_(std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(1000000000LL) /
                                                        options.rate)),
      start_(Clock::now()),
      next_(start_) {}

double FeedClock::Elapsed() const {
  return std::chrono::duration<double>(Clock::now() - start_).count();
}

const char* FeedClock::Ended() {
  if (gStopRequested) return "stopped by signal";
  if (options_.launchedBySaver) {
    const bool closed = share_.U32(off::LauncherClosed) != 0;
    if (closed && !launcherWasClosed_) return "the saver closed";
    launcherWasClosed_ = closed;
  }
  if (options_.seconds > 0.0 && Elapsed() >= options_.seconds) return "time is up";
  return nullptr;
}

void FeedClock::WaitForNext(const StereoLevels& levels, int64_t updates) {
  const double elapsed = Elapsed();
  if (showStatus_ && static_cast<int>(elapsed) != lastStatusSecond_) {
    lastStatusSecond_ = static_cast<int>(elapsed);
    PrintStatus(elapsed, levels, updates);
  }
  next_ += tick_;
  if (next_ < Clock::now()) next_ = Clock::now() + tick_;
  std::this_thread::sleep_until(next_);
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


}  // namespace soundfeed
