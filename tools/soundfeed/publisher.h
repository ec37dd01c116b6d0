// Writing the player's side of the shared block.
//
// Levels go out as amplitudes times kFullScale, with LevelFullScale,
// LevelDivisor and BandFullScale set to the same number, so a full-scale
// sine reads 1 to the saver with or without its automatic gain.
#pragma once

#include <cstdint>
#include <string>

#include "band_analysis.h"
#include "control/sound_share.h"

namespace soundfeed {

constexpr float kFullScale = 32767.0f;
constexpr uint16_t kPlayerVersionMajor = 1;
constexpr uint16_t kPlayerVersionMinor = 0;

struct StereoLevels {
  float left = 0.0f;
  float right = 0.0f;
  BandLevels leftBands{};
  BandLevels rightBands{};
};

// Multiplies the channel and band levels alike.
void ScaleLevels(StereoLevels& levels, float factor);

struct TrackInfo {
  std::string title;   // first line of the saver's info box
  std::string artist;  // second line
  std::string time;    // third line
};

// The saver's arrow keys set KeyLevel (1..20); the player reads it as an
// output gain in tenths, 0 (never set) meaning 1.
float KeyLevelGain(const lumox::SoundShare& share);

// Announces the player: version words, scales, PlayerActive 1. Also writes
// the version into the registry value the saver reads.
void AnnouncePlayer(lumox::SoundShare& share);
void PublishLevels(lumox::SoundShare& share, const StereoLevels& levels);
// Writes the texts and moves InfoSerial on, which shows the saver's info box.
void PublishInfo(lumox::SoundShare& share, const TrackInfo& info);
// PlayerActive 0; the levels stay as last written.
void RetirePlayer(lumox::SoundShare& share);

}  // namespace soundfeed
