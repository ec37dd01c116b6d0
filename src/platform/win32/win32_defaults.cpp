// The Windows implementations behind the process-wide accessors.
#include "platform/platform_defaults.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shared_memory.h"
#include "platform/win32/win32_system.h"

namespace lumox {

RegistryStore& PlatformRegistry() {
  static Win32Registry registry;
  return registry;
}

SharedMemoryProvider& PlatformSharedMemoryProvider() {
  static Win32SharedMemoryProvider provider;
  return provider;
}

SystemServices& PlatformSystemServices() {
  static Win32SystemServices services;
  return services;
}

}  // namespace lumox
