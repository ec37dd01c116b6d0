// The "Priority" option on Linux.
//
// The option names a Windows process priority class: 128 high, 32 normal,
// 64 idle. Linux keeps a nice value per thread, and raising a priority
// (lowering nice) needs privileges a screen saver should not have. So idle
// moves every thread of the process to nice 10, while normal and high
// stay at (or ask to go back to) nice 0. The render thread then goes one
// step below that, as it runs below normal on Windows.
#pragma once

#include <cstdint>

namespace lumox::host {

constexpr int kIdleNice = 10;

// Applies the class to every thread that exists now; threads made later
// inherit their creator's value.
void ApplyProcessPriority(int32_t priorityClass);
// One nice step below the calling thread's present value (at most 19).
void LowerCallingThreadPriority();

}  // namespace lumox::host
