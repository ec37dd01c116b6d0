#include "saver/timed_thread.h"

#include <chrono>
#include <system_error>

#include "base/caught_failure.h"
#include "platform/system.h"

namespace lumox {

TimedThread::~TimedThread() {
  if (thread_.joinable()) thread_.detach();
}

bool TimedThread::Start(std::string name, std::function<void()> body,
                        std::function<void()> onFault) {
  if (thread_.joinable()) return false;
  name_ = std::move(name);
  auto completion = std::make_shared<Completion>();
  try {
    thread_ = std::thread([completion, threadName = name_, body = std::move(body),
                           onFault = std::move(onFault)]() noexcept {
      try {
        body();
      } catch (...) {
        System().DebugOutput(threadName + " thread failed" + CaughtFailureDetail());
        if (onFault) onFault();
      }
      std::lock_guard lock(completion->mutex);
      completion->done = true;
      completion->ended.notify_all();
    });
  } catch (const std::system_error&) {
    System().DebugOutput("Could not start the " + name_ + " thread");
    return false;
  }
  completion_ = std::move(completion);
  return true;
}

bool TimedThread::Join(uint32_t timeoutMs) {
  if (!thread_.joinable()) return true;
  bool ended;
  {
    std::unique_lock lock(completion_->mutex);
    ended = completion_->ended.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                        [&] { return completion_->done; });
  }
  if (ended) {
    thread_.join();
    return true;
  }
  System().DebugOutput("The " + name_ + " thread did not end within " +
                       std::to_string(timeoutMs) + " ms and was abandoned");
  thread_.detach();
  return false;
}

}  // namespace lumox
