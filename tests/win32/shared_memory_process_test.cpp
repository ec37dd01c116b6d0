// The named file mapping behind SharedMemoryProvider, seen from two
// processes: the sound player and the saver are separate programs that meet
// only in the block.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/win32/win32_shared_memory.h"
#include "shared_block_child.h"
#include "win32_test_support.h"

namespace lumox::testing {

namespace {

constexpr size_t kBlockSize = 782;  // the sound block's size
constexpr uint8_t kParentPattern = 0x5A;
constexpr uint8_t kChildAnswer = 0xC3;
constexpr uint32_t kChildTimeoutMs = 30000;

std::string BlockName(const char* test) {
  return "LumoxTestBlock-" + std::to_string(GetCurrentProcessId()) + "-" + test;
}

}  // namespace

int SharedBlockChildMain(int argc, char** argv) {
  if (argc < 2) return 100;
  Win32SharedMemoryProvider provider;
  auto block = provider.Open(argv[0], kBlockSize);
  if (!block) return 101;
  if (std::strcmp(argv[1], "check-and-answer") == 0) {
    if (block->created()) return 102;  // the parent's block must be found, not made
    for (size_t i = 0; i < kBlockSize; ++i) {
      if (block->data()[i] != static_cast<uint8_t>(kParentPattern + i)) return 103;
    }
    block->data()[kBlockSize - 1] = kChildAnswer;
    return 0;
  }
  return 104;
}

namespace {

TEST(SharedBlockBetweenProcesses, ASecondProcessFindsTheBlockByItsNameAndItsWritesComeBack) {
  const std::string name = BlockName("exchange");
  Win32SharedMemoryProvider provider;
  auto block = provider.Open(name, kBlockSize);
  ASSERT_NE(block, nullptr);
  EXPECT_TRUE(block->created());
  ASSERT_GE(block->size(), kBlockSize);
  for (size_t i = 0; i < kBlockSize; ++i) {
    EXPECT_EQ(block->data()[i], 0u) << "a new block is born zeroed";
    block->data()[i] = static_cast<uint8_t>(kParentPattern + i);
  }

  // The child must find this block; under a name nobody holds it makes a
  // new one and says so (102).
  for (auto [blockName, expectedExit] : {std::pair{name, 0u}, {BlockName("absent"), 102u}}) {
    ChildProcess child;
    ASSERT_TRUE(child.Start(SelfPath(), std::string(kSharedBlockChildCommand) + " " + blockName +
                                            " check-and-answer"));
    DWORD exitCode = 999;
    ASSERT_TRUE(child.Wait(kChildTimeoutMs, exitCode));
    EXPECT_EQ(exitCode, expectedExit) << blockName;
  }
  EXPECT_EQ(block->data()[kBlockSize - 1], kChildAnswer);
}

TEST(SharedBlockBetweenProcesses, TheBlockDiesWithItsLastHolder) {
  const std::string name = BlockName("lifetime");
  Win32SharedMemoryProvider provider;
  {
    auto first = provider.Open(name, kBlockSize);
    ASSERT_NE(first, nullptr);
    first->data()[0] = 7;
    auto second = provider.Open(name, kBlockSize);
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(second->created());
    EXPECT_EQ(second->data()[0], 7);
  }
  auto reborn = provider.Open(name, kBlockSize);
  ASSERT_NE(reborn, nullptr);
  EXPECT_TRUE(reborn->created());
  EXPECT_EQ(reborn->data()[0], 0);
}

}  // namespace
}  // namespace lumox::testing
