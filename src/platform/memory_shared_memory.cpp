#include "platform/memory_shared_memory.h"

#include <algorithm>

namespace lumox {

// One opener's hold on a block; the block dies with its last handle.
class MemorySharedMemoryProvider::Handle final : public SharedMemory {
 public:
  Handle(std::shared_ptr<Block> block, size_t size, bool created)
      : block_(std::move(block)), size_(size), created_(created) {}
  uint8_t* data() override { return block_->bytes.data(); }
  size_t size() const override { return size_; }
  bool created() const override { return created_; }

 private:
  std::shared_ptr<Block> block_;
  size_t size_;
  bool created_;
};

std::unique_ptr<SharedMemory> MemorySharedMemoryProvider::Open(const std::string& name,
                                                               size_t size) {
  if (size == 0) return nullptr;
  std::lock_guard lock(mutex_);
  std::shared_ptr<Block> block = blocks_[name].lock();
  if (block) {
    const size_t viewSize = std::min(size, block->bytes.size());
    return std::make_unique<Handle>(std::move(block), viewSize, false);
  }
  block = std::make_shared<Block>();
  block->bytes.assign(size, 0);
  blocks_[name] = block;
  return std::make_unique<Handle>(std::move(block), size, true);
}

bool MemorySharedMemoryProvider::IsOpen(const std::string& name) {
  std::lock_guard lock(mutex_);
  auto it = blocks_.find(name);
  return it != blocks_.end() && !it->second.expired();
}

}  // namespace lumox
