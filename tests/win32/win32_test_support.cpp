#include "win32_test_support.h"

#include <vector>

namespace lumox::testing {

std::string WindowsPath(const std::string& unixPath) {
  if (unixPath.size() > 1 && unixPath[1] == ':') return unixPath;  // already a drive path
  std::string path = "Z:" + unixPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string SaverPath() { return WindowsPath(LUMOX_SCR_PATH); }

ChildProcess::~ChildProcess() {
  if (info_.hProcess) {
    Kill();
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
  }
}

// Every child goes into one job that ends its processes when the job's
// last handle closes: when the test program ends, however it ends, no
// saver it started is left running.
HANDLE ChildJob() {
  static HANDLE job = [] {
    HANDLE created = CreateJobObjectA(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (created) SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limits,
                                         sizeof(limits));
    return created;
  }();
  return job;
}

bool ChildProcess::Start(const std::string& program, const std::string& arguments) {
  std::string line = "\"" + program + "\" " + arguments;
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  if (!CreateProcessA(program.c_str(), buffer.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                      nullptr, nullptr, &startup, &info_)) {
    return false;
  }
  if (HANDLE job = ChildJob()) AssignProcessToJobObject(job, info_.hProcess);
  ResumeThread(info_.hThread);
  return true;
}

bool ChildProcess::Wait(uint32_t timeoutMs, DWORD& exitCode) {
  if (!info_.hProcess || WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) {
    return false;
  }
  GetExitCodeProcess(info_.hProcess, &exitCode);
  return true;
}

void ChildProcess::Kill() {
  DWORD code = 0;
  if (info_.hProcess && GetExitCodeProcess(info_.hProcess, &code) && code == STILL_ACTIVE) {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 5000);
  }
}

bool PumpUntil(const std::function<bool()>& done, uint32_t timeoutMs) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start >= timeoutMs) return false;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

}  // namespace lumox::testing
