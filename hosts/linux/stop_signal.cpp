#include "stop_signal.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>

namespace lumox::host {
namespace {

std::atomic<int> gStopRequested{0};
static_assert(std::atomic<int>::is_always_lock_free, "the flag is written in a signal handler");
int gWakePipe[2] = {-1, -1};

void OnStopSignal(int) {
  gStopRequested.store(1, std::memory_order_relaxed);
  if (gWakePipe[1] >= 0) {
    char byte = 1;
    ssize_t ignored = write(gWakePipe[1], &byte, 1);
    (void)ignored;
  }
}

}  // namespace

void InstallStopSignals() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  if (pipe2(gWakePipe, O_CLOEXEC | O_NONBLOCK) != 0) gWakePipe[0] = gWakePipe[1] = -1;
  struct sigaction action = {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

bool StopRequested() { return gStopRequested.load(std::memory_order_relaxed) != 0; }

int WakeDescriptor() { return gWakePipe[0]; }

}  // namespace lumox::host
