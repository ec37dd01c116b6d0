// The Linux implementations behind the process-wide accessors.
#include "platform/memory_registry.h"
#include "platform/memory_shared_memory.h"
#include "platform/platform_defaults.h"
#include "platform/posix/posix_system.h"

namespace lumox {

// FIXME: the file-backed registry and POSIX shared memory replace these
// in-memory stand-ins as soon as they exist.
RegistryStore& PlatformRegistry() {
  static MemoryRegistry registry;
  return registry;
}

SharedMemoryProvider& PlatformSharedMemoryProvider() {
  static MemorySharedMemoryProvider provider;
  return provider;
}

SystemServices& PlatformSystemServices() {
  static PosixSystemServices services;
  return services;
}

}  // namespace lumox
