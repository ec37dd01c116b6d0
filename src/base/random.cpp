#include "base/random.h"

#include "base/relaxed.h"

namespace lumox {
namespace {
Relaxed<uint32_t> gState{1};
}

void SeedRandom(uint32_t seed) { gState = seed; }

int32_t Rand() {
  const uint32_t next = gState.load() * 214013u + 2531011u;
  gState = next;
  return static_cast<int32_t>((next >> 16) & 0x7FFF);
}

uint32_t RandomState() { return gState; }

}  // namespace lumox
