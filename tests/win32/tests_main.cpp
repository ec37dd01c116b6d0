// The Win32 test program's entry: GoogleTest, or the part of a test that
// runs in a second process (started by the test with a child command).
#include <gtest/gtest.h>

#include <cstring>

#include "shared_block_child.h"

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], lumox::testing::kSharedBlockChildCommand) == 0) {
    return lumox::testing::SharedBlockChildMain(argc - 2, argv + 2);
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
