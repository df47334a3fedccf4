// Windows test programs: the runtime's process state as start-up leaves it, then every test.
#include <gtest/gtest.h>

#include "runtime/startup.hpp"
#include "tests/win32/support/test_support.hpp"

// The test programs' data image: an empty constants area.
struct TestConstants {
  unsigned char bytes[DATA_CONSTANTS_SIZE];
};
RUNTIME_DATA_SECTION(TestConstants, {});

// Never called: the test programs run their tests from main.
int32_t app_main(HINSTANCE, uintptr_t, const char*, uint32_t) { return 0; }

int main(int argc, char** argv) {
  if (startup_open() != 0) return 255;
  runtime_reset();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
