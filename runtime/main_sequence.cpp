// The main sequence: reset the runtime's shared state, call the application's main procedure.
// Kept apart so that programs without app_main (tests, fuzz targets) can use the rest of start-up.
#include "dialogkit/runtime/startup.hpp"
#include "runtime/startup_steps.hpp"

#include "dialogkit/runtime/frame.hpp"
#include "runtime/process.hpp"

void main_sequence() {
  ProcessState* state = process_state();
  if (state->entry_reason == 1) runtime_reset();
  ProcedureFrame frame = {};
  frame.result = app_main(state->instance, 0, state->command_tail, state->show_state);
  (void)frame;  // the frame and the main procedure's result are dropped
}
