// The Resizing application: its main procedure.
#include "app/constants.hpp"

int32_t app_main(HINSTANCE, uintptr_t, const char*, uint32_t) { return 0; }
