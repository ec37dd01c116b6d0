// The named block's lifetime, for the in-process fake and the real
// provider alike: born zeroed, shared while held, gone with its last holder.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/memory_shared_memory.h"

#ifndef _WIN32
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/posix/posix_shared_memory.h"
#else
#include "platform/win32/win32_shared_memory.h"
#endif

namespace lumox {
namespace {

constexpr size_t kBlockSize = 782;

// A name no other test run uses at the same time.
std::string UniqueName() {
  static std::atomic<int> counter{0};
#ifndef _WIN32
  const long process = static_cast<long>(getpid());
#else
  const long process = 0;
#endif
  return "LumoxTest-" + std::to_string(process) + "-" + std::to_string(counter++);
}

bool AllZero(SharedMemory& block) {
  return std::all_of(block.data(), block.data() + block.size(), [](uint8_t b) { return b == 0; });
}

template <typename Provider>
class SharedMemoryTest : public ::testing::Test {
 protected:
  Provider provider_;
  std::string name_ = UniqueName();
};

#ifndef _WIN32
using ProviderTypes = ::testing::Types<MemorySharedMemoryProvider, PosixSharedMemoryProvider>;
#else
using ProviderTypes = ::testing::Types<MemorySharedMemoryProvider, Win32SharedMemoryProvider>;
#endif
TYPED_TEST_SUITE(SharedMemoryTest, ProviderTypes);

TYPED_TEST(SharedMemoryTest, SharedWhileHeldAndBornZeroedAgainAfterTheLastClose) {
  auto first = this->provider_.Open(this->name_, kBlockSize);
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->created() && first->size() == kBlockSize && AllZero(*first));
  first->data()[kBlockSize - 1] = 0x42;
  auto second = this->provider_.Open(this->name_, kBlockSize);
  ASSERT_NE(second, nullptr);
  EXPECT_FALSE(second->created());
  EXPECT_EQ(second->data()[kBlockSize - 1], 0x42);
  second->data()[1] = 0x77;
  EXPECT_EQ(first->data()[1], 0x77);
  first.reset();  // one holder left: the block lives on
  EXPECT_EQ(this->provider_.Open(this->name_, kBlockSize)->data()[1], 0x77);
  second.reset();
  auto reborn = this->provider_.Open(this->name_, kBlockSize);
  ASSERT_NE(reborn, nullptr);
  EXPECT_TRUE(reborn->created() && AllZero(*reborn));
}

// Every opener holds the block before anyone looks, and nobody closes
// before everyone has looked; later openers never zero what the creator
// wrote. (std::barrier hangs now and then in MinGW's library under Wine.)
TYPED_TEST(SharedMemoryTest, ExactlyOneOfManySimultaneousOpenersCreates) {
  constexpr int kOpeners = 4;
  auto meet = [](std::atomic<int>& arrived) {
    ++arrived;
    while (arrived.load() < kOpeners) std::this_thread::yield();
  };
  for (int round = 0; round < 20; ++round) {
    const std::string name = UniqueName();
    std::atomic<int> creators{0}, sawMark{0}, opened{0}, looked{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kOpeners; ++t) {
      threads.emplace_back([&] {
        auto block = this->provider_.Open(name, kBlockSize);
        if (block != nullptr && block->created()) {
          ++creators;
          std::atomic_ref<uint8_t>(block->data()[5]).store(0xAB);
        }
        meet(opened);
        sawMark += block != nullptr && std::atomic_ref<uint8_t>(block->data()[5]).load() == 0xAB;
        meet(looked);
      });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(creators.load(), 1) << "round " << round;
    EXPECT_EQ(sawMark.load(), kOpeners) << "round " << round;
  }
}

#ifndef _WIN32

// The POSIX provider keeps a small lock object per block name for good;
// remove the ones these tests made.
class RemoveLockObjects : public ::testing::Environment {
 public:
  void TearDown() override {
    const std::string prefix = "LumoxTest-" + std::to_string(getpid()) + "-";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/shm", error)) {
      const std::string name = entry.path().filename().string();
      if (name.starts_with(prefix)) shm_unlink(("/" + name).c_str());
    }
  }
};
const auto* const kRemoveLockObjects = ::testing::AddGlobalTestEnvironment(new RemoveLockObjects);

// A holder that dies leaves the object behind; the next opener still gets a
// fresh zeroed block.
TEST(PosixSharedMemoryTest, AHolderThatDiedLeavesNothingBehind) {
  const std::string name = UniqueName();
  const pid_t pid = fork();
  if (pid == 0) {
    auto mine = PosixSharedMemoryProvider().Open(name, kBlockSize);
    if (mine == nullptr || !mine->created()) _exit(1);
    std::fill(mine->data(), mine->data() + mine->size(), 0xFF);
    _exit(0);  // no clean close
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  auto reborn = PosixSharedMemoryProvider().Open(name, kBlockSize);
  ASSERT_NE(reborn, nullptr);
  EXPECT_TRUE(reborn->created() && AllZero(*reborn));
}

#endif

}  // namespace
}  // namespace lumox
