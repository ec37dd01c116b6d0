// Named shared memory between processes.
//
// A block lives while at least one process holds it open and is born
// zeroed. Opening tells whether this opener created the block (or found it
// with no other user, which counts the same).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace lumox {

class SharedMemory {
 public:
  virtual ~SharedMemory() = default;
  virtual uint8_t* data() = 0;
  virtual size_t size() const = 0;
  // True when this opener made the block: it holds zeros.
  virtual bool created() const = 0;
};

class SharedMemoryProvider {
 public:
  virtual ~SharedMemoryProvider() = default;
  // Opens or creates the named block of the given size; null on failure.
  virtual std::unique_ptr<SharedMemory> Open(const std::string& name, size_t size) = 0;
};

// The process-wide provider: the platform's real one unless another was
// installed (tests install an in-process one).
void InstallSharedMemoryProvider(SharedMemoryProvider* provider);
SharedMemoryProvider& SharedMemoryProviderInstance();

}  // namespace lumox
