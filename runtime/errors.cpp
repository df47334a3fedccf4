// The run-time error model: raising into the frame and the thread's record, dispatching to a
// procedure's handler, and reading the thread's last error.
#include "dialogkit/runtime/errors.hpp"

#include "runtime/threadstate.hpp"

int32_t error_raise(ProcedureFrame* frame, ErrorCode code) {
  uint16_t word = code ? static_cast<uint16_t>(ERROR_PENDING | code)
                       : static_cast<uint16_t>(ERROR_PENDING | ERR_INTERNAL);
  frame->error_word = word;
  if (ThreadState* record = thread_state_get()) {
    record->last_error = word;
    record->error_extra = 0;
  }
  return 0;
}

void error_raise_number(ProcedureFrame* frame, int32_t n) {
  error_raise(frame, n < 1 || n > 255 ? ErrorCode{ERR_ILLEGAL_FUNCTION_CALL} : static_cast<ErrorCode>(n));
}

void error_raise_52(ProcedureFrame* frame) { error_raise(frame, 52); }
void error_raise_illegal_call(ProcedureFrame* frame) { error_raise(frame, ERR_ILLEGAL_FUNCTION_CALL); }
void error_raise_244(ProcedureFrame* frame) { error_raise(frame, 244); }
void error_raise_overflow(ProcedureFrame* frame) { error_raise(frame, ERR_OVERFLOW); }

void* error_dispatch(ProcedureFrame* frame) {
  if (!(frame->error_word & ERROR_PENDING)) return nullptr;
  frame->error_word &= ~static_cast<uint32_t>(ERROR_PENDING);
  if (!frame->error_handler) return nullptr;
  frame->error_word |= ERROR_IN_HANDLER;
  return frame->error_handler;
}

ErrorCode error_last() {
  ThreadState* record = thread_state_get();
  return record ? static_cast<ErrorCode>(record->last_error & 0xFF) : ErrorCode{ERR_OUT_OF_MEMORY};
}

ErrorCode error_take(ProcedureFrame* frame) {
  frame->error_word = 0;
  ThreadState* record = thread_state_get();
  if (!record) return ERR_OUT_OF_MEMORY;
  // The last error word and error_extra together, read and cleared in one exchange.
  uint32_t* both = reinterpret_cast<uint32_t*>(&record->last_error);
  uint32_t old = __atomic_exchange_n(both, 0u, __ATOMIC_SEQ_CST);
  return static_cast<ErrorCode>(old & 0xFF);
}

uint16_t error_extra() {
  ThreadState* record = thread_state_get();
  return record ? record->error_extra : uint16_t{ERR_OUT_OF_MEMORY};
}
