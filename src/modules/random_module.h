// The Random module's memory that outlives its runs: the user's selection,
// taken at the module's first change in the process, and the number of
// saved displays it has learned.
#pragma once

namespace lumox {

// Forgets both, so the next change behaves as the first of a process
// (tests run many "processes" in one).
void ForgetRandomModuleState();

}  // namespace lumox
