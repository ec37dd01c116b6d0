// The platform's own implementations behind the process-wide accessors
// (Registry(), SharedMemoryProviderInstance(), System(), SystemClock(),
// CurrentPictureImporter()).
// Each platform directory (posix/, win32/) defines these; they are created
// on first use and live until the process ends.
#pragma once

#include "platform/picture_import.h"
#include "platform/registry_store.h"
#include "platform/shared_memory.h"
#include "platform/system.h"

namespace lumox {

RegistryStore& PlatformRegistry();
SharedMemoryProvider& PlatformSharedMemoryProvider();
SystemServices& PlatformSystemServices();
PictureImporter& PlatformPictureImporter();

}  // namespace lumox
