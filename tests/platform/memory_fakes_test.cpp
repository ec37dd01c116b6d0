#include <gtest/gtest.h>

#include "platform/memory_shared_memory.h"
#include "platform/recording_system.h"

namespace lumox {
namespace {

TEST(RecordingSystemServicesTest, AnswersFromTheScriptThenTheDefault) {
  RecordingSystemServices system;
  system.QueueAnswer(true);
  system.QueueAnswer(false);
  EXPECT_TRUE(system.AskYesNo("Settings by this name already exist!", "first"));
  EXPECT_FALSE(system.AskYesNo("t", "second"));
  EXPECT_FALSE(system.AskYesNo("t", "third"));
  system.SetDefaultAnswer(true);
  EXPECT_TRUE(system.AskYesNo("t", "fourth"));
  const auto questions = system.questions();
  ASSERT_EQ(questions.size(), 4u);
  EXPECT_EQ(questions[0].title, "Settings by this name already exist!");
  EXPECT_EQ(questions[3].text, "fourth");
}

TEST(MemorySharedMemoryProviderTest, BlockOutlivesTheProviderWhileHeld) {
  std::unique_ptr<SharedMemory> block;
  {
    MemorySharedMemoryProvider provider;
    block = provider.Open("Block", 16);
    EXPECT_TRUE(provider.IsOpen("Block"));
    EXPECT_EQ(provider.Open("Other", 0), nullptr);
  }
  block->data()[15] = 1;  // still valid memory
  EXPECT_EQ(block->size(), 16u);
}

}  // namespace
}  // namespace lumox
