// The Linux implementations behind the process-wide accessors.
#include "platform/platform_defaults.h"
#include "platform/posix/file_registry.h"
#include "platform/posix/posix_shared_memory.h"
#include "platform/posix/posix_system.h"

namespace lumox {

// The user's registry file, located once on first use.
RegistryStore& PlatformRegistry() {
  static FileRegistry registry(DefaultRegistryPath());
  return registry;
}

SharedMemoryProvider& PlatformSharedMemoryProvider() {
  static PosixSharedMemoryProvider provider;
  return provider;
}

SystemServices& PlatformSystemServices() {
  static PosixSystemServices services;
  return services;
}

}  // namespace lumox
