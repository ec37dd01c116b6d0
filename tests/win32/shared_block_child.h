// The second process of the shared-block tests.
#pragma once

namespace lumox::testing {

constexpr const char* kSharedBlockChildCommand = "--shared-block-child";

// Arguments: the block name and "check-and-answer": expects the parent's
// pattern in an existing block, writes the answer, and exits 0 when all went
// well (other codes say what went wrong).
int SharedBlockChildMain(int argc, char** argv);

}  // namespace lumox::testing
