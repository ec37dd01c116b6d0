#include "headless_run.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "gfx/screen.h"
#include "platform/clock.h"
#include "png_writer.h"
#include "stop_signal.h"

namespace lumox::host {
namespace {

// mkdir -p.
bool MakeDirectories(const std::string& path) {
  for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    std::string part = path.substr(0, slash);
    if (!part.empty() && mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Makes a clock the process's clock for one scope.
class ClockInstallation {
 public:
  explicit ClockInstallation(Clock& clock) { InstallClock(&clock); }
  ~ClockInstallation() { InstallClock(nullptr); }
  ClockInstallation(const ClockInstallation&) = delete;
  ClockInstallation& operator=(const ClockInstallation&) = delete;
};

}  // namespace

int RunHeadless(const HostCommand& command, HeadlessScene& scene) {
  if (!MakeDirectories(command.outDir)) {
    std::fprintf(stderr, "lumox: cannot create the directory %s\n", command.outDir.c_str());
    return 1;
  }
  InstallStopSignals();
  ManualClock clock(command.seed);
  ClockInstallation installation(clock);
  auto screen = std::make_shared<gfx::Screen>(command.width, command.height);

  std::string error;
  if (!scene.Begin(screen, clock, error)) {
    std::fprintf(stderr, "lumox: %s\n", error.c_str());
    return 1;
  }
  std::vector<uint32_t> pixels(static_cast<size_t>(command.width) * command.height);
  int exitCode = 0;
  for (int frame = 1; frame <= command.frames; ++frame) {
    if (StopRequested()) {
      exitCode = 1;
      break;
    }
    scene.Frame();
    screen->Present(pixels.data(), command.width * 4);
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%04d.png", frame);
    if (!WritePng(command.outDir + name, pixels.data(), command.width, command.height,
                  command.width * 4, error)) {
      std::fprintf(stderr, "lumox: %s\n", error.c_str());
      exitCode = 1;
      break;
    }
  }
  scene.End();
  return exitCode;
}

}  // namespace lumox::host
