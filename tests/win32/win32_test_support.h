// Helpers the Win32 tests share: paths of the programs under test, child
// processes, and a message pump.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

namespace lumox::testing {

// A path of the build machine as Wine sees it (drive Z: is the root).
std::string WindowsPath(const std::string& unixPath);

// LUMOX.SCR of this build.
std::string SaverPath();

// A running child process, ended when this object goes (whatever path a
// test takes out) or at the latest with the test program.
class ChildProcess {
 public:
  ~ChildProcess();
  // Starts "program arguments"; false when it could not be started.
  bool Start(const std::string& program, const std::string& arguments);
  // Waits up to timeoutMs; true with the exit code when it ended.
  bool Wait(uint32_t timeoutMs, DWORD& exitCode);
  void Kill();
  DWORD id() const { return info_.dwProcessId; }

 private:
  PROCESS_INFORMATION info_{};
};

// Dispatches this thread's messages until `done` is true or the time is up;
// returns `done()`.
bool PumpUntil(const std::function<bool()>& done, uint32_t timeoutMs);

}  // namespace lumox::testing
