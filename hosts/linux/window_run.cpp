#include "window_run.h"

#include <cstdio>

namespace lumox::host {

SessionOptions PacedSessionOptions(const HostCommand& command,
                                   const std::shared_ptr<PresentBeat>& beat,
                                   std::chrono::nanoseconds refreshPeriod) {
  SessionOptions options;
  options.commandLine = SaverCommandLine(command);
  if (!command.unpaced) options.pacer = std::make_shared<RefreshPacer>(beat, refreshPeriod);
  return options;
}

bool CreateSession(SaverWindowSession& session) {
  if (session.Create()) return true;
  std::fprintf(stderr, "lumox: the saver cannot start: the shared sound block did not open\n");
  return false;
}

}  // namespace lumox::host
