// Per-thread runtime state behind one TLS slot, the run-time error model (error numbers recorded
// in the procedure's frame and the thread's record, optional handlers), zero-filled memory blocks,
// and the range checks that record errors without stopping.
#pragma once
#include "frame.hpp"

// 40 bytes, zero-filled when created, reached only through the TLS slot.
struct ThreadState {
  uint32_t first_word;
  uint16_t last_error;      // error word of the most recent error_raise on this thread
  uint16_t error_extra;
  uint32_t owned_object;
  uint32_t words[5];
  uint32_t kernel_handle;   // closed with CloseHandle when the record is released
  uint32_t last_word;
};
static_assert(sizeof(ThreadState) == 40, "ThreadState is 40 bytes");
static_assert(offsetof(ThreadState, last_error) == 4, "ThreadState layout");
static_assert(offsetof(ThreadState, error_extra) == 6, "ThreadState layout");
static_assert(offsetof(ThreadState, owned_object) == 8, "ThreadState layout");
static_assert(offsetof(ThreadState, kernel_handle) == 32, "ThreadState layout");

// Zero-filled fixed memory. Failures are returned, not raised.
ErrorCode mem_alloc(uint32_t size, void** block);
ErrorCode mem_free(void* block);

// The calling thread's record, created on first use; 0 when it cannot be had (ERR_OUT_OF_MEMORY).
ThreadState* thread_state_get();
void thread_state_store(ThreadState* record);
ErrorCode thread_state_release();  // 0, or ERR_RELEASE_FAILED

// Recording errors on behalf of the application procedure that owns the frame.
int32_t error_raise(ProcedureFrame* frame, ErrorCode code);  // returns 0
void error_raise_number(ProcedureFrame* frame, int32_t n);
void error_raise_52(ProcedureFrame* frame);
void error_raise_illegal_call(ProcedureFrame* frame);  // 5
void error_raise_244(ProcedureFrame* frame);
void error_raise_overflow(ProcedureFrame* frame);      // 6
void error_raise_subscript(ProcedureFrame* frame);     // 9, recorded in the frame only
void error_raise_overflow_frame(ProcedureFrame* frame);  // 6, recorded in the frame only

// Dispatch: clears the pending flag and returns the handler to continue at, or 0 to go on.
// A procedure traps errors with ERROR_DISPATCH, which continues at the handler label itself.
void* error_dispatch(ProcedureFrame* frame);
#define ERROR_DISPATCH(frame)                          \
  do {                                                 \
    if (void* error_target_ = error_dispatch(&(frame))) \
      goto* error_target_;                             \
  } while (0)

ErrorCode error_last();
ErrorCode error_take(ProcedureFrame* frame);
uint16_t error_extra();

// Range checks: record the error in the frame when the value does not fit; never stop.
int32_t check_index(ProcedureFrame* frame, int32_t index, int32_t lower, int32_t upper);
void check_array_present(ProcedureFrame* frame, const void* array);
void check_byte(ProcedureFrame* frame, uint32_t value);
void check_byte16(ProcedureFrame* frame, uint16_t value);
void check_not_negative(ProcedureFrame* frame, int32_t value);
void check_int16(ProcedureFrame* frame, int32_t value);
void check_int16_positive(ProcedureFrame* frame, int32_t value);
void check_word(ProcedureFrame* frame, int32_t value);
