#include "capture_thread.h"

#include <algorithm>
#include <cstdio>

namespace soundfeed {
namespace {

constexpr std::chrono::milliseconds kFirstRetry{250};
constexpr std::chrono::milliseconds kLongestRetry{2000};
// How often the thread asks the sound system what is playing.
constexpr std::chrono::seconds kInfoInterval{2};

// Keeps the newest `limit` samples of `buffer`.
void KeepNewest(std::vector<float>& buffer, size_t limit) {
  if (buffer.size() > limit) buffer.erase(buffer.begin(), buffer.end() - limit);
}

}  // namespace

CaptureThread::CaptureThread(Opener opener, bool quiet)
    : opener_(std::move(opener)), quiet_(quiet), lastSound_(Clock::now()) {
  thread_ = std::thread([this] { Run(); });
}

CaptureThread::~CaptureThread() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    stop_ = true;
  }
  wake_.notify_all();
  // A device read returns within its short wait and a query within its
  // timeout, even from a sound server that stopped answering, so the join
  // is prompt.
  thread_.join();
}

int CaptureThread::Take(std::vector<float>& left, std::vector<float>& right) {
  std::lock_guard<std::mutex> guard(lock_);
  left.swap(left_);
  right.swap(right_);
  left_.clear();
  right_.clear();
  return connected_ ? rate_ : 0;
}

CaptureThread::Clock::duration CaptureThread::SinceLastSound() const {
  std::lock_guard<std::mutex> guard(lock_);
  return Clock::now() - lastSound_;
}

TrackInfo CaptureThread::nowPlaying() const {
  std::lock_guard<std::mutex> guard(lock_);
  return nowPlaying_;
}

void CaptureThread::Report(const std::string& message) {
  if (message == lastMessage_) return;
  lastMessage_ = message;
  if (!quiet_) std::fprintf(stderr, "soundfeed: %s\n", message.c_str());
}

bool CaptureThread::Pause(std::chrono::milliseconds pause) {
  std::unique_lock<std::mutex> guard(lock_);
  return !wake_.wait_for(guard, pause, [this] { return stop_; });
}

void CaptureThread::Run() noexcept {
  std::chrono::milliseconds retry = kFirstRetry;
  for (;;) {
    {
      std::lock_guard<std::mutex> guard(lock_);
      if (stop_) return;
    }
    std::string error;
    std::unique_ptr<CaptureDevice> device = opener_(error);
    if (device != nullptr) {
      Report("capturing at " + std::to_string(device->sampleRate()) + " Hz");
      const Clock::time_point opened = Clock::now();
      ReadUntilLost(*device);
      device.reset();
      // A device that opens and fails at once must not make a busy loop.
      if (Clock::now() - opened > kLongestRetry) {
        retry = kFirstRetry;
        continue;
      }
    } else {
      Report(error + "; retrying");
    }
    if (!Pause(retry)) return;
    retry = std::min(retry * 2, kLongestRetry);
  }
}

void CaptureThread::ReadUntilLost(CaptureDevice& device) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    connected_ = true;
    rate_ = device.sampleRate();
    left_.clear();
    right_.clear();
  }
  std::vector<float> left, right;
  Clock::time_point nextInfo = Clock::now();
  std::string error;
  bool lost = false;
  while (!lost) {
    left.clear();
    right.clear();
    lost = !device.Read(left, right, error);
    TrackInfo info;
    const bool askInfo = !lost && Clock::now() >= nextInfo;
    if (askInfo) {
      info = device.NowPlaying();
      nextInfo = Clock::now() + kInfoInterval;
    }
    std::lock_guard<std::mutex> guard(lock_);
    if (stop_) break;
    if (!left.empty()) {
      left_.insert(left_.end(), left.begin(), left.end());
      right_.insert(right_.end(), right.begin(), right.end());
      KeepNewest(left_, static_cast<size_t>(rate_));
      KeepNewest(right_, static_cast<size_t>(rate_));
      lastSound_ = Clock::now();
    }
    if (askInfo) nowPlaying_ = info;
  }
  {
    std::lock_guard<std::mutex> guard(lock_);
    connected_ = false;
    nowPlaying_ = {};
  }
  if (lost) Report(error + "; waiting for it to come back");
}

}  // namespace soundfeed
