// The process-wide picture importer: the installed one if a test installed
// one, else the platform's own. Kept apart from accessors.cpp so that a
// program that never imports pictures does not need the platform's
// importer linked in.
#include <atomic>

#include "platform/picture_import.h"
#include "platform/platform_defaults.h"

namespace lumox {
namespace {

std::atomic<PictureImporter*> installedImporter{nullptr};

}  // namespace

void InstallPictureImporter(PictureImporter* importer) { installedImporter.store(importer); }

PictureImporter& CurrentPictureImporter() {
  PictureImporter* importer = installedImporter.load();
  return importer != nullptr ? *importer : PlatformPictureImporter();
}

}  // namespace lumox
