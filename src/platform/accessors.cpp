// The process-wide registry, shared memory and system services: the
// installed one if a test or host installed one, else the platform's own.
// The installed pointers are atomic so a test may install while threads that
// outlive it are still reading.
#include <atomic>

#include "platform/platform_defaults.h"

namespace lumox {
namespace {

std::atomic<RegistryStore*> installedRegistry{nullptr};
std::atomic<SharedMemoryProvider*> installedSharedMemory{nullptr};
std::atomic<SystemServices*> installedServices{nullptr};

}  // namespace

void InstallRegistry(RegistryStore* store) { installedRegistry.store(store); }

RegistryStore& Registry() {
  RegistryStore* store = installedRegistry.load();
  return store != nullptr ? *store : PlatformRegistry();
}

void InstallSharedMemoryProvider(SharedMemoryProvider* provider) {
  installedSharedMemory.store(provider);
}

SharedMemoryProvider& SharedMemoryProviderInstance() {
  SharedMemoryProvider* provider = installedSharedMemory.load();
  return provider != nullptr ? *provider : PlatformSharedMemoryProvider();
}

void InstallSystemServices(SystemServices* services) { installedServices.store(services); }

SystemServices& System() {
  SystemServices* services = installedServices.load();
  return services != nullptr ? *services : PlatformSystemServices();
}

}  // namespace lumox
