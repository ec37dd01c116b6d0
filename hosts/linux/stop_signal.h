// SIGTERM, SIGINT and SIGHUP end a run cleanly.
//
// The handler only records the request and writes one byte to a pipe, both
// safe inside a signal handler. The main loop polls StopRequested() or
// waits on WakeDescriptor() (next to its display connection, or alone until
// the next refresh), then clears the run flag and joins the drawing threads
// as an ordinary close does.
#pragma once

namespace lumox::host {

// Installs the handlers (once per process).
void InstallStopSignals();
bool StopRequested();
// Readable once a stop was requested; -1 if the pipe could not be made.
int WakeDescriptor();

}  // namespace lumox::host
