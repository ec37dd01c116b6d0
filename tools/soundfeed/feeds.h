// The two feeds soundfeed runs; each publishes until FeedEnd says stop
// (the played one also at the end of its sound).
#pragma once

#include <memory>

#include "audio_source.h"
#include "feed.h"

namespace soundfeed {

FeedSummary RunPlaybackFeed(const FeedOptions& options, std::unique_ptr<AudioSource> source,
                            lumox::SoundShare& share);
FeedSummary RunLiveFeed(const FeedOptions& options, lumox::SoundShare& share);

}  // namespace soundfeed
