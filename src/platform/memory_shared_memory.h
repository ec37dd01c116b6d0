// Named shared memory inside one process, for tests.
//
// Behaves like the real providers: a block lives while at least one opener
// holds it, and a block opened with no other holder is new and zeroed. An
// opener asking for more than an existing block holds gets a view of the
// block's real size (size() tells), so callers can detect a foreign layout.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/shared_memory.h"

namespace lumox {

class MemorySharedMemoryProvider final : public SharedMemoryProvider {
 public:
  std::unique_ptr<SharedMemory> Open(const std::string& name, size_t size) override;

  // True while some opener holds the named block.
  bool IsOpen(const std::string& name);

 private:
  struct Block {
    std::vector<uint8_t> bytes;
  };
  class Handle;

  std::mutex mutex_;
  std::map<std::string, std::weak_ptr<Block>> blocks_;
};

}  // namespace lumox
