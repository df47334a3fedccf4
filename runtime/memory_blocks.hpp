// Fixed, zero-filled memory blocks from the system's global memory; they hold the per-thread
// records. Failures are returned to the caller as error numbers, not raised.
#pragma once
#include "dialogkit/runtime/frame.hpp"

ErrorCode mem_alloc(uint32_t size, void** block);  // 0, or ERR_OUT_OF_MEMORY
ErrorCode mem_free(void* block);                   // 0, or ERR_RELEASE_FAILED
