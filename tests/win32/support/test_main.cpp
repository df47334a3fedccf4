// Windows test programs: the runtime's process state as start-up leaves it, then every test.
#include <gtest/gtest.h>

#include "runtime/startup_steps.hpp"
#include "tests/win32/support/test_support.hpp"

int main(int argc, char** argv) {
  if (startup_open() != 0) return 255;
  runtime_reset();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
