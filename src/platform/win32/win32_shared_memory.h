// Named file mappings behind SharedMemoryProvider.
#pragma once

#include "platform/shared_memory.h"

namespace lumox {

class Win32SharedMemoryProvider final : public SharedMemoryProvider {
 public:
  std::unique_ptr<SharedMemory> Open(const std::string& name, size_t size) override;
};

}  // namespace lumox
