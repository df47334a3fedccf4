// Per-thread state, the run-time error model, zero-filled memory and range checks.
#include "threadstate.hpp"

#include "os.hpp"
#include "process.hpp"

ErrorCode mem_alloc(uint32_t size, void** block) {
  void* p = GlobalAlloc(GPTR, size);
  *block = p;
  return p ? ERR_NONE : ERR_OUT_OF_MEMORY;
}

ErrorCode mem_free(void* block) {
  return GlobalFree(block) == nullptr ? ERR_NONE : ERR_RELEASE_FAILED;
}

ThreadState* thread_state_get() {
  ThreadState* record = static_cast<ThreadState*>(TlsGetValue(process_state()->tls_index));
  if (record) return record;
  void* block;
  if (mem_alloc(sizeof(ThreadState), &block) != ERR_NONE) return nullptr;
  record = static_cast<ThreadState*>(block);
  thread_state_store(record);
  return record;
}

void thread_state_store(ThreadState* record) {
  TlsSetValue(process_state()->tls_index, record);
  // The count follows the value stored, not the call's result.
  process_state()->shared.live_records += record ? 1 : -1;
}

ErrorCode thread_state_release() {
  ThreadState* record = static_cast<ThreadState*>(TlsGetValue(process_state()->tls_index));
  if (!record) return ERR_NONE;
  if (record->kernel_handle) CloseHandle(reinterpret_cast<HANDLE>(static_cast<uintptr_t>(record->kernel_handle)));
  // The owned-object field has no kind of object in this runtime; nothing sets it, so there is
  // nothing to release for it.
  if (mem_free(record) != ERR_NONE) return ERR_RELEASE_FAILED;
  thread_state_store(nullptr);
  return ERR_NONE;
}

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

static void record_in_frame(ProcedureFrame* frame, ErrorCode code) {
  frame->error_word = ERROR_PENDING | code;
}
void error_raise_subscript(ProcedureFrame* frame) { record_in_frame(frame, ERR_SUBSCRIPT_OUT_OF_RANGE); }
void error_raise_overflow_frame(ProcedureFrame* frame) { record_in_frame(frame, ERR_OVERFLOW); }

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

int32_t check_index(ProcedureFrame* frame, int32_t index, int32_t lower, int32_t upper) {
  int32_t position = static_cast<int32_t>(static_cast<uint32_t>(index) - static_cast<uint32_t>(lower));
  if (index > upper || position < 0) record_in_frame(frame, ERR_SUBSCRIPT_OUT_OF_RANGE);
  return position;
}

void check_array_present(ProcedureFrame* frame, const void* array) {
  if (!array) record_in_frame(frame, ERR_SUBSCRIPT_OUT_OF_RANGE);
}

void check_byte(ProcedureFrame* frame, uint32_t value) {
  if (value & 0xFFFFFF00u) record_in_frame(frame, ERR_OVERFLOW);
}
void check_byte16(ProcedureFrame* frame, uint16_t value) {
  if (value & 0xFF00u) record_in_frame(frame, ERR_OVERFLOW);
}
void check_not_negative(ProcedureFrame* frame, int32_t value) {
  if (value < 0) record_in_frame(frame, ERR_OVERFLOW);
}
void check_int16(ProcedureFrame* frame, int32_t value) {
  if (value != static_cast<int16_t>(value)) record_in_frame(frame, ERR_OVERFLOW);
}
void check_int16_positive(ProcedureFrame* frame, int32_t value) {
  if (static_cast<uint32_t>(value) & 0xFFFF8000u) record_in_frame(frame, ERR_OVERFLOW);
}
void check_word(ProcedureFrame* frame, int32_t value) {
  if (static_cast<uint32_t>(value) & 0xFFFF0000u) record_in_frame(frame, ERR_OVERFLOW);
}
