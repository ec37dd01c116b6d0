#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/memory_registry.h"
#include "platform/memory_shared_memory.h"
#include "platform/recording_system.h"
#include "platform/registry_store.h"
#include "platform/shared_memory.h"
#include "platform/system.h"

namespace lumox {
namespace {

TEST(AccessorsTest, InstalledImplementationsReplaceThePlatformsUntilRemoved) {
  ManualClock clock(0xFFFFFFF0u);
  InstallClock(&clock);
  SleepMs(0x20);  // a manual clock's sleep moves its time, wrapping at 2^32
  EXPECT_EQ(TickCount(), 0x10u);
  InstallClock(nullptr);
  EXPECT_EQ(&CurrentClock(), &SystemClock());

  MemoryRegistry registry;
  InstallRegistry(&registry);
  EXPECT_EQ(&Registry(), &registry);
  InstallRegistry(nullptr);
  EXPECT_NE(&Registry(), &registry);

  MemorySharedMemoryProvider provider;
  InstallSharedMemoryProvider(&provider);
  EXPECT_EQ(&SharedMemoryProviderInstance(), &provider);
  InstallSharedMemoryProvider(nullptr);
  EXPECT_NE(&SharedMemoryProviderInstance(), &provider);

  RecordingSystemServices services;
  InstallSystemServices(&services);
  System().Beep();
  EXPECT_EQ(services.beeps(), 1);
  InstallSystemServices(nullptr);
  EXPECT_NE(&System(), &services);
}

TEST(SystemClockTest, SleepingMovesTheTickCountForward) {
  Clock& clock = SystemClock();
  const uint32_t before = clock.TickCount();
  clock.Sleep(20);
  const uint32_t elapsed = clock.TickCount() - before;  // unsigned: safe across the wrap
  EXPECT_GE(elapsed, 19u);
}

}  // namespace
}  // namespace lumox
