// Capture through the sound server's client library: a record stream on
// the default output's monitor (or a named source) through the simple
// API, and short queries through the asynchronous API for the source list
// and for what is playing. Desktops running the newer media server offer
// the same protocol, so this serves them too.
#include <pulse/pulseaudio.h>
#include <pulse/simple.h>

#include <chrono>
#include <cstdio>

#include "capture_device.h"

namespace soundfeed {
namespace {

using Clock = std::chrono::steady_clock;

// A query must not hang the capture thread on a server that stopped
// answering.
constexpr std::chrono::milliseconds kQueryTimeout{1500};
// The record stream delivers 20 ms blocks.
constexpr int kBlocksPerSecond = 50;
constexpr int kFallbackRate = 48000;
constexpr int kLowestRate = 8000;
constexpr int kHighestRate = 192000;

std::string Text(const char* text) { return text != nullptr ? text : ""; }

// One connection for a few introspection calls, driven by hand with a
// deadline.
class PulseQuery {
 public:
  PulseQuery() : loop_(pa_mainloop_new()) {}
  ~PulseQuery() {
    if (context_ != nullptr) {
      pa_context_disconnect(context_);
      pa_context_unref(context_);
    }
    if (loop_ != nullptr) pa_mainloop_free(loop_);
  }
  PulseQuery(const PulseQuery&) = delete;
  PulseQuery& operator=(const PulseQuery&) = delete;

  pa_context* context() const { return context_; }

  bool Connect(std::string& error) {
    if (loop_ != nullptr) context_ = pa_context_new(pa_mainloop_get_api(loop_), "soundfeed");
    if (context_ == nullptr) {
      error = "cannot set up a sound server connection";
      return false;
    }
    const Clock::time_point deadline = Clock::now() + kQueryTimeout;
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
      error = "no sound server: " + Text(pa_strerror(pa_context_errno(context_)));
      return false;
    }
    for (;;) {
      const pa_context_state_t state = pa_context_get_state(context_);
      if (state == PA_CONTEXT_READY) return true;
      if (!PA_CONTEXT_IS_GOOD(state)) {
        error = "the sound server refused the connection: " +
                Text(pa_strerror(pa_context_errno(context_)));
        return false;
      }
      if (!Iterate(deadline)) {
        error = "the sound server does not answer";
        return false;
      }
    }
  }

  // Runs an introspection call to its end; false when it failed or timed out.
  bool Finish(pa_operation* operation) {
    if (operation == nullptr) return false;
    const Clock::time_point deadline = Clock::now() + kQueryTimeout;
    bool done = true;
    while (pa_operation_get_state(operation) == PA_OPERATION_RUNNING) {
      if (!Iterate(deadline)) {
        pa_operation_cancel(operation);
        done = false;
        break;
      }
    }
    pa_operation_unref(operation);
    return done && pa_context_get_state(context_) == PA_CONTEXT_READY;
  }

 private:
  bool Iterate(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    if (pa_mainloop_prepare(loop_, static_cast<int>(left.count())) < 0) return false;
    if (pa_mainloop_poll(loop_) < 0) return false;
    return pa_mainloop_dispatch(loop_) >= 0;
  }

  pa_mainloop* loop_;
  pa_context* context_ = nullptr;
};

// The source to record and what the server says about it.
struct ResolvedSource {
  std::string name;
  int rate = 0;
  uint32_t sink = PA_INVALID_INDEX;  // the output it monitors
  bool found = false;
};

void OnSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* data) {
  if (eol != 0 || info == nullptr) return;
  auto& source = *static_cast<ResolvedSource*>(data);
  source = {Text(info->monitor_source_name), static_cast<int>(info->sample_spec.rate), info->index,
            true};
}

void OnSourceInfo(pa_context*, const pa_source_info* info, int eol, void* data) {
  if (eol != 0 || info == nullptr) return;
  auto& source = *static_cast<ResolvedSource*>(data);
  source = {Text(info->name), static_cast<int>(info->sample_spec.rate), info->monitor_of_sink,
            true};
}

bool Resolve(const std::string& wanted, ResolvedSource& source, std::string& error) {
  PulseQuery query;
  if (!query.Connect(error)) return false;
  const bool asked =
      wanted.empty()
          ? query.Finish(pa_context_get_sink_info_by_name(query.context(), "@DEFAULT_SINK@",
                                                          OnSinkInfo, &source))
          : query.Finish(pa_context_get_source_info_by_name(query.context(), wanted.c_str(),
                                                            OnSourceInfo, &source));
  if (!asked || !source.found || source.name.empty()) {
    error = wanted.empty() ? std::string("the sound server has no default output")
                           : "the sound server has no source \"" + wanted + "\"";
    return false;
  }
  return true;
}

struct PlayingStreams {
  uint32_t sink;
  TrackInfo info;
};

void OnSinkInputInfo(pa_context*, const pa_sink_input_info* info, int eol, void* data) {
  if (eol != 0 || info == nullptr) return;
  auto& playing = *static_cast<PlayingStreams*>(data);
  if (!playing.info.title.empty() || info->corked) return;
  if (playing.sink != PA_INVALID_INDEX && info->sink != playing.sink) return;
  const auto property = [info](const char* key) { return Text(pa_proplist_gets(info->proplist, key)); };
  std::string title = property(PA_PROP_MEDIA_TITLE);
  if (title.empty()) title = property(PA_PROP_MEDIA_NAME);
  if (title.empty()) title = Text(info->name);
  std::string artist = property(PA_PROP_MEDIA_ARTIST);
  if (artist.empty()) artist = property(PA_PROP_APPLICATION_NAME);
  playing.info = {title, artist, "live sound"};
}

void OnSourceListEntry(pa_context*, const pa_source_info* info, int eol, void* data) {
  if (eol != 0 || info == nullptr) return;
  static_cast<std::vector<CaptureSourceEntry>*>(data)->push_back(
      {Text(info->name), Text(info->description), static_cast<int>(info->sample_spec.rate),
       info->monitor_of_sink != PA_INVALID_INDEX});
}

class PulseDevice final : public CaptureDevice {
 public:
  PulseDevice(pa_simple* stream, int rate, uint32_t sink)
      : stream_(stream), rate_(rate), sink_(sink), block_(2 * (rate / kBlocksPerSecond)) {}
  ~PulseDevice() override { pa_simple_free(stream_); }
  int sampleRate() const override { return rate_; }

  bool Read(std::vector<float>& left, std::vector<float>& right, std::string& error) override {
    int code = 0;
    if (pa_simple_read(stream_, block_.data(), block_.size() * sizeof(float), &code) < 0) {
      error = "the recording ended (" + Text(pa_strerror(code)) + ")";
      return false;
    }
    for (size_t i = 0; i + 1 < block_.size(); i += 2) {
      left.push_back(block_[i]);
      right.push_back(block_[i + 1]);
    }
    return true;
  }

  TrackInfo NowPlaying() override {
    PlayingStreams playing{sink_, {}};
    PulseQuery query;
    std::string error;
    if (query.Connect(error))
      query.Finish(pa_context_get_sink_input_info_list(query.context(), OnSinkInputInfo, &playing));
    return playing.info;
  }

 private:
  pa_simple* stream_;
  int rate_;
  uint32_t sink_;
  std::vector<float> block_;  // interleaved stereo
};

}  // namespace

std::unique_ptr<CaptureDevice> OpenCaptureDevice(const std::string& source, std::string& error) {
  ResolvedSource resolved;
  if (!Resolve(source, resolved, error)) return nullptr;
  int rate = resolved.rate;
  if (rate < kLowestRate || rate > kHighestRate) {
    // The server converts: ask for a rate the analysis knows.
    std::fprintf(stderr, "soundfeed: source \"%s\" reports %d Hz; recording at %d Hz\n",
                 resolved.name.c_str(), rate, kFallbackRate);
    rate = kFallbackRate;
  }
  const pa_sample_spec spec{PA_SAMPLE_FLOAT32LE, static_cast<uint32_t>(rate), 2};
  // Small fragments: the levels follow the sound within a few milliseconds.
  pa_buffer_attr attributes{};
  attributes.maxlength = static_cast<uint32_t>(-1);
  attributes.fragsize = static_cast<uint32_t>(pa_frame_size(&spec) * (rate / kBlocksPerSecond));
  int code = 0;
  pa_simple* stream = pa_simple_new(nullptr, "soundfeed", PA_STREAM_RECORD, resolved.name.c_str(),
                                    "what the computer plays", &spec, nullptr, &attributes, &code);
  if (stream == nullptr) {
    error = "cannot record \"" + resolved.name + "\": " + Text(pa_strerror(code));
    return nullptr;
  }
  return std::make_unique<PulseDevice>(stream, rate, resolved.sink);
}

bool ListCaptureSources(std::vector<CaptureSourceEntry>& sources, std::string& error) {
  PulseQuery query;
  if (!query.Connect(error)) return false;
  if (!query.Finish(pa_context_get_source_info_list(query.context(), OnSourceListEntry, &sources))) {
    error = "the sound server did not list its sources";
    return false;
  }
  return true;
}

bool CaptureServerReachable() {
  PulseQuery query;
  std::string error;
  return query.Connect(error);
}

}  // namespace soundfeed
