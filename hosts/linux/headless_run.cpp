#include "headless_run.h"

#include <sys/stat.h>

#include <algorithm>
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
  for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
    std::string part = path.substr(0, slash);
    if (!part.empty() && mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Makes the installed clock the process's clock for one scope.
class ClockInstallation {
 public:
  explicit ClockInstallation(Clock& clock) { InstallClock(&clock); }
  ~ClockInstallation() { InstallClock(nullptr); }
  ClockInstallation(const ClockInstallation&) = delete;
  ClockInstallation& operator=(const ClockInstallation&) = delete;
};

// Deadlines compare as unsigned 32-bit numbers, as the tick count wraps.
bool Due(uint32_t deadline, uint32_t now) { return static_cast<int32_t>(now - deadline) >= 0; }

}  // namespace

uint32_t VirtualFrameTime(uint32_t start, uint32_t frame) {
  return start + static_cast<uint32_t>(static_cast<uint64_t>(frame) * 1000 / 60);
}

int RunHeadless(const HostCommand& command, HeadlessScene& scene) {
  if (!MakeDirectories(command.outDir)) {
    std::fprintf(stderr, "lumox: cannot create the directory %s\n", command.outDir.c_str());
    return 1;
  }
  ManualClock clock(command.seed);
  ClockInstallation installation(clock);
  gfx::Screen screen(command.width, command.height);

  std::string error;
  if (!scene.Begin(screen, error)) {
    std::fprintf(stderr, "lumox: %s\n", error.c_str());
    return 1;
  }
  const uint32_t start = clock.TickCount();
  uint32_t nextPalette = start;
  std::vector<uint32_t> pixels(static_cast<size_t>(command.width) * command.height);
  int exitCode = 0;

  for (int frame = 1; frame <= command.frames && !StopRequested(); ++frame) {
    // Drawing code may have slept past the frame's slot; time never goes back.
    uint32_t frameTime = VirtualFrameTime(start, static_cast<uint32_t>(frame));
    if (!Due(frameTime, clock.TickCount())) clock.Set(frameTime);
    while (Due(nextPalette, clock.TickCount())) {
      scene.PaletteStep();
      nextPalette += std::max<uint32_t>(1, scene.PaletteInterval());
    }
    scene.Frame();

    screen.Present(pixels.data(), command.width * 4);
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
