// A thread that can be waited for with a time limit.
//
// The saver waits 2000 ms for each of its drawing threads to end. A thread
// that overruns is not killed (that would leave its locks and state
// undefined); it is detached and the fact is logged, and its owner keeps
// everything such a thread can still touch alive. The thread body runs
// behind a catch-all: an exception never leaves the thread.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace lumox {

constexpr uint32_t kThreadJoinTimeoutMs = 2000;

class TimedThread {
 public:
  TimedThread() = default;
  // A thread still running is detached, never terminated.
  ~TimedThread();
  TimedThread(const TimedThread&) = delete;
  TimedThread& operator=(const TimedThread&) = delete;

  // Starts `body` on a new thread; false if no thread could be made. `name`
  // appears in the log lines. An exception escaping `body` is logged and
  // then `onFault` runs on the thread.
  bool Start(std::string name, std::function<void()> body, std::function<void()> onFault = {});
  // Waits up to `timeoutMs` (real time) for the thread to end. True when it
  // ended (or never started); false when it was abandoned.
  bool Join(uint32_t timeoutMs);
  bool started() const { return thread_.joinable(); }

 private:
  struct Completion {
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
  };
  std::string name_;
  std::shared_ptr<Completion> completion_;
  std::thread thread_;
};

}  // namespace lumox
