#include "audio_source.h"

#ifdef SOUNDFEED_SOUND_FILES
#include <sndfile.h>
#endif

#include <vector>

namespace soundfeed {
namespace {

class SyntheticSource final : public AudioSource {
 public:
  explicit SyntheticSource(int rate) : rate_(rate), song_(rate) {}
  int sampleRate() const override { return rate_; }
  int Read(float* left, float* right, int frames) override {
    song_.Render(left, right, frames);
    return frames;
  }
  std::string title() const override { return "Synthetic Groove"; }
  double length() const override { return 0.0; }

 private:
  int rate_;
  SyntheticSong song_;
};

#ifdef SOUNDFEED_SOUND_FILES
class SoundFileSource final : public AudioSource {
 public:
  SoundFileSource(SNDFILE* file, const SF_INFO& info, std::string title)
      : file_(file), info_(info), title_(std::move(title)) {}
  ~SoundFileSource() override { sf_close(file_); }
  int sampleRate() const override { return info_.samplerate; }
  std::string title() const override { return title_; }
  double length() const override {
    return static_cast<double>(info_.frames) / info_.samplerate;
  }

  int Read(float* left, float* right, int frames) override {
    interleaved_.resize(static_cast<size_t>(frames) * info_.channels);
    const sf_count_t got = sf_readf_float(file_, interleaved_.data(), frames);
    for (sf_count_t i = 0; i < got; ++i) {
      const float* frame = &interleaved_[static_cast<size_t>(i) * info_.channels];
      left[i] = frame[0];
      right[i] = info_.channels > 1 ? frame[1] : frame[0];
    }
    return static_cast<int>(got);
  }

 private:
  SNDFILE* file_;
  SF_INFO info_;
  std::string title_;
  std::vector<float> interleaved_;
};
#endif

}  // namespace

std::unique_ptr<AudioSource> MakeSyntheticSource(int sampleRate) {
  return std::make_unique<SyntheticSource>(sampleRate);
}

std::unique_ptr<AudioSource> OpenSoundFile(const std::string& path, std::string& error) {
#ifndef SOUNDFEED_SOUND_FILES
  (void)path;
  error = "this build reads no sound files";
  return nullptr;
#else
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) {
    error = sf_strerror(nullptr);
    return nullptr;
  }
  if (info.channels < 1 || info.samplerate < 8000 || info.samplerate > 384000) {
    sf_close(file);
    error = "unsupported channel count or sample rate";
    return nullptr;
  }
  const size_t slash = path.find_last_of('/');
  return std::make_unique<SoundFileSource>(
      file, info, slash == std::string::npos ? path : path.substr(slash + 1));
#endif
}

}  // namespace soundfeed
