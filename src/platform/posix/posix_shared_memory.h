// Named shared memory on Linux: POSIX shm objects ("/" + the block's name)
// mapped read/write, with the Windows lifetime emulated.
//
// A Windows mapping lives while some process holds a handle and is born
// zeroed. Here every holder keeps a shared flock on the object's descriptor.
// An opener that can take the lock exclusively is the only user, so the block
// counts as new: it is emptied and sized afresh (zeroed), and created() is
// true. The last holder to close removes the object; one left behind by a
// crashed process is zeroed by its next opener all the same.
//
// Opening and closing are serialised between processes by a second, empty
// object ("/" + name + ".lock") locked exclusively for the moment of the
// open or close, so no opener can see a half-initialised block or race the
// brief gap while a lock changes from exclusive to shared.
//
// An existing block smaller than asked for is mapped at its real size
// (size() tells) so the caller can detect the foreign layout; nothing is
// ever mapped beyond the object's end. When the block cannot be opened,
// Open returns null with errno set and has written nothing.
#pragma once

#include "platform/shared_memory.h"

namespace lumox {

class PosixSharedMemoryProvider final : public SharedMemoryProvider {
 public:
  std::unique_ptr<SharedMemory> Open(const std::string& name, size_t size) override;
};

}  // namespace lumox
