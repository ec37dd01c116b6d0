// soundfeed: a stand-in for the sound player. It attaches to the shared
// block as the player does, announces itself, and publishes the levels of
// a synthetic song (or of a sound file, at its real pace) many times a
// second, with a few lines of text about what is playing.
//
//   soundfeed [--wav FILE] [--loop] [--seconds N] [--rate N] [--quiet] [/PPLAY]
//
// It stops at the end of the file, after N seconds, or on SIGINT/SIGTERM,
// and then clears PlayerActive so the saver falls back to oscillation.
// Started by the saver (its "AutoRun" option appends /PPLAY to the player's
// command line) it also stops when that saver signals LauncherClosed.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "audio_source.h"
#include "control/sound_link.h"
#include "level_meter.h"
#include "publisher.h"

namespace {

using namespace soundfeed;
using Clock = std::chrono::steady_clock;

volatile std::sig_atomic_t gStop = 0;

extern "C" void OnSignal(int) { gStop = 1; }

struct Options {
  std::string wav;
  bool loop = false;
  double seconds = 0.0;  // 0: no limit
  int rate = 50;         // updates per second
  bool quiet = false;
  bool launchedBySaver = false;  // /PPLAY
};

void Usage() {
  std::fprintf(stderr,
               "usage: soundfeed [--wav FILE] [--loop] [--seconds N] [--rate 30..200] [--quiet] "
               "[/PPLAY]\n");
}

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--wav" && hasValue) {
      options.wav = argv[++i];
    } else if (arg == "--seconds" && hasValue) {
      options.seconds = std::atof(argv[++i]);
      if (!(options.seconds > 0.0)) return false;
    } else if (arg == "--rate" && hasValue) {
      options.rate = std::atoi(argv[++i]);
      if (options.rate < 30 || options.rate > 200) return false;
    } else if (arg == "--loop") {
      options.loop = true;
    } else if (arg == "--quiet") {
      options.quiet = true;
    } else if (arg == "/PPLAY" || arg == "/pplay") {
      options.launchedBySaver = true;
    } else {
      return false;
    }
  }
  return true;
}

std::string MinutesSeconds(double seconds) {
  const int whole = static_cast<int>(seconds);
  char text[32];
  std::snprintf(text, sizeof text, "%d:%02d", whole / 60, whole % 60);
  return text;
}

int LoudestBand(const StereoLevels& levels) {
  int loudest = 0;
  for (int band = 1; band < kBands; ++band)
    if (levels.leftBands[band] + levels.rightBands[band] >
        levels.leftBands[loudest] + levels.rightBands[loudest])
      loudest = band;
  return loudest;
}

lumox::SoundShare* Attach() {
  lumox::ShareOpenResult result;
  lumox::SoundShare* share = lumox::OpenSoundShareChecked(result, false);
  if (result == lumox::ShareOpenResult::kLayoutMismatch) {
    std::fprintf(stderr,
                 "soundfeed: the shared block \"%s\" exists with another size or layout "
                 "version (expected %zu bytes, layout %u); not attaching\n",
                 lumox::kSoundShareName, lumox::kSoundShareSize, lumox::kSoundShareLayout);
  } else if (share == nullptr) {
    std::fprintf(stderr, "soundfeed: cannot open the shared block \"%s\"\n",
                 lumox::kSoundShareName);
  }
  return share;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    Usage();
    return 2;
  }

  std::unique_ptr<AudioSource> source;
  if (options.wav.empty()) {
    source = MakeSyntheticSource(44100);
  } else {
    std::string error;
    source = OpenSoundFile(options.wav, error);
    if (source == nullptr) {
      std::fprintf(stderr, "soundfeed: cannot read %s: %s\n", options.wav.c_str(), error.c_str());
      return 1;
    }
  }

  lumox::SoundShare* share = Attach();
  if (share == nullptr) return 1;

  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);

  AnnouncePlayer(*share);
  const int sampleRate = source->sampleRate();
  LevelMeter meter(sampleRate);
  const auto tick = std::chrono::nanoseconds(1000000000LL / options.rate);
  std::vector<float> left, right;
  const bool tty = isatty(STDOUT_FILENO) && !options.quiet;

  const Clock::time_point start = Clock::now();
  Clock::time_point next = start;
  int64_t framesPlayed = 0;
  int64_t updates = 0;
  int lastInfoSecond = -1;
  int lastStatusSecond = -1;
  StereoLevels levels;
  // Only a notice given after the start counts: an old one may linger.
  bool launcherWasClosed = share->U32(lumox::share_offset::LauncherClosed) != 0;
  bool launcherClosed = false;

  while (!gStop) {
    if (options.launchedBySaver) {
      const bool closed = share->U32(lumox::share_offset::LauncherClosed) != 0;
      if (closed && !launcherWasClosed) {
        launcherClosed = true;
        break;
      }
      launcherWasClosed = closed;
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    if (options.seconds > 0.0 && elapsed >= options.seconds) break;

    // Catch up with the wall clock: play what the last tick's time held.
    const int64_t due = static_cast<int64_t>(elapsed * sampleRate) + sampleRate / options.rate;
    const int frames = static_cast<int>(std::clamp<int64_t>(due - framesPlayed, 1, sampleRate));
    left.resize(frames);
    right.resize(frames);
    int got = source->Read(left.data(), right.data(), frames);
    if (got == 0 && options.loop && !options.wav.empty()) {
      std::string error;
      source = OpenSoundFile(options.wav, error);
      if (source != nullptr) got = source->Read(left.data(), right.data(), frames);
    }
    if (got <= 0) break;
    framesPlayed += got;

    const float gain = KeyLevelGain(*share);
    for (int i = 0; i < got; ++i) {
      left[i] *= gain;
      right[i] *= gain;
    }
    levels = meter.Push(left.data(), right.data(), got);
    PublishLevels(*share, levels);
    ++updates;

    // New texts every ten seconds: the saver shows its info box on each.
    const int second = static_cast<int>(elapsed);
    if (second / 10 != lastInfoSecond) {
      lastInfoSecond = second / 10;
      const double played = static_cast<double>(framesPlayed) / sampleRate;
      std::string time = MinutesSeconds(played);
      if (source->length() > 0.0) time += " / " + MinutesSeconds(source->length());
      PublishInfo(*share, {source->title(), "soundfeed", time});
    }
    if (tty && second != lastStatusSecond) {
      lastStatusSecond = second;
      std::printf("\rsoundfeed: %s  L %.2f  R %.2f  loudest %5.0f Hz  %lld updates ",
                  MinutesSeconds(elapsed).c_str(), levels.left, levels.right,
                  kBandCentres[LoudestBand(levels)], static_cast<long long>(updates));
      std::fflush(stdout);
    }

    next += tick;
    std::this_thread::sleep_until(next);
  }

  RetirePlayer(*share);
  lumox::CloseSoundShare(share);
  const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  if (!options.quiet)
    std::printf("%ssoundfeed: %s of \"%s\", %lld updates (%.1f a second)%s\n", tty ? "\r" : "",
                MinutesSeconds(elapsed).c_str(), source ? source->title().c_str() : "",
                static_cast<long long>(updates), elapsed > 0 ? updates / elapsed : 0.0,
                gStop ? ", stopped by signal" : launcherClosed ? ", the saver closed" : "");
  return 0;
}
