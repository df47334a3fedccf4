// Per-thread runtime state: one 40-byte record per thread behind one TLS slot, created on first
// use and released at the thread's end.
#pragma once
#include "dialogkit/runtime/frame.hpp"

// 40 bytes, zero-filled when created, reached only through the TLS slot. The fields marked
// "layout" are there because the record's layout reserves them: nothing reads or writes them.
struct ThreadState {
  uint32_t first_word;      // layout
  uint16_t last_error;      // error word of the most recent error_raise on this thread
  uint16_t error_extra;     // written 0 by every error_raise; read by error_extra()
  uint32_t owned_object;    // layout: nothing sets it, so a release has nothing to release for it
  uint32_t words[5];        // layout
  uint32_t kernel_handle;   // closed with CloseHandle when the record is released; nothing sets it
  uint32_t last_word;       // layout
};
static_assert(sizeof(ThreadState) == 40, "ThreadState is 40 bytes");
static_assert(offsetof(ThreadState, last_error) == 4, "ThreadState layout");
static_assert(offsetof(ThreadState, error_extra) == 6, "ThreadState layout");
static_assert(offsetof(ThreadState, owned_object) == 8, "ThreadState layout");
static_assert(offsetof(ThreadState, kernel_handle) == 32, "ThreadState layout");

// The calling thread's record, created on first use; 0 when it cannot be had (ERR_OUT_OF_MEMORY).
ThreadState* thread_state_get();
void thread_state_store(ThreadState* record);
ErrorCode thread_state_release();  // 0, or ERR_RELEASE_FAILED
