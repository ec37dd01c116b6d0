// Where the sound comes from: the synthetic song or a sound file, as
// stereo blocks of float samples (a mono file plays on both sides).
#pragma once

#include <memory>
#include <string>

#include "synthetic_song.h"

namespace soundfeed {

class AudioSource {
 public:
  virtual ~AudioSource() = default;
  virtual int sampleRate() const = 0;
  // Fills up to `frames` samples per channel; fewer (0 at the end) when
  // the source runs out.
  virtual int Read(float* left, float* right, int frames) = 0;
  virtual std::string title() const = 0;
  // Length in seconds, 0 for an endless source.
  virtual double length() const = 0;
};

std::unique_ptr<AudioSource> MakeSyntheticSource(int sampleRate);
// Null with a message in `error` when the file cannot be read.
std::unique_ptr<AudioSource> OpenSoundFile(const std::string& path, std::string& error);

}  // namespace soundfeed
