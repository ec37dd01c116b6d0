// Capture through the sound server's client library: a record stream on
// the default output's monitor (or a named source), and short queries for
// the source list and for what is playing. Everything runs on a main loop
// driven by hand with deadlines, so a server that stops answering (a
// stopped process keeps its connection open) never holds a read or a query
// longer than its wait. Desktops running the newer media server offer the
// same protocol, so this serves them too.
#include <pulse/pulseaudio.h>

#include <chrono>
#include <cstdio>
#include <cstring>

#include "capture_device.h"

namespace soundfeed {
namespace {

using Clock = std::chrono::steady_clock;

// A query must not hang the capture thread on a server that stopped
// answering.
constexpr std::chrono::milliseconds kQueryTimeout{1500};
// The record stream delivers 20 ms blocks; a read waits a little longer
// than one for the next.
constexpr int kBlocksPerSecond = 50;
constexpr std::chrono::milliseconds kReadWait{50};
constexpr size_t kFrameBytes = 2 * sizeof(float);  // interleaved stereo
constexpr int kFallbackRate = 48000;
constexpr int kLowestRate = 8000;
constexpr int kHighestRate = 192000;

std::string Text(const char* text) { return text != nullptr ? text : ""; }

// One connection and its main loop, driven by hand with deadlines.
class PulseConnection {
 public:
  PulseConnection() : loop_(pa_mainloop_new()) {}
  ~PulseConnection() {
    if (context_ != nullptr) {
      pa_context_disconnect(context_);
      pa_context_unref(context_);
    }
    if (loop_ != nullptr) pa_mainloop_free(loop_);
  }
  PulseConnection(const PulseConnection&) = delete;
  PulseConnection& operator=(const PulseConnection&) = delete;

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
      if (Iterate(deadline) != Step::kRan) {
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
      if (Iterate(deadline) != Step::kRan) {
        pa_operation_cancel(operation);
        done = false;
        break;
      }
    }
    pa_operation_unref(operation);
    return done && pa_context_get_state(context_) == PA_CONTEXT_READY;
  }

  // One turn of the loop: waits until the server has something for us or
  // the deadline passes, and runs the callbacks that became due.
  enum class Step { kRan, kTimedOut, kFailed };
  Step Iterate(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
    if (left.count() <= 0) return Step::kTimedOut;
    if (pa_mainloop_prepare(loop_, static_cast<int>(left.count())) < 0) return Step::kFailed;
    if (pa_mainloop_poll(loop_) < 0) return Step::kFailed;
    return pa_mainloop_dispatch(loop_) >= 0 ? Step::kRan : Step::kFailed;
  }

  std::string LastError() const { return Text(pa_strerror(pa_context_errno(context_))); }

 private:
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

bool Resolve(PulseConnection& query, const std::string& wanted, ResolvedSource& source,
             std::string& error) {
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

// The record stream, on a connection of its own.
class PulseDevice final : public CaptureDevice {
 public:
  PulseDevice(std::unique_ptr<PulseConnection> connection, pa_stream* stream, int rate,
              uint32_t sink)
      : connection_(std::move(connection)), stream_(stream), rate_(rate), sink_(sink) {}
  ~PulseDevice() override {
    pa_stream_disconnect(stream_);
    pa_stream_unref(stream_);
  }
  PulseDevice(const PulseDevice&) = delete;
  PulseDevice& operator=(const PulseDevice&) = delete;
  int sampleRate() const override { return rate_; }

  bool Connect(const std::string& source, const pa_buffer_attr& attributes, std::string& error) {
    const Clock::time_point deadline = Clock::now() + kQueryTimeout;
    const pa_stream_flags_t flags = PA_STREAM_ADJUST_LATENCY;
    if (pa_stream_connect_record(stream_, source.c_str(), &attributes, flags) == 0) {
      while (PA_STREAM_IS_GOOD(pa_stream_get_state(stream_))) {
        if (pa_stream_get_state(stream_) == PA_STREAM_READY) return true;
        if (connection_->Iterate(deadline) != PulseConnection::Step::kRan) break;
      }
    }
    error = "cannot record \"" + source + "\": " + connection_->LastError();
    return false;
  }

  // Nothing within the wait is no sound, not a loss: a stopped server may
  // come back, and the levels fall silent meanwhile.
  bool Read(std::vector<float>& left, std::vector<float>& right, std::string& error) override {
    const Clock::time_point deadline = Clock::now() + kReadWait;
    for (;;) {
      if (pa_stream_get_state(stream_) != PA_STREAM_READY) {
        error = "the recording ended (" + connection_->LastError() + ")";
        return false;
      }
      if (TakeRecorded(left, right)) return true;
      switch (connection_->Iterate(deadline)) {
        case PulseConnection::Step::kRan:
          break;
        case PulseConnection::Step::kTimedOut:
          return true;
        case PulseConnection::Step::kFailed:
          error = "the recording ended (the connection failed)";
          return false;
      }
    }
  }

  TrackInfo NowPlaying() override {
    PlayingStreams playing{sink_, {}};
    connection_->Finish(
        pa_context_get_sink_input_info_list(connection_->context(), OnSinkInputInfo, &playing));
    return playing.info;
  }

 private:
  // Appends every fragment the stream holds; false when it holds none.
  bool TakeRecorded(std::vector<float>& left, std::vector<float>& right) {
    bool took = false;
    for (;;) {
      const size_t readable = pa_stream_readable_size(stream_);
      if (readable == 0 || readable == static_cast<size_t>(-1)) return took;
      const void* data = nullptr;
      size_t bytes = 0;
      if (pa_stream_peek(stream_, &data, &bytes) < 0 || bytes == 0) return took;
      // Null data is a hole in the recording: dropped, nothing to add.
      if (data != nullptr) Append(static_cast<const uint8_t*>(data), bytes, left, right);
      pa_stream_drop(stream_);
      took = true;
    }
  }

  // A fragment may end inside a frame; its bytes wait for the next one.
  void Append(const uint8_t* data, size_t bytes, std::vector<float>& left,
              std::vector<float>& right) {
    partial_.insert(partial_.end(), data, data + bytes);
    const size_t frames = partial_.size() / kFrameBytes;
    for (size_t i = 0; i < frames; ++i) {
      float frame[2];
      std::memcpy(frame, &partial_[i * kFrameBytes], kFrameBytes);
      left.push_back(frame[0]);
      right.push_back(frame[1]);
    }
    const auto used = static_cast<std::ptrdiff_t>(frames * kFrameBytes);
    partial_.erase(partial_.begin(), partial_.begin() + used);
  }

  std::unique_ptr<PulseConnection> connection_;
  pa_stream* stream_;
  int rate_;
  uint32_t sink_;
  std::vector<uint8_t> partial_;
};

}  // namespace

std::unique_ptr<CaptureDevice> OpenCaptureDevice(const std::string& source, std::string& error) {
  auto connection = std::make_unique<PulseConnection>();
  if (!connection->Connect(error)) return nullptr;
  ResolvedSource resolved;
  if (!Resolve(*connection, source, resolved, error)) return nullptr;
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
  attributes.maxlength = attributes.tlength = attributes.prebuf = attributes.minreq =
      static_cast<uint32_t>(-1);
  attributes.fragsize = static_cast<uint32_t>(pa_frame_size(&spec) * (rate / kBlocksPerSecond));
  pa_stream* stream =
      pa_stream_new(connection->context(), "what the computer plays", &spec, nullptr);
  if (stream == nullptr) {
    error = "cannot record \"" + resolved.name + "\": " + connection->LastError();
    return nullptr;
  }
  auto device = std::make_unique<PulseDevice>(std::move(connection), stream, rate, resolved.sink);
  if (!device->Connect(resolved.name, attributes, error)) return nullptr;
  return device;
}

bool ListCaptureSources(std::vector<CaptureSourceEntry>& sources, std::string& error) {
  PulseConnection query;
  if (!query.Connect(error)) return false;
  if (!query.Finish(pa_context_get_source_info_list(query.context(), OnSourceListEntry, &sources))) {
    error = "the sound server did not list its sources";
    return false;
  }
  return true;
}

bool CaptureServerReachable() {
  PulseConnection query;
  std::string error;
  return query.Connect(error);
}

}  // namespace soundfeed
