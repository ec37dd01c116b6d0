// soundfeed: a stand-in for the sound player. It attaches to the shared
// block as the player does, announces itself, and publishes channel and
// band levels many times a second, with a few lines of text about what is
// playing: from what the computer plays (live), a synthetic song, or a
// sound file at its real pace.
//
// It stops at the end of the file, after N seconds, or on SIGINT/SIGTERM,
// and then clears PlayerActive so the saver falls back to oscillation.
// Started by the saver (its "AutoRun" option appends /PPLAY to the player's
// command line) it also stops when that saver signals LauncherClosed.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "capture_device.h"
#include "control/sound_link.h"
#include "feed.h"

namespace {

using namespace soundfeed;

extern "C" void OnSignal(int) { gStopRequested = 1; }

void Usage() {
  std::fprintf(
      stderr,
      "usage: soundfeed [--live [--source NAME] | --synthetic | --wav FILE [--loop]]\n"
      "                 [--seconds N] [--rate 30..200] [--quiet] [/PPLAY]\n"
      "       soundfeed --list-sources\n"
      "\n"
      "  --live          what the computer plays: the default output's monitor, or\n"
      "                  --source NAME (see --list-sources)\n"
      "  --synthetic     a synthetic song that keeps every band moving\n"
      "  --wav FILE      a sound file, at its real pace\n"
      "\n"
      "Without a choice it captures live when a sound server answers at start (the\n"
      "saver should follow the music the user plays), and otherwise plays the\n"
      "synthetic song (so a machine without sound still shows sound-driven\n"
      "controls moving). A live feed that loses its server publishes silence, keeps\n"
      "PlayerActive set, and resumes by itself when the server comes back.\n");
}

bool ParseOptions(int argc, char** argv, FeedOptions& options, bool& listSources) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--wav" && hasValue) {
      options.kind = FeedKind::kFile;
      options.wav = argv[++i];
    } else if (arg == "--source" && hasValue) {
      options.kind = FeedKind::kLive;
      options.source = argv[++i];
    } else if (arg == "--live") {
      options.kind = FeedKind::kLive;
    } else if (arg == "--synthetic") {
      options.kind = FeedKind::kSynthetic;
    } else if (arg == "--list-sources") {
      listSources = true;
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

int ListSources() {
  std::vector<CaptureSourceEntry> sources;
  std::string error;
  if (!ListCaptureSources(sources, error)) {
    std::fprintf(stderr, "soundfeed: %s\n", error.c_str());
    return 1;
  }
  for (const CaptureSourceEntry& source : sources) {
    const std::string rate = source.sampleRate > 0 ? std::to_string(source.sampleRate) + " Hz" : "";
    std::printf("%-50s %9s  %s%s\n", source.name.c_str(), rate.c_str(), source.description.c_str(),
                source.isMonitor ? " (what an output plays)" : "");
  }
  return 0;
}

lumox::SoundShare* Attach() {
  lumox::ShareOpenResult result;
  lumox::SoundShare* share = lumox::OpenSoundShareChecked(result, false);
  if (result == lumox::ShareOpenResult::kLayoutMismatch) {
    std::fprintf(stderr,
                 "soundfeed: the shared block \"%s\" exists with another size or layout "
                 "version (expected %zu bytes, layout %u); not attaching\n",
                 lumox::SoundShareName().c_str(), lumox::kSoundShareSize,
                 lumox::kSoundShareLayout);
  } else if (share == nullptr) {
    std::fprintf(stderr, "soundfeed: cannot open the shared block \"%s\"\n",
                 lumox::SoundShareName().c_str());
  }
  return share;
}

}  // namespace

int main(int argc, char** argv) {
  FeedOptions options;
  bool listSources = false;
  if (!ParseOptions(argc, argv, options, listSources)) {
    Usage();
    return 2;
  }
  if (listSources) return ListSources();

  if (options.kind == FeedKind::kDefault) {
    options.kind = CaptureServerReachable() ? FeedKind::kLive : FeedKind::kSynthetic;
    if (!options.quiet)
      std::fprintf(stderr, "soundfeed: %s\n",
                   options.kind == FeedKind::kLive
                       ? "capturing what the computer plays (--synthetic for the test song)"
                       : "no sound server answers; playing the synthetic song");
  }
  std::unique_ptr<AudioSource> source;
  if (options.kind == FeedKind::kSynthetic) {
    source = MakeSyntheticSource(44100);
  } else if (options.kind == FeedKind::kFile) {
    std::string error;
    source = OpenSoundFile(options.wav, error);
    if (source == nullptr) {
      std::fprintf(stderr, "soundfeed: cannot read %s: %s\n", options.wav.c_str(), error.c_str());
      return 1;
    }
  }

  lumox::SoundShare* share = Attach();
  if (share == nullptr) return 1;

  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);

  AnnouncePlayer(*share);
  const auto start = std::chrono::steady_clock::now();
  const FeedSummary summary = options.kind == FeedKind::kLive
                                  ? RunLiveFeed(options, *share)
                                  : RunPlaybackFeed(options, std::move(source), *share);
  PublishLevels(*share, {});
  RetirePlayer(*share);
  lumox::CloseSoundShare(share);

  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // After the status line a terminal shows, a line of its own.
  if (!options.quiet)
    std::printf("%ssoundfeed: %s of \"%s\", %lld updates (%.1f a second)%s%s\n",
                isatty(STDOUT_FILENO) ? "\n" : "", MinutesSeconds(elapsed).c_str(),
                summary.title.c_str(), static_cast<long long>(summary.updates),
                elapsed > 0 ? summary.updates / elapsed : 0.0,
                summary.ending.empty() ? "" : ", ", summary.ending.c_str());
  return 0;
}
