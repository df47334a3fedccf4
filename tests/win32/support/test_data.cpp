// The data image and main procedure of test programs that have none of their own: an empty
// constants area, and a main procedure that is never called (the tests run from main). Test
// programs linked with the application's sources use the application's instead.
#include "dialogkit/runtime/data_image.hpp"
#include "dialogkit/runtime/startup.hpp"

struct TestConstants {
  unsigned char bytes[DATA_CONSTANTS_SIZE];
};
RUNTIME_DATA_SECTION(TestConstants, {});

int32_t app_main(HINSTANCE, uintptr_t, const char*, uint32_t) { return 0; }
