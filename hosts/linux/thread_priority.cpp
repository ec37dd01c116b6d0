#include "thread_priority.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "state/saver_options.h"

namespace lumox::host {

void ApplyProcessPriority(int32_t priorityClass) {
  const int nice = priorityClass == kPriorityIdle ? kIdleNice : 0;
  std::error_code error;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
    const id_t thread = static_cast<id_t>(std::strtoul(task.path().filename().c_str(), nullptr, 10));
    // Going back up from idle fails without privileges; the thread then
    // simply stays where it is.
    if (thread != 0) setpriority(PRIO_PROCESS, thread, nice);
  }
}

void LowerCallingThreadPriority() {
  const id_t self = static_cast<id_t>(gettid());
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, self);
  if (nice == -1 && errno != 0) return;
  setpriority(PRIO_PROCESS, self, std::min(nice + 1, 19));
}

}  // namespace lumox::host
