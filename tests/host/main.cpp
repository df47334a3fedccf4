// Host test program: the runtime's process state as start-up leaves it (a TLS slot, zeroed shared
// variables, the working control word), then every test.
#include <gtest/gtest.h>

#include "runtime/process.hpp"
#include "runtime/x87.hpp"

int main(int argc, char** argv) {
  host_os_reset();
  process_state()->tls_index = TlsAlloc();
  fpu_load_control_word(FPU_CONTROL_WORD);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
