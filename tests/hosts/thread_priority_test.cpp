#include "thread_priority.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "state/saver_options.h"

namespace lumox::host {
namespace {

int Nice(pid_t thread) { return getpriority(PRIO_PROCESS, static_cast<id_t>(thread)); }

// In a child process: nice values cannot be lowered again without
// privileges, and the test program must keep its own.
void IdleReachesEveryThreadAndTheRenderThreadGoesOneLower() {
  std::atomic<pid_t> otherThread{0};
  std::atomic<bool> done{false};
  std::thread other([&] {
    otherThread = gettid();
    while (!done) std::this_thread::yield();
  });
  while (otherThread == 0) std::this_thread::yield();
  ApplyProcessPriority(kPriorityIdle);
  bool idleEverywhere = Nice(gettid()) == kIdleNice && Nice(otherThread) == kIdleNice;
  LowerCallingThreadPriority();
  bool lowered = Nice(gettid()) == kIdleNice + 1 && Nice(otherThread) == kIdleNice;
  done = true;
  other.join();
  std::_Exit(idleEverywhere && lowered ? 0 : 1);
}

TEST(ThreadPriorityTest, IdleReachesEveryThreadAndTheRenderThreadGoesOneLower) {
  if (Nice(gettid()) >= kIdleNice) GTEST_SKIP() << "the tests already run at nice 10 or more";
  EXPECT_EXIT(IdleReachesEveryThreadAndTheRenderThreadGoesOneLower(),
              ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace lumox::host
