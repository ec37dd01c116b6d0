// LUMOX.SCR's process entry.
#include "saver/command_line.h"
#include "saver_main.h"

// The saver's entry in the system's list of savers is found by this text.
[[gnu::used]] static const char kSaverSignature[] = "SCRNSAVE : QR Lumoxic";

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // The command line is read here rather than taken from the C runtime, so
  // that the program name is skipped exactly as the system's savers do.
  std::string_view arguments = lumox::SkipProgramName(GetCommandLineA());
  return lumox::win32::SaverMain(instance, arguments);
}
