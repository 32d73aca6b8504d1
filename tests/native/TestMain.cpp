// Runs the window-free tests in a temporary folder of the run's own.
#include <gtest/gtest.h>

#include "tests/native/RunFolder.h"

int main(int argc, char** argv) {
  const RunFolder folder;
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
