// Fixed, zero-filled memory blocks: GlobalAlloc with GPTR, whose handle is the block's address.
#include "runtime/memory_blocks.hpp"

#include "runtime/os.hpp"

ErrorCode mem_alloc(uint32_t size, void** block) {
  void* p = GlobalAlloc(GPTR, size);
  *block = p;
  return p ? ERR_NONE : ERR_OUT_OF_MEMORY;
}

ErrorCode mem_free(void* block) {
  return GlobalFree(block) == nullptr ? ERR_NONE : ERR_RELEASE_FAILED;
}
